#include "plover/filters/PulseShapeFiltersLut.h"

#include <algorithm>

#include "plover/base/ErrorHandler.h"
#include "plover/filters/FilterTables.h"
#include "plover/base/SourceUnit.h"

namespace Veltrix::Marlin::Native {

namespace {

// Bank header of every pulse-shaping filter: all 128 taps, gain select 2 (0 dB
// for 2^23-scaled coefficients).
constexpr std::uint8_t PulseShapeNumCoeff = 128;
constexpr std::int32_t PulseShapeSymmetricSel = 0;
constexpr std::uint8_t PulseShapeTaps = 128;
constexpr std::int32_t PulseShapeGainSel = 2;

// 12.5 kHz channels sampled at 48 kHz get the 48 kHz sets; those sampled at
// 24 kHz, and 25 kHz channels at 48 kHz, get the 24 kHz sets.
PulseShapeFilterSelect NarrowbandSelect(std::uint32_t samplingRate_Hz, std::uint32_t bandwidth_Hz,
                                        PulseShapeFilterSelect at48k, PulseShapeFilterSelect at24k)
{
    if (samplingRate_Hz == 48000 && bandwidth_Hz == 12000) {
        return at48k;
    }
    if ((samplingRate_Hz == 24000 && bandwidth_Hz == 12000) || (samplingRate_Hz == 48000 && bandwidth_Hz == 24000)) {
        return at24k;
    }
    return PulseShapeFilterSelect::Unity;
}

}  // namespace

PulseShapeFilter::PulseShapeFilter(std::span<const std::int32_t> coefficients)
{
    if (coefficients.size() > buffer.coefficients.size()) {
        ErrorHandler::Error("Too many coefficients. Max is 128", SourceUnit::PulseShapeFiltersLut, 22);
    }
    buffer.numCoeff = PulseShapeNumCoeff;
    buffer.symmetricSel = PulseShapeSymmetricSel;
    buffer.taps = PulseShapeTaps;
    buffer.gainSel = PulseShapeGainSel;
    std::copy(coefficients.begin(), coefficients.end(), buffer.coefficients.begin());
}

PulseShapeFilter PulseShapeFilter_Lookup(PulseShapeFilterSelect select)
{
    const FilterTableSet* set = PulseShapeFilterTable(select);
    if (set == nullptr) {
        ErrorHandler::Error("Unrecognized pulse shape filter select", SourceUnit::PulseShapeFiltersLut, 55);
    }
    return PulseShapeFilter(*set);
}

PulseShapeFilterSelect PulseShapeFilterSelect_Get(RxChannelSignalSetup setup, std::uint32_t samplingRate_Hz,
                                                  std::uint32_t bandwidth_Hz)
{
    switch (setup) {
    case RxChannelSignalSetup::NONE:
        return PulseShapeFilterSelect::Unity;
    case RxChannelSignalSetup::DMR:
        return NarrowbandSelect(samplingRate_Hz, bandwidth_Hz, PulseShapeFilterSelect::DMR_48k,
                                PulseShapeFilterSelect::DMR_24k);
    case RxChannelSignalSetup::ANALOG_FM:
        return NarrowbandSelect(samplingRate_Hz, bandwidth_Hz, PulseShapeFilterSelect::ANALOG_FM_48k,
                                PulseShapeFilterSelect::ANALOG_FM_24k);
    case RxChannelSignalSetup::P25:
        ErrorHandler::Error("P25 pulse shape filter not supported yet.", SourceUnit::RxChannel, 502);
    }
    ErrorHandler::Error("Unrecognized Rx signal setup.", SourceUnit::RxChannel, 507);
}

}  // namespace Veltrix::Marlin::Native
