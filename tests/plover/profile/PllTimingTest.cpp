#include <gtest/gtest.h>

#include "plover/profile/PllTiming.h"

using namespace Veltrix::Marlin::Native;

TEST(PllTiming, LockTimeTableEdges)
{
    struct Case {
        std::uint32_t clock_kHz;
        bool calibrated;
        std::uint16_t expected_us;
    };
    const Case cases[] = {
        {38'400, false, 380},  {38'399, false, 400},  {1'000'000, false, 280}, {0, false, 400},
        {29'999, true, 91},    {30'000, true, 91},    {38'400, true, 77},      {49'999, true, 77},
        {50'000, true, 56},    {100'000, false, 300}, {150'000, true, 20},     {199'999, false, 290},
        {200'000, false, 285}, {245'759, true, 20},   {245'760, true, 17},     {300'000, true, 15},
        {0xFFFFFFFFu, true, 15},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PllLockTime_us_Get(c.clock_kHz, c.calibrated), c.expected_us) << c.clock_kHz;
    }
}

TEST(PllTiming, PhaseSyncDividerHalvesTheFrequencyBand)
{
    EXPECT_EQ(PllPhaseSyncDivider_Get(6'500'000), 2u);
    EXPECT_EQ(PllPhaseSyncDivider_Get(3'250'000), 2u);
    EXPECT_EQ(PllPhaseSyncDivider_Get(3'249'999), 4u);
    EXPECT_EQ(PllPhaseSyncDivider_Get(1'625'000), 4u);
    EXPECT_EQ(PllPhaseSyncDivider_Get(50'781), 128u);
    EXPECT_EQ(PllPhaseSyncDivider_Get(50'780), 256u);
    EXPECT_EQ(PllPhaseSyncDivider_Get(25'390), 256u);
    EXPECT_EQ(PllPhaseSyncDivider_Get(25'389), 256u);
    EXPECT_EQ(PllPhaseSyncDivider_Get(0), 256u);
}

TEST(PllTiming, PhaseSyncWaitAtTheBandEdges)
{
    EXPECT_EQ(PllPhaseSyncWait_us_Get(38'400, 2), 410);
    EXPECT_EQ(PllPhaseSyncWait_us_Get(38'400, 256), 48'851);
    // A slower reference stretches the wait past 16 bits: it saturates.
    EXPECT_EQ(PllPhaseSyncWait_us_Get(10'000, 256), 65'535);
    EXPECT_EQ(PllPhaseSyncWait_us_Get(0, 2), 65'535);
}
