#include "host/Plover.h"

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <system_error>

#include "plover/base/FileIo.h"
#include "plover/base/Version.h"
#include "streams/InputFile.h"

namespace Veltrix::Marlin {

namespace {

// The value of a "Key: value" line: the text from the line's first blank,
// read as a decimal number. A value that is not a number reads as 0, one
// beyond 32 bits keeps its low bits, as the device tools do.
std::uint32_t LineValue(const std::string& line)
{
    const auto blank = line.find(' ');
    if (blank == std::string::npos) {
        return 0;
    }
    unsigned long long value = 0;
    if (std::sscanf(line.c_str() + blank, "%llu", &value) != 1) {
        return 0;
    }
    return static_cast<std::uint32_t>(value);
}

namespace fs = std::filesystem;

bool HoldsResources(const fs::path& folder)
{
    std::error_code ec;
    return !folder.empty() && fs::is_directory(folder / "asm" / "marlin" / "top_level", ec);
}

}  // namespace

std::string Plover::VersionText_Get()
{
    return Native::LibraryVersion;
}

std::string Plover::RunnelVersionText_Get()
{
    return Native::StreamGeneratorVersion;
}

std::string Plover::ResourceFolder_Find(const std::string& installedFolder)
{
    if (HoldsResources(installedFolder)) {
        return fs::path(installedFolder).lexically_normal().string();
    }
#ifdef PLOVER_RESOURCES_INSTALL_RELATIVE
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const fs::path besideBinary = self.parent_path() / PLOVER_RESOURCES_INSTALL_RELATIVE;
        if (HoldsResources(besideBinary)) {
            return besideBinary.lexically_normal().string();
        }
    }
#endif
#ifdef PLOVER_RESOURCES_SOURCE_DIR
    if (HoldsResources(PLOVER_RESOURCES_SOURCE_DIR)) {
        return PLOVER_RESOURCES_SOURCE_DIR;
    }
#endif
    return {};
}

bool Plover::File_WriteAtomically(const std::string& path, const std::string& contents)
{
    return Native::WriteFileAtomically(path, contents);
}

bool Plover::File_WriteAtomically(const std::string& path, const std::string& contents, std::string& failure)
{
    return Native::WriteFileAtomically(path, contents, failure);
}

bool Plover::File_WriteAtomicallyInChunks(
    const std::string& path,
    const std::function<void(const std::function<void(std::string_view)>& sink)>& produce,
    std::string& failure)
{
    return Native::WriteFileAtomically(path, produce, failure);
}

void Plover::File_RemoveTemporariesOnSignals()
{
    Native::RemoveTemporariesOnSignals();
}

PloverVersion ParseVersionText(const std::string& text)
{
    PloverVersion version;
    unsigned build = 0;
    std::sscanf(text.c_str(), "%u.%u.%u.%u", &version.major, &version.minor, &version.patch, &build);
    version.build = 0;
    return version;
}

PloverVersion Plover::Version_Get()
{
    return ParseVersionText(Native::LibraryVersion);
}

PloverVersion Plover::RunnelVersion_Get()
{
    return ParseVersionText(Native::StreamGeneratorVersion);
}

PloverVersion Plover::RunnelAsmVersion_Get(const std::string& topLevelPath)
{
    PloverVersion version;
    std::string text;
    if (Runnel::InputFile_Read((std::filesystem::path(topLevelPath) / "top_level.txt").string(), text) !=
        Runnel::InputFileStatus::Read) {
        return version;
    }
    std::istringstream file(text);
    std::string line;
    while (std::getline(file, line)) {
        if (line.find("MajorVersionID:") != std::string::npos) {
            version.major = LineValue(line);
        } else if (line.find("MinorVersionID:") != std::string::npos) {
            version.minor = LineValue(line);
        } else if (line.find("MaintVersionID:") != std::string::npos) {
            version.patch = LineValue(line);
        } else if (line.find("BuildVersionID:") != std::string::npos) {
            version.build = LineValue(line);
        }
    }
    return version;
}

}  // namespace Veltrix::Marlin
