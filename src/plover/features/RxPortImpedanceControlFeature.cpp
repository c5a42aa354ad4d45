#include "plover/features/RxPortImpedanceControlFeature.h"

#include "plover/design/ChannelIndex.h"
#include "plover/profile/Profile.h"

namespace Veltrix::Marlin::Native {

namespace {

// Numbers that would alias 1 or 2 once narrowed to a byte are refused as well.
std::uint8_t IndexOf(vx_common_ChannelNumber channelNumber)
{
    const bool known = channelNumber == 1 || channelNumber == 2;
    return Decode::ChannelNumberToIndex(known ? static_cast<std::uint8_t>(channelNumber) : 0);
}

}  // namespace

bool RxPortImpedanceControlFeature::rxPortImpedanceControl(vx_common_ChannelNumber channelNumber) const
{
    return rxPortImpedanceControl_[IndexOf(channelNumber)];
}

void RxPortImpedanceControlFeature::rxPortImpedanceControl(vx_common_ChannelNumber channelNumber, bool enable)
{
    rxPortImpedanceControl_[IndexOf(channelNumber)] = enable;
}

std::int8_t RxPortImpedanceControlFeature::Profile_Update(Profile& profile)
{
    profile.clocks.rxPortImpedanceControl(1, rxPortImpedanceControl_[0]);
    profile.clocks.rxPortImpedanceControl(2, rxPortImpedanceControl_[1]);
    return 0;
}

}  // namespace Veltrix::Marlin::Native
