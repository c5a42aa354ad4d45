#include <gtest/gtest.h>

#include <limits>

#include "plover/analysis/TxFilterDesigner.h"
#include "plover/profile/TxChannel.h"

using namespace Veltrix::Marlin::Native;

namespace {

constexpr std::uint32_t SystemClock_Hz = 184320000;

TxPath DesignedTxPath(unsigned char int3, unsigned char wblpf)
{
    TxPath path;
    const unsigned char head = int3 == 2 ? 3 : 1;
    const unsigned char stages[] = {head, 1, 3, 1, 1, 2, 2, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 0, int3, 0, wblpf, 0, 0, 0, 1};
    for (std::size_t i = 0; i < path.stages.size(); ++i) {
        path.stages[i] = stages[i];
    }
    return path;
}

}  // namespace

TEST(TxFilterDesigner, RequestsForWideAndNarrowTransmitters)
{
    TxChannel wide(1920000, 1008000);
    ASSERT_EQ(wide.Dac_Configure(SystemClock_Hz, DacRate::HIGH, 2, DesignedTxPath(2, 2)), 0);
    TxFilterRequest request{};
    EXPECT_EQ(TxFilterDesigner{}.FilterRequest_Build(request, wide), 0);
    EXPECT_EQ(request.analogBandwidth_Hz, 50000000u);
    EXPECT_EQ(request.channelBandwidth_Hz, 1008000u);
    EXPECT_EQ(request.converterRate_Hz, 552960000u);
    EXPECT_EQ(request.stages, wide.dataPath.stages.data());
    EXPECT_EQ(request.option0, 1);
    EXPECT_EQ(request.option1, 1);
    EXPECT_EQ(request.option2, 1);
    EXPECT_EQ(request.narrowband, 0);
    EXPECT_FLOAT_EQ(request.rippleTarget_dB, 0.1f);

    TxChannel narrow(999999, 12500);
    ASSERT_EQ(narrow.Dac_Configure(SystemClock_Hz, DacRate::LOW, 2, DesignedTxPath(0, 1)), 0);
    TxFilterRequest narrowRequest{};
    TxFilterDesigner{}.FilterRequest_Build(narrowRequest, narrow);
    EXPECT_EQ(narrowRequest.analogBandwidth_Hz, 33000000u);
    EXPECT_EQ(narrowRequest.converterRate_Hz, 184320000u);
    EXPECT_EQ(narrowRequest.option0, 0);
    EXPECT_EQ(narrowRequest.option1, 0);
    EXPECT_EQ(narrowRequest.narrowband, 1);
}
