#pragma once
/// @file
/// Version queries: the library, the stream generator, and the stream
/// templates of a resource folder.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace Veltrix::Marlin {

/// A version number major.minor.patch.build.
struct PloverVersion {
    std::uint32_t major = 0;  ///< major version
    std::uint32_t minor = 0;  ///< minor version
    std::uint32_t patch = 0;  ///< patch level
    std::uint32_t build = 0;  ///< build number (0 for releases)

    /// All four parts equal.
    bool operator==(const PloverVersion&) const = default;
};

/// Version queries.
class Plover {
public:
    /// The library's version.
    static PloverVersion Version_Get();
    /// The stream generator's version.
    static PloverVersion RunnelVersion_Get();
    /// The versions named in top_level.txt of the folder topLevelPath; all
    /// zero when the file cannot be opened, and a key that is absent stays 0.
    static PloverVersion RunnelAsmVersion_Get(const std::string& topLevelPath);
    /// The library version as text, "0.53.13".
    static std::string VersionText_Get();
    /// The stream generator version as text, "1.0.4".
    static std::string RunnelVersionText_Get();

    /// The bundled resource folder (it holds asm/marlin/top_level, the stream
    /// top-level folder): the installed package's when the program was built
    /// against it, else the one beside an installed plover binary, else the
    /// source tree the library was built from; empty when none of them exists.
    static std::string ResourceFolder_Get()
    {
#ifdef PLOVER_INSTALLED_RESOURCE_DIR
        return ResourceFolder_Find(PLOVER_INSTALLED_RESOURCE_DIR);
#else
        return ResourceFolder_Find("");
#endif
    }
    /// ResourceFolder_Get with the installed folder given (empty: none).
    static std::string ResourceFolder_Find(const std::string& installedFolder);

    /// Writes a temporary file beside path and renames it over path, so path
    /// never holds half a file; false (and nothing left behind) on failure.
    static bool File_WriteAtomically(const std::string& path, const std::string& contents);
    /// File_WriteAtomically, with the reason of a failure in failure: "Can't
    /// write file: <path> (<reason>)". A symbolic link is written through to
    /// its target and a replaced file keeps its permissions; a device or FIFO
    /// is written in place and a folder is refused.
    static bool File_WriteAtomically(const std::string& path, const std::string& contents, std::string& failure);
    /// File_WriteAtomically for contents made a chunk at a time: produce
    /// hands each chunk to the sink it is given. An exception from produce
    /// removes the temporary file and passes on.
    static bool File_WriteAtomicallyInChunks(
        const std::string& path,
        const std::function<void(const std::function<void(std::string_view)>& sink)>& produce,
        std::string& failure);
    /// For programs: SIGINT, SIGTERM and SIGHUP remove the temporary files of
    /// writes in progress, then end the process by the same signal.
    static void File_RemoveTemporariesOnSignals();
};

/// "a.b.c" or "a.b.c.d" into a version; parts that are missing or not
/// numbers stay 0, and the build part is always 0 (releases carry none).
PloverVersion ParseVersionText(const std::string& text);

}  // namespace Veltrix::Marlin
