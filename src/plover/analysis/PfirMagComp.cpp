#include "plover/analysis/PfirMagComp.h"

#include "plover/filters/ChannelFilter.h"
#include "plover/analysis/RxFilterDesigner.h"
#include "plover/analysis/TxFilterDesigner.h"
#include "plover/base/ErrorHandler.h"
#include "plover/profile/RxChannel.h"
#include "plover/base/SourceUnit.h"
#include "plover/profile/TxChannel.h"
#include "plover/design/ChannelIndex.h"

namespace Veltrix::Marlin::Native {

namespace {

// The three receive designs made for each ADC.
struct RxDesign {
    bool narrowCorner;  // the (clamped) narrow-band corner and the channel's own HB012 selection;
                        // otherwise the wide corner of the analog filter order
    bool lowRate;       // compensation at the low-rate position
};

constexpr RxDesign HighRateWide{false, false};
constexpr RxDesign HighRateNarrow{true, false};
constexpr RxDesign LowRateNarrow{true, true};

std::uint8_t RxDesign_Run(const RxChannel& channel, const RxDesign& design, bool highPerformanceAdc,
                          const MagCompDesigner& designer, marlin_PfirMag21Buffer_t& taps21,
                          marlin_PfirMag13Buffer_t& taps13)
{
    const bool tia = channel.filterOrder == 1;
    const std::uint32_t corner_kHz = channel.AnalogFilterCorner_Get(design.narrowCorner ? OperationalBandwidth::NARROW
                                                                                         : OperationalBandwidth::WIDE);
    RxFilterRequest request{};
    RxFilterDesigner{}.FilterRequest_Build(request, channel, design.lowRate ? 1 : 0, design.narrowCorner ? 2 : 1,
                                           corner_kHz, tia ? 1 : 2, highPerformanceAdc ? 1 : 0, channel.rippleTarget);
    return designer.Rx_Design(taps21, taps13, request);
}

// The engine's failure codes sit at the top of the byte (252 to 255); a low
// non-zero status does not fail a design pair.
bool Failed(std::uint8_t status) { return static_cast<std::int8_t>(status) < 0; }

std::int8_t PfirError(const char* text, int line)
{
    ErrorHandler::Message(LogLevel::ERROR, text, SourceUnit::Pfir, line);
    return -1;
}

}  // namespace

std::uint8_t MagCompDesigner::Rx_Design(marlin_PfirMag21Buffer_t& taps21, marlin_PfirMag13Buffer_t& taps13,
                                        const RxFilterRequest& request) const
{
    return RxFilterDesigner{}.MagComp_Design(taps21, taps13, request);
}

std::int8_t MagCompDesigner::Tx_Design(marlin_PfirMag21Buffer_t& taps21, marlin_PfirMag13Buffer_t& taps13,
                                       const TxFilterRequest& request) const
{
    return TxFilterDesigner{}.MagComp_Design(taps21, taps13, request);
}

std::int8_t RxMagnitudeCompensation_Design(Pfir& pfir, const RxChannel& channel, const MagCompDesigner& designer)
{
    const std::uint8_t channelNumber = channel.ChannelNumber_Get();
    const std::uint8_t i = Decode::ChannelNumberToIndex(channelNumber);
    // Shared by all six designs: a failed design leaves what the engine wrote.
    marlin_PfirMag21Buffer_t taps21{};
    taps21.numCoeff = 21;
    marlin_PfirMag13Buffer_t taps13{};
    taps13.numCoeff = 13;
    const auto run = [&](const RxDesign& design, bool highPerformance) {
        return RxDesign_Run(channel, design, highPerformance, designer, taps21, taps13);
    };

    if (run(HighRateWide, true) != 0) {
        return PfirError("Unexpected error in magnitude compensation filter design for high-performance ADC", 63);
    }
    pfir.pfirRxMagHighTiaHighSRHp[i] = taps21;
    const std::uint8_t hp2 = run(HighRateNarrow, true);
    pfir.pfirRxMagLowTiaHighSRHp[i] = taps21;
    const std::uint8_t hp3 = run(LowRateNarrow, true);
    pfir.pfirRxMagLowTiaLowSRHp[i] = taps21;
    if (Failed(hp2) && Failed(hp3)) {
        return PfirError("Unable to design magnitude compensation filters for high-performance ADC", 91);
    }

    if (run(HighRateWide, false) != 0) {
        return PfirError("Unexpected error in magnitude compensation filter design for low-power ADC", 101);
    }
    pfir.pfirRxMagHighTiaHighSRLp[i] = taps21;
    const std::uint8_t lp2 = run(HighRateNarrow, false);
    pfir.pfirRxMagLowTiaHighSRLp[i] = taps21;
    const std::uint8_t lp3 = run(LowRateNarrow, false);
    pfir.pfirRxMagLowTiaLowSRLp[i] = taps21;
    pfir.pfirRxMagCompNb[i] = taps13;
    if (Failed(lp2) && Failed(lp3)) {
        return PfirError("Unable to design magnitude compensation filters for low-power ADC", 133);
    }

    pfir.pfirRxNbPulShp[i] = channel.pulseShapeFilter.buffer;
    if (channelNumber == 1) {
        pfir.pfirRxWbNbChFilterCoeff_A = channel.channelFilter.buffer;
    } else {
        pfir.pfirRxWbNbChFilterCoeff_C = channel.channelFilter.buffer;
    }
    // The second bank of either receiver passes through, whichever receiver is designed.
    const marlin_PfirWbNbBuffer_t unity = ChannelFilter_Lookup(ChannelFilterSelect::Unity).buffer;
    pfir.pfirRxWbNbChFilterCoeff_B = unity;
    pfir.pfirRxWbNbChFilterCoeff_D = unity;
    return 0;
}

std::int8_t TxMagnitudeCompensation_Design(Pfir& pfir, const TxChannel& channel, const MagCompDesigner& designer)
{
    const std::uint8_t i = Decode::TxChannelNumberToIndex(channel.channelNumber);
    marlin_PfirMag21Buffer_t taps21{};
    taps21.numCoeff = 21;
    marlin_PfirMag13Buffer_t taps13{};
    taps13.numCoeff = 13;
    TxFilterRequest request{};
    TxFilterDesigner{}.FilterRequest_Build(request, channel);
    if (designer.Tx_Design(taps21, taps13, request) != 0) {
        return -1;
    }
    (channel.channelNumber == 1 ? pfir.pfirTxMagComp1 : pfir.pfirTxMagComp2) = taps21;
    pfir.pfirTxMagCompNb[i] = taps13;
    if (channel.channelNumber == 1) {
        pfir.pfirTxWbNbPulShpCoeff_A = channel.channelFilter.buffer;
        pfir.pfirTxWbNbPulShpCoeff_B = channel.channelFilter.buffer;
    } else {
        pfir.pfirTxWbNbPulShpCoeff_C = channel.channelFilter.buffer;
        pfir.pfirTxWbNbPulShpCoeff_D = channel.channelFilter.buffer;
    }
    return 0;
}

std::int8_t Pfir::RxMagnitudeCompensation_Design(const RxChannel& channel)
{
    return Native::RxMagnitudeCompensation_Design(*this, channel, MagCompDesigner{});
}

std::int8_t Pfir::TxMagnitudeCompensation_Design(const TxChannel& channel)
{
    return Native::TxMagnitudeCompensation_Design(*this, channel, MagCompDesigner{});
}

}  // namespace Veltrix::Marlin::Native
