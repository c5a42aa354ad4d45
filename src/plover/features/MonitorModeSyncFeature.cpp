#include "plover/features/MonitorModeSyncFeature.h"

#include "plover/blueprint/Blueprint.h"
#include "plover/profile/Profile.h"

namespace Veltrix::Marlin::Native {

std::int8_t MonitorModeSyncFeature::Blueprint_Update(MarlinBlueprint& blueprint)
{
    const auto ratio = static_cast<std::uint32_t>(monitorModeSyncOverSamplingRatio);
    for (RxChannelBlueprint* rx : {&blueprint.rxChannel1, &blueprint.rxChannel2}) {
        rx->ssiInterfaceRate_Hz(rx->samplingRate_Hz() * ratio);
    }
    return 0;
}

std::int8_t MonitorModeSyncFeature::Profile_Update(Profile& profile)
{
    for (auto& rx : profile.rxChannels) {
        rx.rxSsiConfig.rxMaskStrobeEn = true;
        auto& fifo = rx.rxDpProfile.rxNbDem.dpInFifo;
        fifo.dpInFifoEn = 1;
        fifo.dpInFifoMode = 1;
        fifo.dpInFifoTestDataSel = 0;
    }
    return 0;
}

}  // namespace Veltrix::Marlin::Native
