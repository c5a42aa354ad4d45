// The blueprint file's JSON Schema, walked from the same field descriptions
// the blueprint check uses, so an editor flags what the tool would refuse for
// key, type or range reasons.

#include <nlohmann/json.hpp>

#include <map>

#include "host/BlueprintCheck.h"
#include "plover/blueprint/BlueprintFields.h"

namespace Veltrix::Marlin {

namespace {

using json = nlohmann::json;
using Native::FieldKind;
using Native::FieldShape;
using Native::RecordShape;

json IntegerSchema(const FieldShape& field)
{
    if (!field.values.empty()) {
        return {{"type", "integer"}, {"enum", field.values}};
    }
    return {{"type", "integer"}, {"minimum", field.min}, {"maximum", field.max}};
}

class SchemaWriter {
public:
    json Reference(const RecordShape& record)
    {
        if (!definitions_.contains(record.name)) {
            definitions_[record.name] = nullptr;  // marks it in progress for records that recur
            definitions_[record.name] = Object(record);
        }
        return {{"$ref", "#/$defs/" + record.name}};
    }

    json Object(const RecordShape& record)
    {
        json properties = json::object();
        for (const FieldShape& field : record.fields) {
            properties[field.key] = Field(field);
        }
        return {{"type", "object"}, {"properties", properties}, {"additionalProperties", false}};
    }

    json Definitions() const { return definitions_; }

private:
    json Field(const FieldShape& field)
    {
        switch (field.kind) {
        case FieldKind::Boolean:
            return {{"type", "boolean"}};
        case FieldKind::Integer:
            return IntegerSchema(field);
        case FieldKind::IntegerArray:
            return {{"type", "array"},
                    {"minItems", field.length},
                    {"maxItems", field.length},
                    {"items", IntegerSchema(field)}};
        case FieldKind::Record:
            return Reference(*field.record);
        }
        return json::object();
    }

    json definitions_ = json::object();
};

}  // namespace

std::string Blueprint_JsonSchema()
{
    SchemaWriter writer;
    json schema = writer.Object(Native::BlueprintFileShape());
    schema["$schema"] = "https://json-schema.org/draft/2020-12/schema";
    schema["title"] = "plover blueprint";
    schema["$defs"] = writer.Definitions();
    return schema.dump(2) + "\n";
}

}  // namespace Veltrix::Marlin
