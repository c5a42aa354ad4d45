#include "Cli.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <iostream>
#include <optional>
#include <sstream>
#include <system_error>
#include <type_traits>

#include "host/BlueprintCheck.h"
#include "host/Inputs.h"
#include "host/ProfileArchitect.h"
#include "host/Plover.h"
#include "host/StreamListing.h"

namespace Veltrix::Marlin::Cli {

namespace fs = std::filesystem;

void AddBlueprintOptions(CLI::App& command, BlueprintOptions& options, bool pathRequired)
{
    auto* path = command.add_option("blueprint", options.path, "blueprint file (JSON)");
    if (pathRequired) {
        path->required();
    }
    command.add_option("--feature", options.features,
                       "enable a feature after loading: ID[:FIELD=VALUE,...] (repeatable, applied in order); "
                       "IDs and fields:" + FeatureOptionHelp());
    command.add_flag("--expanded-search", options.expandedSearch,
                     "let the design retry with a wider system-clock search");
    command.add_flag("--lenient", options.lenient,
                     "report unknown blueprint keys as warnings (files from other versions), not errors");
}

namespace {

// Whole text as a number of type T, or nothing.
template <typename T>
std::optional<T> ParseNumber(const std::string& text)
{
    T value{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

template <typename T>
CLI::Validator NumberValidator(T min, T max)
{
    std::ostringstream range;
    range << min << ".." << max;
    return CLI::Validator(
        [min, max, range = range.str()](std::string& text) -> std::string {
            const std::optional<T> value = ParseNumber<T>(text);
            if constexpr (std::is_floating_point_v<T>) {
                if (value && !std::isfinite(*value)) {
                    return "'" + text + "' is not a finite number";
                }
            }
            if (!value || *value < min || *value > max) {
                return "'" + text + "' is not a number in " + range;
            }
            return {};
        },
        "NUMBER in " + range.str());
}

}  // namespace

CLI::Option* AddNumberOption(CLI::App& command, const std::string& name, double& value,
                             const std::string& description, double min, double max)
{
    return command.add_option(name, value, description)->check(NumberValidator<double>(min, max));
}

template <typename T>
CLI::Option* AddNumberOption(CLI::App& command, const std::string& name, T& value, const std::string& description,
                             std::int64_t min, std::int64_t max)
{
    // Parsed as a wide signed number first, so "-1" for an unsigned option is
    // refused instead of wrapping.
    return command.add_option(name, value, description)->check(NumberValidator<std::int64_t>(min, max));
}

template CLI::Option* AddNumberOption<int>(CLI::App&, const std::string&, int&, const std::string&, std::int64_t,
                                           std::int64_t);
template CLI::Option* AddNumberOption<std::uint32_t>(CLI::App&, const std::string&, std::uint32_t&,
                                                     const std::string&, std::int64_t, std::int64_t);
template CLI::Option* AddNumberOption<std::size_t>(CLI::App&, const std::string&, std::size_t&, const std::string&,
                                                   std::int64_t, std::int64_t);

std::string ReadInput(const std::string& path, const std::string& what)
{
    std::string text;
    std::string problem;
    if (!InputFile_Read(path, text, problem)) {
        throw UsageError(what + ": " + problem);
    }
    return text;
}

void WriteOutput(const std::string& path, const std::string& bytes)
{
    WriteOutputInChunks(path, [&bytes](const std::function<void(std::string_view)>& sink) { sink(bytes); });
}

void WriteOutputInChunks(const std::string& path,
                         const std::function<void(const std::function<void(std::string_view)>& sink)>& produce)
{
    if (path == "-") {
        produce([](std::string_view bytes) { std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size())); });
        return;
    }
    std::string failure;
    if (!Plover::File_WriteAtomicallyInChunks(path, produce, failure)) {
        // The writer's text ends with the reason in brackets.
        const auto open = failure.rfind(" (");
        const std::string reason = open == std::string::npos || failure.back() != ')'
            ? failure
            : failure.substr(open + 2, failure.size() - open - 3);
        throw OutputError("cannot write '" + Escaped(path) + "': " + reason);
    }
}

std::string LibraryOutputPath(const std::string& output)
{
    if (output != "-") {
        return output;
    }
    std::cout.flush();
    return "/dev/stdout";
}

void RefuseOutputOverInput(const std::string& output, const std::string& input)
{
    struct stat out {};
    struct stat in {};
    if (output == "-" || input.empty() || ::stat(output.c_str(), &out) != 0 || ::stat(input.c_str(), &in) != 0) {
        return;
    }
    if (S_ISREG(out.st_mode) && out.st_dev == in.st_dev && out.st_ino == in.st_ino) {
        throw UsageError("output '" + Escaped(output) + "' is the input file '" + Escaped(input) +
                         "'; give another output");
    }
}

std::string Escaped(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            static constexpr char digits[] = "0123456789abcdef";
            out += "\\x";
            out += digits[byte >> 4];
            out += digits[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

MarlinBlueprint LoadBlueprint(const BlueprintOptions& options)
{
    // Feature texts are checked before anything is read, so a typo costs nothing.
    std::vector<std::unique_ptr<Feature>> features;
    for (const auto& featureText : options.features) {
        features.push_back(ParseFeatureOption(featureText));
    }

    MarlinBlueprint blueprint;
    if (!options.path.empty()) {
        const std::string text = ReadInput(options.path, "blueprint file");
        // One line a problem; the last ends the run as the usage error.
        std::vector<std::string> errors;
        bool unknownKeyErrors = false;
        for (const BlueprintProblem& problem : Blueprint_CheckKeys(text)) {
            const bool unknownKey = problem.kind == BlueprintProblem::Kind::UnknownKey;
            if (options.lenient && unknownKey) {
                std::cerr << "plover: warning: " << options.path << ": " << problem.text << '\n';
                continue;
            }
            unknownKeyErrors = unknownKeyErrors || unknownKey;
            errors.push_back(options.path + ": " + problem.text);
        }
        if (!errors.empty()) {
            for (std::size_t i = 0; i + 1 < errors.size(); ++i) {
                std::cerr << "plover: error: " << errors[i] << '\n';
            }
            throw UsageError(errors.back() + (unknownKeyErrors ? " (--lenient lets unknown keys pass)" : ""));
        }
        try {
            blueprint.LoadFromString(text);
        } catch (const std::exception& e) {  // the JSON library's parse, type and range errors
            throw UsageError("'" + Escaped(options.path) + "' is not a valid blueprint: " + e.what());
        }
    }
    blueprint.expandedSearchEnable(options.expandedSearch);
    for (std::size_t i = 0; i < features.size(); ++i) {
        if (blueprint.Feature_Enable(*features[i]) != 0) {
            throw OperationFailed("enabling feature '" + Escaped(options.features[i]) + "' failed");
        }
    }
    return blueprint;
}

Profile DevelopProfile(MarlinBlueprint& blueprint, bool redesign)
{
    Profile profile;
    DesignSummary summary;
    const MarlinBlueprint before = blueprint;
    const ReportScope reports;
    const std::int8_t status = ProfileArchitect::Profile_Develop(profile, summary, blueprint, redesign);
    if (status != 0) {
        throw OperationFailed("", DesignHint(before, redesign, reports.Messages()));
    }
    return profile;
}

std::string DefaultTopLevelPath()
{
    const std::string resources = Plover::ResourceFolder_Get();
    if (resources.empty()) {
        return {};
    }
    return (fs::path(resources) / "asm" / "marlin" / "top_level").string();
}

std::string TopLevelPath(const std::string& given, const std::string& siVersion)
{
    std::string path = given;
    if (path.empty()) {
        path = DefaultTopLevelPath();
        if (path.empty()) {
            throw UsageError("no bundled stream resources found; give the top-level folder with --resources");
        }
    }
    std::error_code ec;
    if (!fs::is_directory(path, ec)) {
        throw UsageError("resources folder '" + path + "' does not exist");
    }
    try {
        StreamListing::Resources_Check(path, siVersion);
    } catch (const std::logic_error& e) {
        throw UsageError("stream resources '" + path + "': " + e.what());
    }
    return path;
}

void ReportWatch::PrintNew(bool succeeded, bool keepErrors) const
{
    const std::vector<std::string> lines = scope_.Messages();
    const std::vector<std::string> subjects = scope_.Subjects();
    // A line is shown with the channel its check was working on, when its
    // fixed text cannot say; the same line about two channels is two lines.
    std::vector<std::string> shown;
    shown.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& subject = i < subjects.size() ? subjects[i] : std::string();
        shown.push_back(subject.empty() ? lines[i] : lines[i] + " [" + subject + "]");
    }
    std::map<std::string, std::size_t> counts;
    for (const auto& line : shown) {
        ++counts[line];
    }
    for (const auto& line : shown) {
        const auto it = counts.find(line);
        if (it == counts.end()) {
            continue;  // shown already
        }
        const std::size_t count = it->second;
        counts.erase(it);
        if (succeeded && !keepErrors && line.rfind("ERROR: ", 0) == 0) {
            continue;
        }
        std::cerr << Escaped(line);
        if (count > 1) {
            std::cerr << " (" << count << " times)";
        }
        std::cerr << '\n';
    }
}

bool ReportWatch::HasNewErrors() const
{
    return scope_.ErrorCount() > 0;
}

bool ReportWatch::IsRecordedError(const std::string& text) const
{
    const auto lines = scope_.Messages();
    return !lines.empty() && lines.back() == text;
}

}  // namespace Veltrix::Marlin::Cli
