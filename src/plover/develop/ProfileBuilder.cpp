#include "plover/develop/ProfileBuilder.h"

#include "plover/base/ErrorHandler.h"
#include "plover/design/FilterDesignerClock.h"
#include "plover/develop/ProfileAssemblySteps.h"
#include "plover/base/SourceUnit.h"

namespace Veltrix::Marlin::Native {

namespace {

std::int8_t Refuse(const char* text, int line)
{
    ErrorHandler::Message(LogLevel::ERROR, text, SourceUnit::ProfileBuilder, line);
    return -1;
}

}  // namespace

std::int8_t SystemClock_Calculate(const MarlinBlueprint& blueprint, std::uint32_t& systemClock_Hz)
{
    bool any = false;
    bool common = true;
    std::uint64_t clock = 0;
    auto candidate = [&](std::uint64_t value) {
        if (any && value != clock) common = false;
        clock = value;
        any = true;
    };
    for (std::size_t index = 0; index < 2; ++index) {
        const RxChannelBlueprint& rx = blueprint.rxChannel(index);
        if (rx.enabled) candidate(ChainClock_Hz(rx.samplingRate_Hz(), rx.dataPath));
    }
    for (std::size_t index = 0; index < 2; ++index) {
        const TxChannelBlueprint& tx = blueprint.txChannel(index);
        if (tx.enabled) candidate(ChainClock_Hz(tx.samplingRate_Hz(), tx.dataPath));
    }
    if (!any) return Refuse("At least one channel needs to be enabled.", 1017);
    if (!common) return Refuse("There is no common system clock frequency", 1024);
    if (clock < ExpandedSystemClockFloor_Hz || clock > SystemClockCeiling_Hz) {
        return Refuse("Systemm clock frequency out of range [160,200] MHz", 1030);
    }
    systemClock_Hz = static_cast<std::uint32_t>(clock);
    return 0;
}

std::int8_t ProfileArchitect::Profile_Develop(Profile& profile, DesignSummary& /*summary*/,
                                              const MarlinBlueprint& blueprint, bool redesign)
{
    profile.marlinBlueprint = blueprint;
    MarlinBlueprint& designed = profile.marlinBlueprint;

    if (redesign || !designed.isDesigned()) {
        designCriteria.DefaultDesignCriteria_Initialize(false);
        designCriteria.isDebug(false);
        designCriteria.expandedSearchEnable(false);
        std::uint8_t status = Design(designed, designCriteria, false);
        if (status != 0 && blueprint.expandedSearchEnable) {
            designCriteria.expandedSearchEnable(true);
            status = Design(designed, designCriteria, false);
        }
        if (status != 0) return static_cast<std::int8_t>(status);
    }
    return Profile_Assemble(profile);
}

std::int8_t ProfileArchitect::Profile_Assemble(Profile& profile) const
{
    const MarlinBlueprint& b = profile.marlinBlueprint;
    // Every PLL wait and the clock PLL derive from the device clock.
    if (b.deviceClockInput_kHz == 0) return Refuse("Device clock input of 0 kHz: the device needs a clock.", 1003);
    Profile w;
    w.marlinBlueprint = b;

    w.clocks = Clocks(b.deviceClockInput_kHz, b.clockPllMode, b.clockPllPower, b.pllCalibration,
                      b.processorClockDivisor, {b.rxChannel1.rfInput, b.rxChannel2.rfInput});
    w.allowPllRetuning = b.allowPllRetuning;
    w.diversity = b.diversity;

    ReceiverAdcTypes adcTypes{1, 1};
    if (const std::int8_t status = ReceiveChannels_Add(w, b, adcTypes); status != 0) return status;
    if (const std::int8_t status = TransmitChannels_Add(w, b, adcTypes); status != 0) return status;

    w.deviceSystem = DeviceSystem(b.duplex, b.warmBootEnable);

    std::uint32_t systemClock_Hz = 0;
    if (const std::int8_t status = SystemClock_Calculate(b, systemClock_Hz); status != 0) return status;

    LoMapping mapping;
    if (const std::int8_t status = b.LoMapping_Get(mapping); status != 0) return status;
    w.clocks.Configure(systemClock_Hz, b.adcRate(), b, mapping);
    w.PllLockWait_us_Calculate();

    if (const std::int8_t status = Converters_Configure(w, b, systemClock_Hz); status != 0) return status;
    if (const std::int8_t status = MagnitudeCompensation_Design(w); status != 0) return status;

    // A processor divisor read from a file may be anything, 0 included.
    if (w.clocks.armPowerSavingClkDiv == 0) return Refuse("Unrecognized processor clock divisor.", 1092);
    w.systemClockFrequency_Hz = systemClock_Hz;
    w.processorClockFrequency_Hz = systemClock_Hz / w.clocks.armPowerSavingClkDiv;

    for (const auto& feature : b.features()) {
        if (const std::int8_t status = feature->Profile_Update(w); status != 0) return status;
    }

    profile = w;
    return 0;
}

}  // namespace Veltrix::Marlin::Native
