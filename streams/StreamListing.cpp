#include "streams/StreamListing.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <ostream>
#include <stdexcept>

#include "streams/Crc32.h"
#include "streams/Device.h"
#include "streams/HexText.h"
#include "streams/InputFile.h"

namespace Veltrix::Runnel {

namespace {

std::uint32_t Read32(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(bytes[at]) | (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes[at + 2]) << 16) | (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

std::uint16_t Read16(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

}  // namespace

std::vector<StreamInstruction> DisassembleStream(const SpiRegisterMap& registers, std::span<const std::uint8_t> block,
                                                 std::size_t opcodeOffset, std::size_t operandOffset,
                                                 std::size_t limit, const std::string& sliceTag)
{
    limit = std::min(limit, block.size());
    if (opcodeOffset >= limit || operandOffset > limit) {
        throw std::invalid_argument("Cannot disasemble: stream addresses lie outside the processor block");
    }
    const auto operands = block.subspan(operandOffset, limit - operandOffset);
    std::vector<StreamInstruction> instructions;
    std::size_t position = 0;
    std::uint32_t loopCount = 0;
    std::size_t loopBodyStart = 0;
    bool loopOpen = false;
    for (std::size_t at = opcodeOffset;; ++at) {
        if (at >= limit) {
            throw std::invalid_argument("Cannot disasemble: stream runs past the end of the processor block");
        }
        instructions.emplace_back(registers, block[at], operands, position, sliceTag);
        const StreamInstruction& instruction = instructions.back();
        if (instruction.opcode == kOpcodeLdlc) {
            loopCount = Read16(instruction.operands, 0);
            loopBodyStart = position;
            loopOpen = true;
        } else if (instruction.text.rfind("LOOP", 0) == 0 && loopOpen) {
            // The body's operands stand loopCount more times after the first pass.
            const std::size_t copies = (position - loopBodyStart) * loopCount;
            if (copies > operands.size() - position) {
                throw std::invalid_argument("Cannot disasemble: loop operands run past the end of the processor block");
            }
            position += copies;
            loopOpen = false;
        }
        if (instruction.opcode == kOpcodeReturn) {
            return instructions;
        }
    }
}

void Device::Image_Disassemble(const std::string& imagePath) const
{
    Image_Disassemble(imagePath, std::cout);
}

void Device::Image_Disassemble(const std::string& imagePath, std::ostream& out) const
{
    const std::string bytes = InputFile_ReadOrThrow(imagePath, "Can't open " + imagePath);
    const std::vector<std::uint8_t> image(bytes.begin(), bytes.end());
    Image_Disassemble(image, out);
}

void Device::Image_CheckSize(const std::vector<std::uint8_t>& image) const
{
    std::size_t total = 0;
    for (const std::string& name : topLevel_.processors) {
        total += Processor(name).size;
    }
    if (image.size() != total) {
        // The first line is the message of old, whose size was fixed; the
        // second gives the size these resources actually call for.
        throw std::invalid_argument(
            "Stream binary image is not the correct size (final image sized fixed at 20512 bytes)\n"
            "Expected " + std::to_string(total) + " bytes (the processor sizes of the top-level file), found " +
            std::to_string(image.size()));
    }
}

void Device::Image_Verify(const std::vector<std::uint8_t>& image) const
{
    Image_CheckSize(image);
    std::size_t blockStart = 0;
    for (const std::string& name : topLevel_.processors) {
        const ProcessorInfo& processor = Processor(name);
        const std::span<const std::uint8_t> block(image.data() + blockStart, processor.size);
        const std::string where = "Block " + name + " (image bytes " + std::to_string(blockStart) + ".." +
                                  std::to_string(blockStart + processor.size - 1) + ")";
        blockStart += processor.size;

        // Every header field is what these resources would write.
        const bool core = name == coreProcessor_;
        std::vector<std::uint8_t> header = core ? ExtraCoreHeader() : std::vector<std::uint8_t>{};
        const std::size_t extra = header.size();
        const auto put = [&header](std::uint32_t value, int bytes) {
            for (int i = 0; i < bytes; ++i) {
                header.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
            }
        };
        put(processor.binaryBase, 4);
        put(processor.binaryBase + static_cast<std::uint32_t>(extra + kBlockHeaderBytes), 4);
        put(processor.numStreams, 2);
        put(processor.size, 2);
        put(0, 4);
        struct Field {
            std::string name;
            std::size_t at;
            int bytes;
        };
        std::vector<Field> fields;
        if (core) {
            fields = {{"ProductID", 0, 4},      {"ProfileID", 4, 4},      {"MajorVersionID", 8, 1},
                      {"MinorVersionID", 9, 1}, {"MaintVersionID", 10, 1}, {"BuildVersionID", 11, 1}};
            std::size_t at = 12;
            for (const std::string& listed : topLevel_.processors) {
                fields.push_back({"size of " + listed, at, 2});
                fields.push_back({"image offset of " + listed, at + 2, 2});
                at += 4;
            }
            fields.push_back({"BuildVersionID high byte", at, 1});
            fields.push_back({"reserved bytes", at + 1, 3});
            fields.push_back({"reserved bytes", at + 4, 4});
        }
        for (const Field& field : std::vector<Field>{{"binary base address", extra, 4},
                                                     {"jump table address", extra + 4, 4},
                                                     {"number of streams", extra + 8, 2},
                                                     {"size", extra + 10, 2},
                                                     {"reserved word", extra + 12, 4}}) {
            fields.push_back(field);
        }
        for (const Field& field : fields) {
            std::uint64_t found = 0;
            std::uint64_t expected = 0;
            for (int i = field.bytes - 1; i >= 0; --i) {
                found = (found << 8) | block[field.at + static_cast<std::size_t>(i)];
                expected = (expected << 8) | header[field.at + static_cast<std::size_t>(i)];
            }
            if (found != expected) {
                throw std::invalid_argument(where + ": header " + field.name + " is 0x" +
                                            Hex(static_cast<std::uint32_t>(found)) + ", the top-level file gives 0x" +
                                            Hex(static_cast<std::uint32_t>(expected)));
            }
        }
        const std::size_t body = block.size() - kCrcBytes;
        const std::uint32_t stored = Read32(block, body);
        const std::uint32_t computed = Crc32(block.first(body));
        if (stored != computed) {
            throw std::invalid_argument(where + ": CRC is 0x" + Hex(stored, 8) + " but its contents give 0x" +
                                        Hex(computed, 8));
        }
    }
}

void Device::Image_Disassemble(const std::vector<std::uint8_t>& image, std::ostream& out) const
{
    Image_CheckSize(image);
    std::size_t blockStart = 0;
    for (const std::string& name : topLevel_.processors) {
        const ProcessorInfo& processor = Processor(name);
        const std::span<const std::uint8_t> block(image.data() + blockStart, processor.size);
        blockStart += processor.size;
        const std::size_t extra = name == coreProcessor_ ? ExtraCoreHeaderBytes() : 0;
        out << name << " processor disassembly information: \n";
        if (block.size() < extra + kBlockHeaderBytes) {
            throw std::invalid_argument("Stream binary image is not the correct size (can not read file header)");
        }
        const std::uint32_t base = Read32(block, extra);
        const std::uint32_t jumpTable = Read32(block, extra + 4);
        const std::uint16_t numStreams = Read16(block, extra + 8);
        const std::uint16_t size = Read16(block, extra + 10);
        out << "Stream binary base Address: 0x" << Hex(base, 8) << "\n"
            << "Jump Table Address: 0x" << Hex(jumpTable, 8) << "\n"
            << "Number of Streams in Jump Table: " << numStreams << "\n"
            << "Image Size: " << size << " bytes\n";

        // Addresses are device addresses; the block lies at base. The CRC is not code.
        const std::size_t limit = block.size() - kCrcBytes;
        const auto offsetOf = [&](std::uint32_t address, const char* what) {
            if (address < base || address - base >= limit) {
                throw std::invalid_argument(std::string("Cannot disasemble: ") + what + " 0x" + Hex(address, 8) +
                                            " lies outside the " + name + " processor block");
            }
            return static_cast<std::size_t>(address - base);
        };
        const std::size_t tableOffset = offsetOf(jumpTable, "jump table address");
        if (tableOffset < extra + kBlockHeaderBytes ||
            static_cast<std::size_t>(numStreams) * kJumpEntryBytes > limit - tableOffset) {
            throw std::invalid_argument("Cannot disasemble: the jump table of the " + name +
                                        " processor does not fit its block");
        }
        const std::size_t codeStart = tableOffset + kJumpEntryBytes * numStreams;
        for (std::size_t s = 0; s < numStreams; ++s) {
            const std::uint32_t opcodeAddress = Read32(block, tableOffset + kJumpEntryBytes * s);
            const std::uint32_t operandAddress = Read32(block, tableOffset + kJumpEntryBytes * s + 4);
            if (opcodeAddress == 0 && operandAddress == 0) {
                continue;
            }
            const std::size_t opcodeOffset = offsetOf(opcodeAddress, "opcode address");
            // An empty operand run may start right at the CRC.
            const std::size_t operandOffset =
                operandAddress == base + limit ? limit : offsetOf(operandAddress, "operand address");
            if (opcodeOffset < codeStart || operandOffset < codeStart) {
                throw std::invalid_argument("Cannot disasemble: stream " + std::to_string(s) +
                                            " points into the header of the " + name + " processor block");
            }
            const auto instructions =
                DisassembleStream(registers_, block, opcodeOffset, operandOffset, limit, processor.sliceTag);
            for (std::size_t i = 0; i < instructions.size(); ++i) {
                out << "StreamId: " << s << " Stream Inst addr: 0x" << Hex(opcodeAddress + static_cast<std::uint32_t>(i), 8)
                    << " Index: " << i << " " << instructions[i].text << "\n";
            }
        }
    }
}

}  // namespace Veltrix::Runnel
