#include "plover/features/McsFeature.h"

#include "plover/profile/Profile.h"

namespace Veltrix::Marlin::Native {

std::int8_t McsFeature::Profile_Update(Profile& profile)
{
    profile.deviceSystem.mcsMode = mode;
    profile.deviceSystem.mcsInterfaceType = interfaceType;
    profile.PllPhaseSyncWait_us_Calculate(minOperatingFrequency_kHz);
    return 0;
}

}  // namespace Veltrix::Marlin::Native
