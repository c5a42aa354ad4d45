#include "streams/StreamImage.h"

#include "streams/AtomicFile.h"
#include "streams/Marlin.h"

namespace Veltrix::Runnel {

std::vector<std::uint8_t> StreamImage_Get(const StreamSettings& settings, const std::string& topLevelPath,
                                          const std::string& siVersion)
{
    Marlin device(siVersion, topLevelPath);
    device.Settings_Set(settings);
    return device.Image_Build();
}

std::vector<std::uint8_t> StreamImage_Get(const StreamProfileFacts& facts, const std::string& topLevelPath,
                                          const std::string& siVersion)
{
    return StreamImage_Get(*GenerateMarlinStreamSettings(facts), topLevelPath, siVersion);
}

void StreamImage_Save(const StreamSettings& settings, const std::string& filename, const std::string& topLevelPath,
                      const std::string& siVersion)
{
    WriteFileAtomically(filename, StreamImage_Get(settings, topLevelPath, siVersion));
}

void StreamImage_Save(const StreamProfileFacts& facts, const std::string& filename, const std::string& topLevelPath,
                      const std::string& siVersion)
{
    WriteFileAtomically(filename, StreamImage_Get(facts, topLevelPath, siVersion));
}

}  // namespace Veltrix::Runnel
