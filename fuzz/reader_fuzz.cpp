// Fuzz target: the stream source reader (tokens, %ifdef blocks, stream
// cutting, assembly) and the block layout of what it reads.

#include <sstream>

#include "FuzzSupport.h"
#include "streams/MarlinSettings.h"
#include "streams/StreamReader.h"

using namespace Veltrix::Runnel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const SpiRegisterMap registers = [] {
        SpiRegisterMap map;
        map.Add("MARLIN_CORE_LDO_CTRL", 0x0100);
        map.Add("MARLIN_TX_SCRATCH", 0x1F00);
        map.Add("MARLIN_ORX_SCRATCH", 0x1F00);
        return map;
    }();
    static MarlinSettings settings = [] {
        MarlinSettings s;
        s.rx1A(true);
        s.defines["DEBUG"] = "1";
        return s;
    }();
    Fuzz::ExpectOnlyCleanErrors([&] {
        std::istringstream in(Fuzz::Text(data, size));
        ProcessorInfo processor;
        processor.name = "fuzz";
        processor.numStreams = 16;
        processor.Resize(1024);
        ReadStreamFile(processor, in, registers, settings, {});
    });
    return 0;
}
