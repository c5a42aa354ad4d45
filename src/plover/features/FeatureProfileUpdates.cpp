// What each feature writes into a developed profile, the last step of its
// assembly.

#include <string>

#include "plover/base/ErrorHandler.h"
#include "plover/base/SourceUnit.h"
#include "plover/features/DynamicProfileFeature.h"
#include "plover/features/ExternalLnaFeature.h"
#include "plover/features/FrequencyHoppingFeature.h"
#include "plover/features/McsFeature.h"
#include "plover/features/MonitorModeSyncFeature.h"
#include "plover/features/RxPortImpedanceControlFeature.h"

#include "plover/profile/Profile.h"
#include "plover/records/DynamicProfile.h"

namespace Veltrix::Marlin::Native {

std::int8_t DynamicProfileFeature::Blueprint_Update(MarlinBlueprint& /*blueprint*/)
{
    if (numDynamicProfiles < 1 || numDynamicProfiles > static_cast<vx_marlin_NumDynamicProfiles>(MaxDynamicProfiles)) {
        ErrorHandler::Message(LogLevel::ERROR,
                              "Number of dynamic profiles out of range [1,6]: " + std::to_string(numDynamicProfiles),
                              SourceUnit::DynamicProfileFeatureHeader, 24);
        return -1;
    }
    return 0;
}

std::int8_t DynamicProfileFeature::Profile_Update(Profile& profile)
{
    profile.deviceSystem.numDynamicProfiles = numDynamicProfiles;
    for (auto& rx : profile.rxChannels) rx.rxSsiConfig.rxMaskStrobeEn = true;
    return 0;
}

std::int8_t ExternalLnaFeature::Profile_Update(Profile& profile)
{
    profile.rxChannels[0].lnaConfig = lnaConfigs[0];
    profile.rxChannels[1].lnaConfig = lnaConfigs[1];
    return 0;
}

std::int8_t FrequencyHoppingFeature::Profile_Update(Profile& profile)
{
    profile.deviceSystem.fhModeOn = 1;
    return 0;
}

std::int8_t McsFeature::Profile_Update(Profile& profile)
{
    profile.deviceSystem.mcsMode = mode;
    profile.deviceSystem.mcsInterfaceType = interfaceType;
    profile.PllPhaseSyncWait_us_Calculate(minOperatingFrequency_kHz);
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

std::int8_t RxPortImpedanceControlFeature::Profile_Update(Profile& profile)
{
    profile.clocks.rxPortImpedanceControl(1, rxPortImpedanceControl_[0]);
    profile.clocks.rxPortImpedanceControl(2, rxPortImpedanceControl_[1]);
    return 0;
}

}  // namespace Veltrix::Marlin::Native
