#include "plover/features/DynamicProfileFeature.h"

#include <string>

#include "plover/base/ErrorHandler.h"
#include "plover/base/SourceUnit.h"
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

}  // namespace Veltrix::Marlin::Native
