#pragma once
// Reads one processor's stream source: every line passes through the settings'
// token table, "#" starts a comment, %ifdef NAME / %else / %endif (not nested)
// keep or drop lines by the settings' defines, and the text between a "stream"
// line and its "return" line becomes one stream of the processor.

#include <cstdint>
#include <istream>
#include <vector>

#include "streams/ProcessorInfo.h"
#include "streams/SpiRegisterMap.h"
#include "streams/StreamSettings.h"

namespace Veltrix::Runnel {

// Hands every stream to the processor, then lays out its block with the extra
// header bytes (empty except for the core processor). std::invalid_argument on
// a malformed source.
void ReadStreamFile(ProcessorInfo& processor, std::istream& in, const SpiRegisterMap& registers,
                    const StreamSettings& settings, const std::vector<std::uint8_t>& extraHeader);

// The reading part alone: the streams of a source, without laying out a block.
std::vector<std::shared_ptr<StreamContainer>> ReadStreams(std::istream& in, const SpiRegisterMap& registers,
                                                          const StreamSettings& settings);

}  // namespace Veltrix::Runnel
