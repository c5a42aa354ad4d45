// The PLL waits at the edges of their tables (tests/data/profile/tables.json).

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/Files.h"
#include "plover/profile/PllTiming.h"

using namespace Veltrix::Marlin::Native;

TEST(PllTiming, LockTimeAndPhaseSyncAtTheirTableEdges)
{
    const auto tables = nlohmann::json::parse(PloverTest::ReadText(PloverTest::SourcePath("tests/data/profile/tables.json")));
    for (const auto& row : tables.at("pllLockTime_us")) {
        EXPECT_EQ(PllLockTime_us_Get(row.at("clock_kHz"), row.at("calibrated")), row.at("us")) << row;
    }
    for (const auto& row : tables.at("phaseSyncDivider")) {
        EXPECT_EQ(PllPhaseSyncDivider_Get(row.at("frequency_kHz")), row.at("divider")) << row;
    }
    // A slower reference stretches the wait past 16 bits: it saturates.
    for (const auto& row : tables.at("phaseSyncWait_us")) {
        EXPECT_EQ(PllPhaseSyncWait_us_Get(row.at("deviceClock_kHz"), row.at("divider")), row.at("us")) << row;
    }
}
