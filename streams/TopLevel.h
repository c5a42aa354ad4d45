#pragma once
// The top-level file of a stream resource folder: the image's identifiers and
// versions, and the processors in image order, each with its source file and
// optional layout overrides:
//     ProductID: 3
//     main stream_image_main.txt size = 16384 numstreams = 64
// Option values are decimal, hexadecimal with "0x" or octal with a leading 0.

#include <cstdint>
#include <istream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace Veltrix::Runnel {

struct ProcessorOptions {
    std::string streamFile;
    int line = 0;  // of the processor's line in the top-level file
    std::optional<std::uint32_t> size;
    std::optional<std::uint32_t> binaryBase;
    std::optional<std::uint32_t> numStreams;
    std::optional<std::uint32_t> imageOffset;
};

struct TopLevelInfo {
    std::vector<std::string> processors;  // in file order
    std::map<std::string, ProcessorOptions> options;
    std::uint32_t ProductID = 0;
    std::uint32_t ProfileID = 0;
    std::uint16_t MajorVersionID = 0;
    std::uint16_t MinorVersionID = 0;
    std::uint16_t MaintVersionID = 0;
    std::uint16_t BuildVersionID = 0;
    bool Debug = false;
};

// Parses the text of a top-level file; every identifier is required.
// std::invalid_argument on a malformed file.
TopLevelInfo ParseTopLevel(std::istream& in);

// "1.2" -> {'1', '2'}: the first character of each part. std::invalid_argument
// "Template version must be in format major.minor (1.2)" otherwise.
struct TemplateVersion {
    char major = '0';
    char minor = '0';
};
TemplateVersion ParseTemplateVersion(const std::string& text);

}  // namespace Veltrix::Runnel
