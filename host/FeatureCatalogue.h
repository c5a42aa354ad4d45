#pragma once
// Every feature a blueprint can enable, with its fields: names, types,
// accepted values, defaults and what enabling it changes. One table serves
// the listing (`plover features`, the Python package, the web page) and the
// parsing of feature texts, so a range is written once.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/Features.h"

namespace Veltrix::Marlin {

struct FeatureField {
    std::string name;
    std::string alias;         // a second name for the same field, or empty
    bool boolean = false;      // true/false; otherwise a whole number
    std::int64_t min = 0;      // whole numbers: the accepted range
    std::int64_t max = 0;
    std::vector<std::int64_t> allowed;  // when not empty, the only values accepted
    std::string description;
    std::function<void(Feature&, std::int64_t)> set;
    std::function<std::int64_t(const Feature&)> get;

    std::string Type() const { return boolean ? "boolean" : "integer"; }
    bool Accepts(std::int64_t value) const;
    // "true or false", "2, 4 or 8", "a whole number in 0..4"
    std::string AcceptedText() const;
};

struct FeatureDescription {
    std::string id;
    std::string description;  // what enabling it changes
    std::vector<FeatureField> fields;
    std::function<std::unique_ptr<Feature>()> make;  // a handle with every default

    // The field of that name or alias; nullptr when there is none.
    const FeatureField* Field(const std::string& name) const;
    // A field's default as text ("true", "30000").
    std::string DefaultText(const FeatureField& field) const;
};

class FeatureCatalogue {
public:
    static const std::vector<FeatureDescription>& All();
    // The feature of that ID; nullptr when there is none.
    static const FeatureDescription* Find(const std::string& id);
};

}  // namespace Veltrix::Marlin
