#include "Cli.h"

#include <filesystem>
#include <iostream>
#include <system_error>

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
                       "enable a feature after loading: ID[:field=value,...] (repeatable, applied in order)");
    command.add_flag("--expanded-search", options.expandedSearch,
                     "let the design retry with a wider system-clock search");
}

std::string ReadInput(const std::string& path, const std::string& what)
{
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        throw UsageError(what + " '" + path + "' is a folder, not a file");
    }
    std::string text;
    if (!Plover::File_Read(path, text)) {
        throw UsageError("cannot read " + what + " '" + path + "'");
    }
    return text;
}

void WriteOutput(const std::string& path, const std::string& bytes)
{
    if (!Plover::File_WriteAtomically(path, bytes)) {
        throw UsageError("cannot write '" + path + "'");
    }
}

MarlinBlueprint LoadBlueprint(const BlueprintOptions& options)
{
    // Feature texts are checked before anything is read, so a typo costs nothing.
    std::vector<std::unique_ptr<Feature>> features;
    for (const auto& featureText : options.features) {
        features.push_back(ParseFeatureSpec(featureText));
    }

    MarlinBlueprint blueprint;
    if (!options.path.empty()) {
        const std::string text = ReadInput(options.path, "blueprint file");
        try {
            blueprint.LoadFromString(text);
        } catch (const std::exception& e) {  // the JSON library's parse, type and range errors
            throw UsageError("'" + options.path + "' is not a valid blueprint: " + e.what());
        }
    }
    blueprint.expandedSearchEnable(options.expandedSearch);
    for (std::size_t i = 0; i < features.size(); ++i) {
        if (blueprint.Feature_Enable(*features[i]) != 0) {
            throw OperationFailed("enabling feature '" + options.features[i] + "' failed");
        }
    }
    return blueprint;
}

Profile DevelopProfile(MarlinBlueprint& blueprint, bool redesign)
{
    Profile profile;
    DesignSummary summary;
    const std::int8_t status = ProfileArchitect::Profile_Develop(profile, summary, blueprint, redesign);
    if (status != 0) {
        throw OperationFailed("");
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

void ReportWatch::PrintNew() const
{
    for (const auto& line : scope_.Messages()) {
        std::cerr << line << '\n';
    }
}

bool ReportWatch::IsRecordedError(const std::string& text) const
{
    const auto lines = scope_.Messages();
    return !lines.empty() && lines.back() == text;
}

}  // namespace Veltrix::Marlin::Cli
