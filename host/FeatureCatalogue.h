#pragma once
/// @file
/// Every feature a blueprint can enable, with its fields: names, types,
/// accepted values, defaults and what enabling it changes. One table serves
/// the listing (`plover features`, the Python package, the web page) and the
/// parsing of feature texts, so a range is written once.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/Features.h"

namespace Veltrix::Marlin {

/// One field of a feature: its name, type, accepted values and accessors.
struct FeatureField {
    std::string name;          ///< the field's name, as the feature handle's property
    std::string alias;         ///< a second name for the same field, or empty
    bool boolean = false;      ///< true/false; otherwise a whole number
    std::int64_t min = 0;      ///< whole numbers: the accepted range
    std::int64_t max = 0;      ///< whole numbers: the accepted range's upper end
    std::vector<std::int64_t> allowed;  ///< when not empty, the only values accepted
    std::string description;   ///< what the field means, in words
    /// Sets the field on a handle of this feature (booleans as 0 and 1); the
    /// value is not checked here (see Accepts).
    std::function<void(Feature&, std::int64_t)> set;
    /// Reads the field from a handle of this feature (booleans as 0 and 1).
    std::function<std::int64_t(const Feature&)> get;

    /// "boolean" or "integer".
    std::string Type() const { return boolean ? "boolean" : "integer"; }
    /// The value is one the field takes: 0 or 1 for a boolean, one of
    /// allowed when given, else within min..max.
    bool Accepts(std::int64_t value) const;
    /// "true or false", "2, 4 or 8", "a whole number in 0..4"
    std::string AcceptedText() const;
};

/// One feature a blueprint can enable, with its fields.
///
/// @code
/// const auto* fh = Veltrix::Marlin::FeatureCatalogue::Find("FH");
/// std::unique_ptr<Veltrix::Marlin::Feature> feature = fh->make();
/// const auto* mode = fh->Field("mode");
/// if (mode->Accepts(2)) mode->set(*feature, 2);
/// blueprint.Feature_Enable(*feature);
/// @endcode
struct FeatureDescription {
    std::string id;           ///< the ID Feature::ID() returns ("FH", "MCS", ...)
    std::string description;  ///< what enabling it changes
    std::vector<FeatureField> fields;  ///< its fields, in the order they are listed
    std::function<std::unique_ptr<Feature>()> make;  ///< a handle with every default

    /// The field of that name or alias; nullptr when there is none.
    const FeatureField* Field(const std::string& name) const;
    /// A field's default as text ("true", "30000").
    std::string DefaultText(const FeatureField& field) const;
};

/// The table of every feature a blueprint can enable.
class FeatureCatalogue {
public:
    /// Every feature, in listing order; built once and kept for the process.
    static const std::vector<FeatureDescription>& All();
    /// The feature of that ID; nullptr when there is none.
    static const FeatureDescription* Find(const std::string& id);
};

}  // namespace Veltrix::Marlin
