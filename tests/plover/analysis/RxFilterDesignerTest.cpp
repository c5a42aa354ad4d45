#include <gtest/gtest.h>

#include <limits>

#include "plover/analysis/RxFilterDesigner.h"
#include "plover/profile/RxChannel.h"

using namespace Veltrix::Marlin::Native;

namespace {

constexpr std::uint32_t SystemClock_Hz = 184320000;

// The 1.92 MHz chain (ratio 96) with both variant selections set.
RxPath DesignedRxPath(unsigned char wblpf)
{
    RxPath path;
    const unsigned char stages[] = {6, 2, 3, 1, 1, 2, 2, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 0, 6, 1, 3, 5, wblpf};
    for (std::size_t i = 0; i < path.stages.size(); ++i) {
        path.stages[i] = stages[i];
    }
    return path;
}

}  // namespace

TEST(RxFilterDesigner, RequestForLowRateCompensation)
{
    RxChannel channel(1920000, 1008000, 0, 40000, AnalogFilterOrder::ORDER_2, 0);
    ASSERT_EQ(channel.Adc_Configure(SystemClock_Hz, AdcRate::LOW, 2, DesignedRxPath(1)), 0);
    for (const std::int32_t mode : {1, 2}) {
        RxFilterRequest request{};
        RxFilterDesigner{}.FilterRequest_Build(request, channel, mode, 2, 70710, 2, 0, 0.22);
        EXPECT_EQ(request.analogBandwidth_Hz, 70710000u);
        EXPECT_EQ(request.converterRate_Hz, 1105920000u);  // 6 x the system clock for LOW
        EXPECT_EQ(request.highPowerAdc, 0);
        EXPECT_EQ(request.tiaFilter, 0);
        EXPECT_EQ(request.mode0, 1);  // the channel's own HB012 selection
        EXPECT_EQ(request.mode3, 0);
        EXPECT_EQ(request.mode4, 2);
        EXPECT_FLOAT_EQ(request.rippleTarget_dB, 0.22f);
    }
    RxFilterRequest request{};
    RxFilterDesigner{}.FilterRequest_Build(request, channel, 3, 0, 5000000, 0, 2, 0.1);
    EXPECT_EQ(request.mode4, 1);
    EXPECT_EQ(request.highPowerAdc, 0);
    EXPECT_EQ(request.analogBandwidth_Hz, std::numeric_limits<std::uint32_t>::max());  // held, not wrapped
}
