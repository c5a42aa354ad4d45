#pragma once
// The dynamic-profile record handed to the host: the rates, bandwidths and
// wide-band half-band enables of every path of both channels for one of the
// up to six reduced-rate variants of a profile. Fixed layout: 16 bytes a
// path, 80 a channel, 164 a record.

#include <array>
#include <cstddef>
#include <cstdint>

#include "plover/records/ProfileRecordsRx.h"
#include "plover/records/ProfileRecordsTx.h"

namespace Veltrix::Marlin::Native {

// The host passes this many records; no profile offers more variants.
inline constexpr std::size_t MaxDynamicProfiles = 6;

struct vx_tarpon_TxDynamicProfile {
    std::uint32_t txInputRate_Hz = 0;
    std::uint32_t primaryBw_Hz = 0;
    marlin_TxWbIntTop_t txWbIntTop{};
};

struct vx_tarpon_RxDynamicProfile {
    std::uint32_t rxOutputRate_Hz = 0;
    std::uint32_t primaryBw_Hz = 0;
    marlin_RxWbDecTop_t rxWbDecTop{};
};

struct vx_tarpon_DynamicProfileChannel {
    vx_tarpon_TxDynamicProfile txDynamicProfile;
    vx_tarpon_RxDynamicProfile rxDynamicProfile;
    vx_tarpon_RxDynamicProfile orxDynamicProfile;
    vx_tarpon_RxDynamicProfile ilbDynamicProfile;
    vx_tarpon_RxDynamicProfile elbDynamicProfile;
};

struct vx_tarpon_DynamicProfile {
    std::uint32_t dynamicProfileIndex = 0;
    std::array<vx_tarpon_DynamicProfileChannel, 2> dynamicProfileChannels{};
};

using DynamicProfiles = std::array<vx_tarpon_DynamicProfile, MaxDynamicProfiles>;

static_assert(sizeof(vx_tarpon_TxDynamicProfile) == 16);
static_assert(sizeof(vx_tarpon_RxDynamicProfile) == 16);
static_assert(sizeof(vx_tarpon_DynamicProfileChannel) == 80);
static_assert(sizeof(vx_tarpon_DynamicProfile) == 164);

}  // namespace Veltrix::Marlin::Native
