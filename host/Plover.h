#pragma once
// Version queries: the library, the stream generator, and the stream
// templates of a resource folder.

#include <cstdint>
#include <string>

namespace Veltrix::Marlin {

struct PloverVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t patch = 0;
    std::uint32_t build = 0;

    bool operator==(const PloverVersion&) const = default;
};

class Plover {
public:
    static PloverVersion Version_Get();
    static PloverVersion RunnelVersion_Get();
    // The versions named in top_level.txt of the folder topLevelPath; all
    // zero when the file cannot be opened, and a key that is absent stays 0.
    static PloverVersion RunnelAsmVersion_Get(const std::string& topLevelPath);
};

// "a.b.c" or "a.b.c.d" into a version; parts that are missing or not
// numbers stay 0, and the build part is always 0 (releases carry none).
PloverVersion ParseVersionText(const std::string& text);

}  // namespace Veltrix::Marlin
