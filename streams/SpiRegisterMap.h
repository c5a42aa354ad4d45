#pragma once
// The chip's SPI register dictionary: register names to 16-bit addresses and
// back. Several slices of the chip carry the same register at one address; their
// names differ by a slice tag ("_CORE_", "_TX_", "_ORX_"/"_RX_"), which is how a
// listing picks the name that belongs to the processor being listed.
//
// Register map file format (".tv"), one register a line:
//     NAME ADDRESS        e.g.  CORE_PLL1_CTRL 0x0210
// NAME is letters, digits and underscores, not a bare hexadecimal number and not
// r0 to r7 (so that stream source can tell names from numbers and registers);
// ADDRESS is hexadecimal up to FFFF, "0x" optional. "#" starts a comment; blank
// lines are ignored. Names are matched without regard to case.

#include <cstdint>
#include <istream>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace Veltrix::Runnel {

class SpiRegisterMap {
public:
    // Throws std::invalid_argument "Can't open template file!" when the file
    // cannot be opened, "Can't load SPI reg map: ..." for a malformed file.
    static SpiRegisterMap Load(const std::string& path);
    static SpiRegisterMap Parse(std::istream& in, const std::string& sourceName);

    void Add(const std::string& name, std::uint16_t address);

    std::optional<std::uint16_t> Address(const std::string& name) const;
    // The canonical spelling of a name (as in the map file).
    std::optional<std::string> CanonicalName(const std::string& name) const;
    const std::vector<std::string>& Names(std::uint16_t address) const;

    // The name to show for an address in a processor of the given slice tag.
    std::string NameFor(std::uint16_t address, const std::string& sliceTag) const;

    std::size_t size() const { return byName_.size(); }

private:
    struct Entry {
        std::string name;
        std::uint16_t address;
    };
    std::unordered_map<std::string, Entry> byName_;  // key: lower-case name
    std::map<std::uint16_t, std::vector<std::string>> byAddress_;
};

// The processor slice a register name belongs to ("_CORE_", "_TX_", "_RX_"), or
// empty when the name carries no tag.
std::string SliceOfRegisterName(const std::string& name);

}  // namespace Veltrix::Runnel
