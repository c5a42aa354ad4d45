#include "Cli.h"

#include <filesystem>
#include <iostream>
#include <system_error>

#include "host/ProfileArchitect.h"
#include "plover/base/FileIo.h"
#include "streams/Marlin.h"

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
    if (!Native::ReadFileWhole(path, text)) {
        throw UsageError("cannot read " + what + " '" + path + "'");
    }
    return text;
}

void WriteOutput(const std::string& path, const std::string& bytes)
{
    if (!Native::WriteFileAtomically(path, bytes)) {
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

namespace {

fs::path ExecutableFolder()
{
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : self.parent_path();
}

// The chip's top-level folder inside a resources folder.
fs::path TopLevelIn(const fs::path& resources)
{
    return resources / "asm" / "marlin" / "top_level";
}

}  // namespace

std::string DefaultTopLevelPath()
{
    std::error_code ec;
#ifdef PLOVER_RESOURCES_INSTALL_RELATIVE
    if (const fs::path folder = ExecutableFolder(); !folder.empty()) {
        const fs::path installed = TopLevelIn(folder / PLOVER_RESOURCES_INSTALL_RELATIVE);
        if (fs::is_directory(installed, ec)) {
            return installed.lexically_normal().string();
        }
    }
#endif
#ifdef PLOVER_RESOURCES_SOURCE_DIR
    if (const fs::path source = TopLevelIn(PLOVER_RESOURCES_SOURCE_DIR); fs::is_directory(source, ec)) {
        return source.string();
    }
#endif
    return {};
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
        const Runnel::Marlin device(siVersion, path);
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
