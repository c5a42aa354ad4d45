#include "streams/StreamProfileFacts.h"

#include "streams/StreamDelay.h"

namespace Veltrix::Runnel {

std::shared_ptr<MarlinSettings> GenerateMarlinStreamSettings(const StreamProfileFacts& facts)
{
    const std::uint32_t clock_Hz = facts.processorClockFrequency_Hz;
    // Checked before anything is set, so a bad clock leaves no half-made settings.
    const std::uint16_t delay80 = NanoSecondsToStreamCycles(80, clock_Hz);
    const std::uint16_t delay1us = NanoSecondsToStreamCycles(1000, clock_Hz);

    auto settings = std::make_shared<MarlinSettings>();
    for (const StreamTxFacts& tx : facts.txChannels) {
        if (!tx.enabled) {
            continue;
        }
        if (tx.channelNumber == 1) {
            settings->tx1FMDM(tx.outputSignaling == 2);
        } else if (tx.channelNumber == 2) {
            settings->tx2FMDM(tx.outputSignaling == 2);
        }
    }
    settings->rx1IntLo(facts.channelLoSource[0] == kLoSourceInternal);
    settings->rx2IntLo(facts.channelLoSource[1] == kLoSourceInternal);
    settings->tx1IntLo(facts.channelLoSource[2] == kLoSourceInternal);
    settings->tx2IntLo(facts.channelLoSource[3] == kLoSourceInternal);
    settings->rx1A(facts.rx1RfInputSel == 0);
    settings->rx2A(facts.rx2RfInputSel == 0);
    settings->rx1PortImpedanceControl(facts.rxPortImpedanceControl[0]);
    settings->rx2PortImpedanceControl(facts.rxPortImpedanceControl[1]);

    // An external LO is locked elsewhere: its PLL gets no lock wait in the streams.
    const std::uint16_t lockWait =
        NanoSecondsToStreamDelay(static_cast<std::uint32_t>(facts.pllLockWait_us) * 1000, clock_Hz);
    settings->pll1LockWait(facts.rfPll1LoMode != 0 ? std::uint16_t{0} : lockWait);
    settings->pll2LockWait(facts.rfPll2LoMode != 0 ? std::uint16_t{0} : lockWait);
    settings->pllPhaseSyncWait(
        NanoSecondsToStreamDelay(static_cast<std::uint32_t>(facts.pllPhaseSyncWait_us) * 1000, clock_Hz));
    settings->ldoPowerUpWait(kStreamDelayMicroseconds | 200);
    settings->delay_80ns(delay80);
    settings->delay_1us(delay1us);
    return settings;
}

void StreamSettings_Save(const StreamProfileFacts& facts, const std::string& filename)
{
    GenerateMarlinStreamSettings(facts)->Save(filename);
}

}  // namespace Veltrix::Runnel
