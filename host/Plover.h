#pragma once
/// @file
/// Version queries: the library, the stream generator, and the stream
/// templates of a resource folder.

#include <cstdint>
#include <string>

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
};

/// "a.b.c" or "a.b.c.d" into a version; parts that are missing or not
/// numbers stay 0, and the build part is always 0 (releases carry none).
PloverVersion ParseVersionText(const std::string& text);

}  // namespace Veltrix::Marlin
