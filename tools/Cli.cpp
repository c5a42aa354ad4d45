#include "Cli.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "host/ProfileArchitect.h"
#include "plover/base/ErrorHandler.h"
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

void WriteOutputInChunks(const std::string& path,
                         const std::function<void(const std::function<void(std::string_view)>& sink)>& produce)
{
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (fs::exists(status) && fs::is_directory(status)) {
        throw UsageError("cannot write '" + path + "': it is a folder");
    }
    const bool inPlace = fs::exists(status) && !fs::is_regular_file(status);
    std::string temporary = path;
    int fd = -1;
    if (inPlace) {
        fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    } else {
        temporary += ".tmpXXXXXX";
        fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    }
    if (fd < 0) {
        throw UsageError("cannot write '" + path + "': " + std::strerror(errno));
    }
    bool failed = false;
    int error = 0;
    const auto sink = [&](std::string_view bytes) {
        while (!failed && !bytes.empty()) {
            const ssize_t written = ::write(fd, bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                failed = true;
                error = errno;
                return;
            }
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
    };
    try {
        produce(sink);
    } catch (...) {
        ::close(fd);
        if (!inPlace) {
            ::unlink(temporary.c_str());
        }
        throw;
    }
    if (!inPlace && !failed && ::fsync(fd) != 0) {
        failed = true;
        error = errno;
    }
    if (::close(fd) != 0 && !failed) {
        failed = true;
        error = errno;
    }
    if (!inPlace && !failed && ::rename(temporary.c_str(), path.c_str()) != 0) {
        failed = true;
        error = errno;
    }
    if (failed) {
        if (!inPlace) {
            ::unlink(temporary.c_str());
        }
        throw UsageError("cannot write '" + path + "': " + std::strerror(error));
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

ReportWatch::ReportWatch()
    : messages_(Native::ErrorHandler::messages().size()), errors_(Native::ErrorHandler::errors().size())
{
}

void ReportWatch::PrintNew() const
{
    const auto& messages = Native::ErrorHandler::messages();
    for (std::size_t i = messages_; i < messages.size(); ++i) {
        std::cerr << messages[i] << '\n';
    }
    const auto& errors = Native::ErrorHandler::errors();
    for (std::size_t i = errors_; i < errors.size(); ++i) {
        std::cerr << errors[i].what() << '\n';
    }
}

bool ReportWatch::IsRecordedError(const std::string& text) const
{
    const auto& errors = Native::ErrorHandler::errors();
    return errors.size() > errors_ && text == errors.back().what();
}

}  // namespace Veltrix::Marlin::Cli
