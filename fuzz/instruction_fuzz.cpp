// Fuzz target: the instruction parser on one source line, and the decoder on
// an opcode followed by operand bytes.

#include "FuzzSupport.h"
#include "streams/StreamInstruction.h"

using namespace Veltrix::Runnel;

namespace {

const SpiRegisterMap& Registers()
{
    static const SpiRegisterMap registers = [] {
        SpiRegisterMap map;
        map.Add("FUZZ_CORE_A", 0x0010);
        map.Add("FUZZ_TX_B", 0x1000);
        map.Add("FUZZ_ORX_B", 0x1000);
        map.Add("UNTAGGED_C", 0x2000);
        map.Add("UNTAGGED_D", 0x2000);
        return map;
    }();
    return registers;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Fuzz::ExpectOnlyCleanErrors([&] { StreamInstruction(Registers(), Fuzz::Text(data, size)); });
    if (size > 0) {
        Fuzz::ExpectOnlyCleanErrors([&] {
            std::size_t position = 0;
            const char* slices[] = {"_CORE_", "_TX_", "_RX_", ""};
            StreamInstruction(Registers(), data[0], std::span(data + 1, size - 1), position, slices[size % 4]);
        });
    }
    return 0;
}
