// The clocks' completion beyond what the examples and scenarios pin (the VCO
// and dividers of each ADC rate and PLL mode): the largest system clock, the
// LO routing of a mapping, and the duplex of the device system.

#include <gtest/gtest.h>

#include "plover/blueprint/Blueprint.h"
#include "plover/profile/Clocks.h"
#include "plover/profile/DeviceSystem.h"
#include "plover/blueprint/LoMapping.h"
#include "support/Reports.h"
#include "support/Throws.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

TEST(Clocks, CompletionRoutesTheLosAndKeepsTheLargestClock)
{
    LoMapping mapping;
    mapping.rxLoSelect = {LO2, LO1};
    mapping.txLoSelect = {LO1, LO2};
    mapping.loIsExternal = {false, true};
    Clocks clocks;
    clocks.rxPortImpedanceControl(1, true);
    clocks.rxPortImpedanceControl(2, true);
    clocks.Configure(200'000'000, AdcRate::HIGH, MarlinBlueprint{}, mapping);
    EXPECT_EQ(clocks.clkPllVcoFreq_daHz, 960'000'000u);  // 48 x 200 MHz must not overflow on the way
    const vx_marlin_LoSel selects[] = {clocks.rx1LoSelect, clocks.rx2LoSelect, clocks.tx1LoSelect, clocks.tx2LoSelect};
    EXPECT_EQ(std::vector<vx_marlin_LoSel>(std::begin(selects), std::end(selects)),
              (std::vector<vx_marlin_LoSel>{LO2, LO1, LO1, LO2}));
    EXPECT_EQ(clocks.rfPll1LoMode, 0);
    EXPECT_EQ(clocks.rfPll2LoMode, 2);
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
