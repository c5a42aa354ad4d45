#include "plover/features/ExternalLnaFeature.h"

#include "plover/profile/Profile.h"

namespace Veltrix::Marlin::Native {

std::int8_t ExternalLnaFeature::Profile_Update(Profile& profile)
{
    profile.rxChannels[0].lnaConfig = lnaConfigs[0];
    profile.rxChannels[1].lnaConfig = lnaConfigs[1];
    return 0;
}

}  // namespace Veltrix::Marlin::Native
