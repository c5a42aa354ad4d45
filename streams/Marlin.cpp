#include "streams/Marlin.h"

#include <stdexcept>

#include "streams/HexText.h"
#include "streams/MarlinSettings.h"

namespace Veltrix::Runnel {

namespace {

struct ProcessorDefault {
    const char* name;
    const char* sliceTag;
    const char* streamFile;
    std::uint32_t binaryBase;
    std::uint16_t size;
    std::uint8_t numStreams;
};

// The core processor's memory lies above the four slice processors' common base.
constexpr ProcessorDefault kProcessors[] = {
    {"main", "_CORE_", "stream_image_main.txt", 0x20044000, 16384, 64},
    {"tx1", "_TX_", "stream_image_tx1.txt", 0x20040000, 4096, 64},
    {"tx2", "_TX_", "stream_image_tx2.txt", 0x20040000, 4096, 64},
    {"rx1", "_RX_", "stream_image_rx1.txt", 0x20040000, 4096, 64},
    {"rx2", "_RX_", "stream_image_rx2.txt", 0x20040000, 4096, 64},
};

}  // namespace

Marlin::Marlin(const std::string& siVersion, const std::string& topLevelPath)
{
    siVersion_ = ToLower(siVersion);
    if (siVersion_ != "c0" && siVersion_ != "b0") {
        throw std::invalid_argument("Unrecognized Silicon Version");
    }
    ResourceFolder_Find(topLevelPath, "marlin");
    registers_ = SpiRegisterMap::Load((chipFolder_ / ("spi_marlin_" + siVersion_ + ".tv")).string());

    coreProcessor_ = "main";
    for (const ProcessorDefault& d : kProcessors) {
        ProcessorInfo processor;
        processor.name = d.name;
        processor.sliceTag = d.sliceTag;
        processor.streamFile = d.streamFile;
        processor.binaryBase = d.binaryBase;
        processor.numStreams = d.numStreams;
        processor.Resize(d.size);
        processors_.push_back(std::move(processor));
    }

    settings_ = std::make_shared<MarlinSettings>();
    TopLevel_Read((chipFolder_ / "top_level" / "top_level.txt").string());
}

}  // namespace Veltrix::Runnel
