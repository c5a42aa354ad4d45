#include "plover/filters/ChannelFilter.h"

#include <algorithm>
#include <string>

#include "plover/base/ErrorHandler.h"
#include "plover/filters/FilterTables.h"
#include "plover/base/SourceUnit.h"

namespace Veltrix::Marlin::Native {

namespace {

// Bank header of every channel filter: taps select 3 runs all 128 taps and
// gain select 2 is the 0 dB setting for 2^23-scaled coefficients.
constexpr std::uint8_t ChannelFilterNumCoeff = 128;
constexpr std::int32_t ChannelFilterSymmetricSel = 0;
constexpr std::int32_t ChannelFilterTapsSel = 3;
constexpr std::int32_t ChannelFilterGainSel = 2;

struct RateBandwidthKey {
    std::uint32_t samplingRate_Hz;
    std::uint32_t bandwidth_Hz;
    ChannelFilterSelect select;
};

constexpr RateBandwidthKey LookUpKeys[] = {
    {24000, 12000, ChannelFilterSelect::DMR_24k},
    {48000, 12000, ChannelFilterSelect::DMR_48k},
    {48000, 24000, ChannelFilterSelect::DMR_24k},
    {144000, 25000, ChannelFilterSelect::TETRA_25k},
    {144000, 50000, ChannelFilterSelect::TETRA_50k},
    {1920000, 1008000, ChannelFilterSelect::LTE_1p4M},
    {3840000, 2700000, ChannelFilterSelect::LTE_3M},
    {7680000, 4500000, ChannelFilterSelect::LTE_5M},
    {15360000, 9000000, ChannelFilterSelect::LTE_10M},
    {30720000, 18000000, ChannelFilterSelect::LTE_20M},
    {61440000, 38000000, ChannelFilterSelect::LTE_40M},
    {20000000, 5400000, ChannelFilterSelect::CUSTOM1_RX20_5p4M},
    {20000000, 7300000, ChannelFilterSelect::CUSTOM1_RX20_7p3M},
    {20000000, 9200000, ChannelFilterSelect::CUSTOM1_RX20_9p2M},
    {936000, 7813, ChannelFilterSelect::CUSTOM2_RX936k_7813},
    {936000, 31250, ChannelFilterSelect::CUSTOM2_RX936k_31250},
    {936000, 62500, ChannelFilterSelect::CUSTOM2_RX936k_62500},
    {936000, 156250, ChannelFilterSelect::CUSTOM2_RX936k_156250},
    {936000, 312500, ChannelFilterSelect::CUSTOM2_RX936k_312500},
    {42666000, 20000000, ChannelFilterSelect::CUSTOM3_RX42P666M_20M},
};

}  // namespace

ChannelFilter::ChannelFilter(std::span<const std::int32_t> coefficients)
{
    if (coefficients.size() > buffer.coefficients.size()) {
        ErrorHandler::Error("Maximum number of channel filter coefficients is " +
                                std::to_string(buffer.coefficients.size()),
                            SourceUnit::ChannelFilter, 21);
    }
    buffer.numCoeff = ChannelFilterNumCoeff;
    buffer.symmetricSel = ChannelFilterSymmetricSel;
    buffer.tapsSel = ChannelFilterTapsSel;
    buffer.gainSel = ChannelFilterGainSel;
    std::copy(coefficients.begin(), coefficients.end(), buffer.coefficients.begin());
}

ChannelFilter ChannelFilter_Lookup(ChannelFilterSelect select)
{
    const FilterTableSet* set = ChannelFilterTable(select);
    if (set == nullptr) {
        ErrorHandler::Error("Unrecognized channel filter select", SourceUnit::ChannelFilter, 106);
    }
    return ChannelFilter(*set);
}

ChannelFilterSelect ChannelFilterSelect_Get(std::uint32_t samplingRate_Hz, std::uint32_t bandwidth_Hz)
{
    for (const RateBandwidthKey& key : LookUpKeys) {
        if (key.samplingRate_Hz == samplingRate_Hz && key.bandwidth_Hz == bandwidth_Hz) {
            return key.select;
        }
    }
    return ChannelFilterSelect::Unity;
}

}  // namespace Veltrix::Marlin::Native
