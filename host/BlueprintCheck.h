#pragma once
/// @file
/// The checks a client runs on blueprint text before loading it. The engine's
/// reader keeps its lenient rules (unknown keys ignored, numbers converted to
/// the field's type) for callers that rely on them; a person's file deserves
/// to hear about a misspelled key, a repeated key, a value of the wrong type or
/// a number the field cannot hold, with the key path of each.

#include <string>
#include <vector>

namespace Veltrix::Marlin {

/// One problem of a blueprint text (Blueprint_CheckKeys).
struct BlueprintProblem {
    /// What sort of problem it is.
    enum class Kind {
        Syntax,        ///< not JSON, or nested too deep
        UnknownKey,    ///< a key the file format does not have; may be a newer version's
        DuplicateKey,  ///< a key given twice in one object
        Type,          ///< a value of the wrong JSON type
        Range,         ///< a number the field cannot hold, or not one of its values
    };
    Kind kind = Kind::Syntax;  ///< what sort of problem it is
    std::string path;  ///< "rxChannel1.samplingRate_Hz", "txChannel2.dataPath[3]"; empty for the text as a whole
    std::string text;  ///< one line: the path, a colon, what is wrong
};

/// Every problem of the text, in document order within each kind of check
/// (duplicates first, then the walk over the fields); empty when the engine's
/// reader will take the text as it is meant. For example
///   rxChannel1.samplingRate_Hz: 4325687296 is out of range 0..4294967295
///   Duplex: unknown key (did you mean duplex?)
std::vector<BlueprintProblem> Blueprint_CheckKeys(const std::string& jsonText);

/// A JSON Schema (draft 2020-12) of the blueprint file from the same field
/// descriptions: editors validate and complete with it, and it refuses what
/// Blueprint_CheckKeys reports as an unknown key, a wrong type or a number out
/// of range (duplicate keys are beyond what a schema can see).
std::string Blueprint_JsonSchema();

}  // namespace Veltrix::Marlin
