#pragma once
// Reads one processor's stream source: every line passes through the settings'
// token table, "#" starts a comment, %ifdef NAME / %else / %endif (not nested)
// keep or drop lines by the settings' defines, and the text between a "stream"
// line and its "return" line becomes one stream of the processor.

#include <cstdint>
#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

#include "streams/ProcessorInfo.h"
#include "streams/SpiRegisterMap.h"
#include "streams/StreamSettings.h"

namespace Veltrix::Runnel {

// A malformed source, with the line at fault (counted from 1) when the message
// does not already name it (0 then); what() is the message alone.
class StreamSourceError : public std::invalid_argument {
public:
    StreamSourceError(const std::string& message, int lineNumber) : std::invalid_argument(message), line(lineNumber) {}
    int line;
};

// Hands every stream to the processor, then lays out its block with the extra
// header bytes (empty except for the core processor). StreamSourceError on a
// malformed source, std::invalid_argument on a block that cannot be laid out.
void ReadStreamFile(ProcessorInfo& processor, std::istream& in, const SpiRegisterMap& registers,
                    const StreamSettings& settings, const std::vector<std::uint8_t>& extraHeader);

// The reading part alone: the streams of a source, without laying out a block.
std::vector<std::shared_ptr<StreamContainer>> ReadStreams(std::istream& in, const SpiRegisterMap& registers,
                                                          const StreamSettings& settings);

}  // namespace Veltrix::Runnel
