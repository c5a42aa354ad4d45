#include "streams/SpiRegisterMap.h"

#include <cctype>
#include <sstream>
#include <stdexcept>

#include "streams/HexText.h"
#include "streams/InputFile.h"

namespace Veltrix::Runnel {

namespace {

bool IsValidName(const std::string& name)
{
    if (name.empty()) {
        return false;
    }
    for (char c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') {
            return false;
        }
    }
    const std::string lower = ToLower(name);
    if (lower.size() == 2 && lower[0] == 'r' && lower[1] >= '0' && lower[1] <= '7') {
        return false;
    }
    return !ParseHex(name).has_value();
}

}  // namespace

SpiRegisterMap SpiRegisterMap::Load(const std::string& path)
{
    std::istringstream in(InputFile_ReadOrThrow(path, "Can't open template file!"));
    return Parse(in, path);
}

SpiRegisterMap SpiRegisterMap::Parse(std::istream& in, const std::string& sourceName)
{
    SpiRegisterMap map;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        const std::string code = std::string(Trim(line.substr(0, line.find('#'))));
        if (code.empty()) {
            continue;
        }
        std::istringstream words(code);
        std::string name, addressText, extra;
        words >> name >> addressText;
        const auto address = ParseHex(addressText);
        const auto fail = [&](const std::string& why) {
            throw std::invalid_argument("Can't load SPI reg map: " + sourceName + " line " +
                                        std::to_string(lineNumber) + ": " + why);
        };
        if (words >> extra || addressText.empty()) {
            fail("expected a register name and an address");
        }
        if (!IsValidName(name)) {
            fail("bad register name " + name);
        }
        if (!address || addressText.size() > 6 || *address > 0xFFFF) {
            fail("bad 16-bit address " + addressText);
        }
        if (map.Address(name)) {
            fail("register " + name + " is listed twice");
        }
        map.Add(name, static_cast<std::uint16_t>(*address));
    }
    if (in.bad()) {
        throw std::invalid_argument("Can't load SPI reg map: " + sourceName);
    }
    return map;
}

void SpiRegisterMap::Add(const std::string& name, std::uint16_t address)
{
    byName_[ToLower(name)] = Entry{name, address};
    byAddress_[address].push_back(name);
}

std::optional<std::uint16_t> SpiRegisterMap::Address(const std::string& name) const
{
    const auto it = byName_.find(ToLower(name));
    if (it == byName_.end()) {
        return std::nullopt;
    }
    return it->second.address;
}

std::optional<std::string> SpiRegisterMap::CanonicalName(const std::string& name) const
{
    const auto it = byName_.find(ToLower(name));
    if (it == byName_.end()) {
        return std::nullopt;
    }
    return it->second.name;
}

const std::vector<std::string>& SpiRegisterMap::Names(std::uint16_t address) const
{
    static const std::vector<std::string> none;
    const auto it = byAddress_.find(address);
    return it == byAddress_.end() ? none : it->second;
}

std::string SliceOfRegisterName(const std::string& name)
{
    const std::string upper = ToUpper(name);
    if (upper.find("_CORE_") != std::string::npos) {
        return "_CORE_";
    }
    if (upper.find("_TX_") != std::string::npos) {
        return "_TX_";
    }
    // The receive processors run the observation receivers too, so their
    // registers carry either tag.
    if (upper.find("_ORX_") != std::string::npos || upper.find("_RX_") != std::string::npos) {
        return "_RX_";
    }
    return {};
}

std::string SpiRegisterMap::NameFor(std::uint16_t address, const std::string& sliceTag) const
{
    const auto& names = Names(address);
    if (names.empty()) {
        throw std::invalid_argument("SPI address 0x" + Hex(address) + " not found in SPI Reg Dictionary");
    }
    if (names.size() == 1) {
        return names.front();
    }
    for (const std::string& name : names) {
        const std::string slice = SliceOfRegisterName(name);
        if (slice.empty()) {
            throw std::invalid_argument(name +
                                        " cannot be mapped to a slice. Incorrect or missing slice ID in reg name.");
        }
        if (slice == sliceTag) {
            return name;
        }
    }
    // None of the names belongs to the listed processor: as wrong a slice ID as a missing one.
    throw std::invalid_argument(names.front() +
                                " cannot be mapped to a slice. Incorrect or missing slice ID in reg name.");
}

}  // namespace Veltrix::Runnel
