#include <gtest/gtest.h>

#include "plover/blueprint/Blueprint.h"
#include "plover/profile/Clocks.h"
#include "plover/profile/DeviceSystem.h"
#include "plover/blueprint/LoMapping.h"
#include "support/Reports.h"
#include "support/Throws.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

TEST(Clocks, CompletionRunsTheVcoAtFortyEightTimesTheSystemClock)
{
    struct Case {
        ClockPllMode mode;
        AdcRate rate;
        std::uint32_t vco_daHz;
        int hsDiv, armDiv;
    };
    const Case cases[] = {
        {ClockPllMode::HIGH_PERFORMANCE, AdcRate::HIGH, 884'736'000, 0, 6},
        {ClockPllMode::HIGH_PERFORMANCE, AdcRate::MED, 884'736'000, 1, 4},
        {ClockPllMode::HIGH_PERFORMANCE, AdcRate::LOW, 884'736'000, 0, 6},
        {ClockPllMode::LOW_POWER, AdcRate::HIGH, 442'368'000, 0, 6},
        {ClockPllMode::LOW_POWER, AdcRate::MED, 442'368'000, 1, 4},
    };
    const MarlinBlueprint blueprint;
    for (const Case& c : cases) {
        Clocks clocks(38'400, c.mode, 2, 0, ProcessorClockDivisor::DIVISOR_1, {0, 0});
        clocks.Configure(184'320'000, c.rate, blueprint, LoMapping{});
        EXPECT_EQ(clocks.clkPllVcoFreq_daHz, c.vco_daHz);
        EXPECT_EQ(clocks.clkPllHsDiv, c.hsDiv);
        EXPECT_EQ(clocks.armClkDiv, c.armDiv);
    }
    // The largest system clock must not overflow on the way.
    Clocks clocks;
    clocks.Configure(200'000'000, AdcRate::HIGH, blueprint, LoMapping{});
    EXPECT_EQ(clocks.clkPllVcoFreq_daHz, 960'000'000u);
}

TEST(Clocks, CompletionRoutesTheLos)
{
    MarlinBlueprint blueprint;
    blueprint.loExternal1 = {4, 1};
    blueprint.loExternal2 = {8, 2};
    LoMapping mapping;
    mapping.rxLoSelect = {LO2, LO1};
    mapping.txLoSelect = {LO1, LO2};
    mapping.loIsExternal = {false, true};

    Clocks clocks;
    clocks.rxPortImpedanceControl(1, true);
    clocks.rxPortImpedanceControl(2, true);
    clocks.Configure(184'320'000, AdcRate::HIGH, blueprint, mapping);
    EXPECT_EQ(clocks.rx1LoSelect, LO2);
    EXPECT_EQ(clocks.rx2LoSelect, LO1);
    EXPECT_EQ(clocks.tx1LoSelect, LO1);
    EXPECT_EQ(clocks.tx2LoSelect, LO2);
    EXPECT_EQ(clocks.rfPll1LoMode, 0);
    EXPECT_EQ(clocks.rfPll2LoMode, 2);
    EXPECT_EQ(clocks.extLo1Divider, 4);
    EXPECT_EQ(clocks.ext1LoType, 1);
    EXPECT_EQ(clocks.extLo2Divider, 8);
    EXPECT_EQ(clocks.ext2LoType, 2);
    EXPECT_FALSE(clocks.rxPortImpedanceControl(1));
    EXPECT_FALSE(clocks.rxPortImpedanceControl(2));
    EXPECT_THROW(clocks.rxPortImpedanceControl(3, true), std::runtime_error);
}

TEST(DeviceSystem, DuplexModeAndPllFigures)
{
    EXPECT_EQ(DeviceSystem(Duplex::TDD, false).duplexMode, 0);
    EXPECT_EQ(DeviceSystem(Duplex::FDD, false).duplexMode, 1);
    const DeviceSystem tdm(Duplex::TDM_FDD, true);
    EXPECT_EQ(tdm.duplexMode, 0);
    EXPECT_EQ(tdm.duplex, Duplex::TDM_FDD);
    EXPECT_EQ(ThrownText<std::runtime_error>([] { DeviceSystem(static_cast<Duplex>(3), false); }),
              ReportLine("DeviceSystem.h", 61));
}
