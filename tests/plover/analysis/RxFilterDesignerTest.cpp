// The requests of the six compensation designs are PfirMagCompTest's; here
// what only an unusual caller reaches.

#include <gtest/gtest.h>

#include <limits>

#include "plover/analysis/RxFilterDesigner.h"
#include "plover/profile/RxChannel.h"

using namespace Veltrix::Marlin::Native;

// A corner in kHz beyond what Hz hold saturates rather than wraps; a
// compensation mode other than 1 or 2 designs at the high rate.
TEST(RxFilterDesigner, RequestHoldsHugeCornersAndDefaultsTheMode)
{
    const RxChannel channel(1920000, 1008000, 0, 40000, AnalogFilterOrder::ORDER_2, 0);
    RxFilterRequest request{};
    RxFilterDesigner{}.FilterRequest_Build(request, channel, 3, 0, 5000000, 0, 2, 0.1);
    EXPECT_EQ(request.mode4, 1);
    EXPECT_EQ(request.highPowerAdc, 0);
    EXPECT_EQ(request.analogBandwidth_Hz, std::numeric_limits<std::uint32_t>::max());
}
