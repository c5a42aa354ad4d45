// Which initial and tracking calibrations a blueprint supports, as device
// calibration bit masks, and whether the initial calibration must run in two
// stages (a shared external LO that must be retuned between them).

#include "plover/blueprint/Blueprint.h"

namespace Veltrix::Marlin::Native {

namespace {

// Initial calibration groups.
constexpr std::uint32_t InitRxEnabled = 0x10000;
constexpr std::uint32_t InitRxChain = 0x1AE400;
constexpr std::uint32_t InitRxExternalLo = 0x1000;
constexpr std::uint32_t InitTxChain = 0x21F7;
constexpr std::uint32_t InitTxExternalLo = 0x8;

// Tracking calibration groups.
constexpr std::uint32_t TrackTx = 0x380000;
constexpr std::uint32_t TrackTxIqElbAfterPa = 0x380010;
constexpr std::uint32_t TrackTxWide = 0x3;
constexpr std::uint32_t TrackRxWide = 0xF81200;
constexpr std::uint32_t TrackRxNarrow = 0xF80100;
constexpr std::uint32_t TrackRxPairWide = 0x1200;
// A slowed processor clock cannot keep up with tracking bits 0-4, 8, 9 and 12.
constexpr std::uint32_t TrackSlowProcessorKeep = 0xFFFFECE0;

bool UsesTxChain(const TxChannelBlueprint& tx)
{
    return tx.enabled && tx.channelSignalType() != TxSignalType::DIRECT_FM_FSK;
}

}  // namespace

std::int8_t MarlinBlueprint::SupportedInitCalMask_Get(vx_marlin_InitCals& out) const
{
    LoMapping mapping;
    std::int8_t status = LoMapping_Get(mapping);
    if (status != 0) {
        return status;
    }
    out.systemMask = 0;
    bool twoStage = false;
    status = RequiresTwoStageInitCal_Get(twoStage);
    if (status != 0) {
        return status;
    }
    out.twoStage = twoStage ? 1 : 0;

    for (std::size_t i = 0; i < 2; ++i) {
        const RxChannelBlueprint& rx = rxChannel(i);
        const TxChannelBlueprint& tx = txChannel(i);
        std::uint32_t mask = rx.enabled ? InitRxEnabled : 0;
        if (rx.enabled || UsesTxChain(tx)) {
            mask |= InitRxChain;
            if (rx.loSource == LoSource::EXTERNAL) {
                mask |= InitRxExternalLo;
            }
        }
        if (UsesTxChain(tx)) {
            mask |= InitTxChain;
            if (tx.loSource == LoSource::EXTERNAL) {
                mask |= InitTxExternalLo;
            }
        }
        out.channelMask[i] = mask;
    }

    for (const auto& feature : features()) {
        status = feature->SupportedInitCalMask_Get(out);
        if (status != 0) {
            return status;
        }
    }
    return 0;
}

std::int8_t MarlinBlueprint::SupportedTrackingCalMask_Get(vx_marlin_TrackingCals& out) const
{
    for (std::size_t i = 0; i < 2; ++i) {
        const RxChannelBlueprint& rx = rxChannel(i);
        const TxChannelBlueprint& tx = txChannel(i);
        std::uint32_t mask = 0;
        const bool txTracking = (tx.enabled && (duplex == Duplex::TDD || duplex == Duplex::TDM_FDD)) ||
                                (duplex == Duplex::FDD && tx.enabled && !rx.enabled);
        if (txTracking) {
            mask = TrackTx;
            if (tx.channelSignalType() == TxSignalType::IQ && tx.elbType == ElbType::AFTER_PA) {
                mask = TrackTxIqElbAfterPa;
            }
            if (tx.channelSignalType() != TxSignalType::DIRECT_FM_FSK &&
                tx.rfChannelBandwidth_Hz >= WideBandwidthThreshold_Hz) {
                mask |= TrackTxWide;
            }
        }
        if (rx.enabled) {
            mask |= rx.rfChannelBandwidth_Hz >= WideBandwidthThreshold_Hz ? TrackRxWide : TrackRxNarrow;
        }
        out.channelMask[i] = mask;
    }
    if (rxChannel1.enabled && rxChannel2.enabled && rxChannel1.rfChannelBandwidth_Hz >= WideBandwidthThreshold_Hz) {
        out.channelMask[0] |= TrackRxPairWide;
        out.channelMask[1] |= TrackRxPairWide;
    }
    if (processorClockDivisor != ProcessorClockDivisor::DIVISOR_1) {
        out.channelMask[0] &= TrackSlowProcessorKeep;
        out.channelMask[1] &= TrackSlowProcessorKeep;
    }

    for (const auto& feature : features()) {
        const std::int8_t status = feature->SupportedTrackingCalMask_Get(out);
        if (status != 0) {
            return status;
        }
    }
    return 0;
}

std::int8_t MarlinBlueprint::RequiresTwoStageInitCal_Get(bool& out) const
{
    LoMapping mapping;
    std::int8_t status = LoMapping_Get(mapping);
    if (status != 0) {
        return status;
    }
    out = false;
    for (std::size_t i = 0; i < 2; ++i) {
        const RxChannelBlueprint& rx = rxChannel(i);
        const TxChannelBlueprint& tx = txChannel(i);
        if (rx.enabled && tx.enabled && mapping.txLoSelect[i] == mapping.rxLoSelect[i] &&
            tx.loSource == LoSource::EXTERNAL) {
            if ((duplex == Duplex::TDD && rx.ncoEnable) || duplex == Duplex::TDM_FDD) {
                out = true;
            }
        }
    }

    for (const auto& feature : features()) {
        status = feature->RequiresTwoStageInitCal_Get(out);
        if (status != 0) {
            return status;
        }
    }
    return 0;
}

}  // namespace Veltrix::Marlin::Native
