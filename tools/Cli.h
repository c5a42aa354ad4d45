#pragma once
// What every subcommand of the plover tool shares: the exit statuses and the
// exceptions that lead to them, blueprint loading with the feature options,
// the report lines, atomic output files and the bundled resources.

#include <CLI/CLI.hpp>

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/ErrorHandler.h"
#include "host/Features.h"
#include "host/MarlinBlueprint.h"
#include "host/Profile.h"

namespace Veltrix::Marlin::Cli {

inline constexpr int ExitSuccess = 0;
inline constexpr int ExitFailed = 1;  // the design or the operation failed
inline constexpr int ExitUsage = 2;   // bad usage or unreadable input

// Bad usage or unreadable input: one line, status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    // A second line that explains the first, printed after it.
    UsageError(const std::string& text, std::string detailLine)
        : std::runtime_error(text), detail(std::move(detailLine))
    {
    }
    std::string detail;
};

// An output could not be written: the report lines collected so far (the
// library's own line about the file), then one line, status 2.
class OutputError : public UsageError {
public:
    using UsageError::UsageError;
};

// The operation failed; the collected report lines say why. An empty text
// adds no line of its own.
class OperationFailed : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    // hint, when not empty, follows the report lines as "plover: hint: ...".
    OperationFailed(const std::string& text, std::string hintLine)
        : std::runtime_error(text), hint(std::move(hintLine))
    {
    }
    std::string hint;
};

// A registered subcommand and what runs when it was chosen; run returns the
// exit status or throws one of the errors above.
struct Command {
    Command(CLI::App* app_, std::function<int()> run_, std::function<std::string()> errorsAnswer_ = {})
        : app(app_), run(std::move(run_)), errorsAnswer(std::move(errorsAnswer_))
    {
    }

    CLI::App* app = nullptr;
    std::function<int()> run;
    // After a successful run: a note when the ERROR lines collected are the
    // answer to a question the command asked (they are then shown, followed
    // by the note); empty when they were abandoned attempts.
    std::function<std::string()> errorsAnswer;
};

// Options of every subcommand that reads a blueprint.
struct BlueprintOptions {
    std::string path;
    std::vector<std::string> features;
    bool expandedSearch = false;
    bool lenient = false;  // unknown keys are warnings, not errors
};
void AddBlueprintOptions(CLI::App& command, BlueprintOptions& options, bool pathRequired);

// Reads the blueprint file (a missing path gives the default blueprint),
// refuses it when Blueprint_CheckKeys finds a problem (unknown keys only
// warn with --lenient), enables the features in the order given and
// applies --expanded-search.
MarlinBlueprint LoadBlueprint(const BlueprintOptions& options);

// Develops the profile; OperationFailed (the report lines say why) when the
// development fails.
Profile DevelopProfile(MarlinBlueprint& blueprint, bool redesign = false);

// After a failed design of blueprint (as it was before the design), whose
// report lines were reports: the channel likely at fault with its rate and
// bandwidth, and what to try (for one, whether --expanded-search makes the
// design succeed); empty when there is nothing to say. Probes run on a
// thread of their own, so their report lines never join the caller's.
std::string DesignHint(const MarlinBlueprint& blueprint, bool redesign, const std::vector<std::string>& reports);

// A --feature value, "ID[:FIELD=VALUE,...]", into a feature handle;
// UsageError for an unknown ID or field, a value outside the field's range
// or a field given twice.
std::unique_ptr<Feature> ParseFeatureOption(const std::string& optionText);
// Every feature ID with its fields and their ranges, one feature a line.
std::string FeatureOptionHelp();

// A numeric option whose value must parse whole (no trailing text, no NaN)
// and lie in min..max; the range is added to the help text.
CLI::Option* AddNumberOption(CLI::App& command, const std::string& name, double& value,
                             const std::string& description, double min, double max);
template <typename T>
CLI::Option* AddNumberOption(CLI::App& command, const std::string& name, T& value, const std::string& description,
                             std::int64_t min, std::int64_t max);

// Reads a whole input file; UsageError when it cannot be read.
std::string ReadInput(const std::string& path, const std::string& what);
// Writes through the library's one writer (a temporary file renamed over a
// regular file; devices and FIFOs in place); "-" is standard output.
// OutputError on failure.
void WriteOutput(const std::string& path, const std::string& bytes);
// The same for outputs too large to hold at once: produce hands its bytes to
// the sink a chunk at a time.
void WriteOutputInChunks(const std::string& path,
                         const std::function<void(const std::function<void(std::string_view)>& sink)>& produce);
// The path to hand to a library save for an output: "-" becomes the process's
// standard output (std::cout is flushed first, so the order holds).
std::string LibraryOutputPath(const std::string& output);
// UsageError when the output names the input file (through any link), so a
// run never overwrites what it reads.
void RefuseOutputOverInput(const std::string& output, const std::string& input);

// Control characters of a text the user gave are shown as \n, \t or \xHH.
std::string Escaped(const std::string& text);

// The stream top-level folder of the bundled resources: beside an installed
// binary first, then the source tree the binary was built from.
std::string DefaultTopLevelPath();
// The top-level folder given with --resources, or the bundled one, checked
// by opening the chip's resources there: a folder that does not hold them is
// a usage error.
std::string TopLevelPath(const std::string& given, const std::string& siVersion);

// The reports of one command: printed to standard error, one line each, as
// stored (message lines, then recorded errors).
class ReportWatch {
public:
    // The lines added since the start; identical lines once, with a count.
    // After a successful run the ERROR lines are those of attempts the
    // library made and abandoned on the way, and are left out unless
    // keepErrors (a command whose answers are such lines).
    void PrintNew(bool succeeded = false, bool keepErrors = false) const;
    // True when the text is the last error recorded since the start, which
    // has then already been printed with the report lines.
    bool IsRecordedError(const std::string& text) const;
    // True when an ERROR line was collected since the start.
    bool HasNewErrors() const;

private:
    ReportScope scope_;
};

// The JSON answers of inspect, design --json and dynamic-profiles, which the
// server gives too.
nlohmann::json InspectJson(MarlinBlueprint& blueprint);
nlohmann::json DesignSummaryJson(const Profile& profile, const std::string& output);
nlohmann::json DynamicProfilesJson(const DynamicProfiles& profiles, std::size_t count);

Command AddBlueprintCommand(CLI::App& app);
Command AddInspectCommand(CLI::App& app);
Command AddDesignCommand(CLI::App& app);
Command AddResponseCommand(CLI::App& app);
Command AddDynamicProfilesCommand(CLI::App& app);
Command AddStreamSettingsCommand(CLI::App& app);
Command AddStreamImageCommand(CLI::App& app);
Command AddDisasmCommand(CLI::App& app);
Command AddChainsCommand(CLI::App& app);
Command AddServeCommand(CLI::App& app);
Command AddCoefficientsCommand(CLI::App& app);
Command AddFeaturesCommand(CLI::App& app);

}  // namespace Veltrix::Marlin::Cli
