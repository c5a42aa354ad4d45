#pragma once
// Reading streams back out of a processor block. Every address taken from the
// block is checked against the block before a byte is read.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "streams/StreamInstruction.h"

namespace Veltrix::Runnel {

// Decodes one stream whose opcode run starts at opcodeOffset and whose operand
// run starts at operandOffset, both offsets into block, up to and including its
// RETURN. The operand copies of each LDLC loop are stepped over, so the result
// is the stream's source instructions. Nothing is read at or past limit (the
// block's CRC). std::invalid_argument when the stream leaves that range.
std::vector<StreamInstruction> DisassembleStream(const SpiRegisterMap& registers, std::span<const std::uint8_t> block,
                                                 std::size_t opcodeOffset, std::size_t operandOffset,
                                                 std::size_t limit, const std::string& sliceTag);

}  // namespace Veltrix::Runnel
