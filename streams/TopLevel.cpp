#include "streams/TopLevel.h"

#include <sstream>
#include <stdexcept>

#include "streams/HexText.h"

namespace Veltrix::Runnel {

namespace {

// Decimal, "0x" hexadecimal or leading-0 octal, as C's strtoul with base 0; at most 32 bits.
std::optional<std::uint32_t> ParseOptionValue(const std::string& text)
{
    std::optional<std::uint64_t> value;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const auto hex = ParseHex(text);
        if (hex && text.size() <= 10) {
            value = *hex;
        }
    } else if (text.size() > 1 && text[0] == '0') {
        if (text.size() > 12 || text.find_first_not_of("01234567") != std::string::npos) {
            return std::nullopt;
        }
        value = 0;
        for (char c : text) {
            *value = *value * 8 + static_cast<std::uint64_t>(c - '0');
        }
    } else {
        value = ParseDecimal(text);
    }
    if (!value || *value > 0xFFFFFFFFULL) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(*value);
}

struct Identifier {
    const char* key;
    std::uint64_t limit;
};

}  // namespace

TopLevelInfo ParseTopLevel(std::istream& in)
{
    TopLevelInfo info;
    bool seen[6] = {};
    static constexpr Identifier ids[] = {
        {"ProductID:", 0xFFFFFFFFULL},    {"ProfileID:", 0xFFFFFFFFULL},    {"MajorVersionID:", 0xFFFF},
        {"MinorVersionID:", 0xFFFF},      {"MaintVersionID:", 0xFFFF},      {"BuildVersionID:", 0xFFFF},
    };
    std::string raw;
    int lineNumber = 0;
    while (std::getline(in, raw)) {
        ++lineNumber;
        const std::string line(Trim(std::string_view(raw).substr(0, raw.find('#'))));
        if (line.empty()) {
            continue;
        }
        const auto syntaxError = [&] { throw std::invalid_argument("Syntax error: " + line); };

        // "Key: value" lines; a path with a colon is never the first word.
        const auto colon = line.find(':');
        if (colon != std::string::npos && colon < line.find_first_of(" \t")) {
            const std::string key = line.substr(0, colon + 1);
            const auto value = ParseDecimal(Trim(std::string_view(line).substr(colon + 1)));
            int index = -1;
            for (int i = 0; i < 6; ++i) {
                if (key == ids[i].key) {
                    index = i;
                }
            }
            if (key == "Debug:") {
                if (!value) {
                    syntaxError();
                }
                info.Debug = *value != 0;
                continue;
            }
            if (index < 0 || !value || *value > ids[index].limit) {
                syntaxError();
            }
            seen[index] = true;
            switch (index) {
            case 0: info.ProductID = static_cast<std::uint32_t>(*value); break;
            case 1: info.ProfileID = static_cast<std::uint32_t>(*value); break;
            case 2: info.MajorVersionID = static_cast<std::uint16_t>(*value); break;
            case 3: info.MinorVersionID = static_cast<std::uint16_t>(*value); break;
            case 4: info.MaintVersionID = static_cast<std::uint16_t>(*value); break;
            default: info.BuildVersionID = static_cast<std::uint16_t>(*value); break;
            }
            continue;
        }

        // Processor line: name, source path, then "option = value" triples; "="
        // may touch its neighbours.
        std::string spaced;
        for (char c : line) {
            if (c == '=') {
                spaced += " = ";
            } else {
                spaced += c;
            }
        }
        std::istringstream split(spaced);
        std::vector<std::string> words;
        for (std::string word; split >> word;) {
            words.push_back(word);
        }
        if (words.size() < 2) {
            throw std::invalid_argument("Must specify at least processor name at filepath.");
        }
        const std::string name = ToLower(words[0]);
        if (words[1] == "=" || info.options.count(name) != 0) {
            syntaxError();
        }
        ProcessorOptions options;
        options.streamFile = words[1];
        options.line = lineNumber;
        if ((words.size() - 2) % 3 != 0) {
            syntaxError();
        }
        for (std::size_t i = 2; i < words.size(); i += 3) {
            const std::string option = ToLower(words[i]);
            if (words[i + 1] != "=") {
                syntaxError();
            }
            std::optional<std::uint32_t>* target = nullptr;
            if (option == "size") {
                target = &options.size;
            } else if (option == "binarybase") {
                target = &options.binaryBase;
            } else if (option == "numstreams") {
                target = &options.numStreams;
            } else if (option == "imageoffset") {
                target = &options.imageOffset;
            } else {
                throw std::invalid_argument("Unrecognized option in top_level.txt line " + std::to_string(lineNumber));
            }
            *target = ParseOptionValue(words[i + 2]);
            if (!*target) {
                syntaxError();
            }
        }
        info.processors.push_back(name);
        info.options[name] = options;
    }
    for (bool present : seen) {
        if (!present) {
            throw std::invalid_argument(
                "top_level.txt required to provide: ProductID, ProfileID, MajorVersionID, MinorVersionID, "
                "MaintVersionID, & BuildVersionID");
        }
    }
    return info;
}

TemplateVersion ParseTemplateVersion(const std::string& text)
{
    const auto point = text.find('.');
    if (point == std::string::npos || text.find('.', point + 1) != std::string::npos || point == 0 ||
        point + 1 >= text.size()) {
        throw std::invalid_argument("Template version must be in format major.minor (1.2)");
    }
    return TemplateVersion{text[0], text[point + 1]};
}

}  // namespace Veltrix::Runnel
