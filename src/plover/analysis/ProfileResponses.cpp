// Profile operations on a designed profile: the frequency response of one
// channel and the dynamic profiles derived from the design.

#include <string>

#include "plover/analysis/ChannelResponse.h"
#include "plover/base/ErrorHandler.h"
#include "plover/profile/Profile.h"
#include "plover/base/SourceUnit.h"
#include "plover/design/ChannelIndex.h"

namespace Veltrix::Marlin::Native {

namespace {

std::int8_t Report(const std::string& text, int line)
{
    ErrorHandler::Message(LogLevel::ERROR, text, SourceUnit::Profile, line);
    return -1;
}

// Channel numbers that would alias 1 or 2 once narrowed to a byte are refused too.
std::uint8_t ChannelIndex(vx_common_ChannelNumber channelNumber)
{
    const bool known = channelNumber == 1 || channelNumber == 2;
    return Decode::ChannelNumberToIndex(known ? static_cast<std::uint8_t>(channelNumber) : 0);
}

// Half-band enables forced on, from `first` to the last of the five.
template <typename Record, std::size_t N>
void HalfBands_Enable(Record& record, const std::array<std::uint8_t Record::*, N>& stages, std::size_t first)
{
    for (std::size_t position = first; position < N; ++position) record.*stages[position] = 1;
}

constexpr std::array<std::uint8_t marlin_TxWbIntTop_t::*, 5> TxHalfBands{
    &marlin_TxWbIntTop_t::txInterpBy2Blk30En, &marlin_TxWbIntTop_t::txInterpBy2Blk28En,
    &marlin_TxWbIntTop_t::txInterpBy2Blk26En, &marlin_TxWbIntTop_t::txInterpBy2Blk24En,
    &marlin_TxWbIntTop_t::txInterpBy2Blk22En};

constexpr std::array<std::uint8_t marlin_RxWbDecTop_t::*, 5> RxHalfBands{
    &marlin_RxWbDecTop_t::decBy2Blk25En, &marlin_RxWbDecTop_t::decBy2Blk27En, &marlin_RxWbDecTop_t::decBy2Blk29En,
    &marlin_RxWbDecTop_t::decBy2Blk31En, &marlin_RxWbDecTop_t::decBy2Blk33En};

vx_tarpon_RxDynamicProfile RxDynamicProfile_Get(const RxChannel& channel, std::size_t shift, std::size_t first)
{
    vx_tarpon_RxDynamicProfile entry;
    entry.rxOutputRate_Hz = channel.rxOutputRate_Hz >> shift;
    entry.primaryBw_Hz = channel.primarySigBandwidth_Hz >> shift;
    entry.rxWbDecTop = channel.rxDpProfile.rxWbDecTop;
    HalfBands_Enable(entry.rxWbDecTop, RxHalfBands, first);
    return entry;
}

}  // namespace

std::int8_t Profile::FrequencyResponse_Get(std::vector<double>& responseMagnitudes, double& initialFrequency,
                                           double& deltaFrequency, std::int32_t port,
                                           vx_common_ChannelNumber channelNumber) const
{
    const std::uint8_t index = ChannelIndex(channelNumber);
    if (port == PortRx) {
        const RxChannel& channel = rxChannels[index];
        if (!channel.inUse) return Report("Rx" + std::to_string(index + 1) + " is disabled.", 417);
        return ChannelResponse_Get(channel, responseMagnitudes, initialFrequency, deltaFrequency);
    }
    if (port == PortTx) {
        const TxChannel& channel = txChannels[index];
        if (!channel.inUse) return Report("Tx" + std::to_string(index + 1) + " is disabled.", 429);
        return ChannelResponse_Get(channel, responseMagnitudes, initialFrequency, deltaFrequency);
    }
    return Report("Cannot get frequency respoonse from ORx, ILB, or ELB.", 434);
}

std::int8_t Profile::DynamicProfiles_Get(DynamicProfiles& dynamicProfiles) const
{
    const std::int32_t count = deviceSystem.numDynamicProfiles;
    if (count == 1) return Report("Dynamic profile feature is not enabled.", 302);
    // A count read from a profile file may be anything; the host's array holds six.
    if (count < 0 || count > static_cast<std::int32_t>(MaxDynamicProfiles)) {
        return Report("Number of dynamic profiles out of range [2,6]: " + std::to_string(count), 306);
    }
    for (std::size_t j = 0; j < static_cast<std::size_t>(count); ++j) {
        vx_tarpon_DynamicProfile& record = dynamicProfiles[j];
        record.dynamicProfileIndex = static_cast<std::uint32_t>(j);
        // Profile j runs at 1/2^(5-j) of the designed rates.
        const std::size_t shift = MaxDynamicProfiles - 1 - j;
        for (std::size_t c = 0; c < 2; ++c) {
            vx_tarpon_DynamicProfileChannel& channel = record.dynamicProfileChannels[c];
            const TxChannel& tx = txChannels[c];
            channel.txDynamicProfile.txInputRate_Hz = tx.txInputRate_Hz >> shift;
            channel.txDynamicProfile.primaryBw_Hz = tx.primarySigBandwidth_Hz >> shift;
            channel.txDynamicProfile.txWbIntTop = tx.txDpProfile.txWbIntTop;
            HalfBands_Enable(channel.txDynamicProfile.txWbIntTop, TxHalfBands, j);
            channel.rxDynamicProfile = RxDynamicProfile_Get(rxChannels[c], shift, j);
            channel.orxDynamicProfile = RxDynamicProfile_Get(rxChannels[2 + c], shift, j);
            channel.ilbDynamicProfile = RxDynamicProfile_Get(rxChannels[4 + c], shift, j);
            channel.elbDynamicProfile = RxDynamicProfile_Get(rxChannels[6 + c], shift, j);
        }
    }
    return 0;
}

}  // namespace Veltrix::Marlin::Native
