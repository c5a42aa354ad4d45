#include <gtest/gtest.h>

#include "engine/DesignCriteria.h"

using namespace Veltrix::Marlin::Native;

// The setters that encode: response ignored is mode 2, the expanded search
// lowers the clock floor to 150 MHz; initialising restores every default but
// the debug switch, and Design_Initialize clears the response mode.
TEST(DesignCriteria, SetterRulesAndInitialisation)
{
    DesignCriteria c;
    EXPECT_DOUBLE_EQ(c.targetRipple(), 0.1);
    c.isResponseIgnored(true);
    EXPECT_EQ(c.isResponseIgnored(), 2);
    c.expandedSearchEnable(true);
    EXPECT_EQ(c.minSystemClock(), 150000000u);
    c.expandedSearchEnable(false);
    EXPECT_EQ(c.minSystemClock(), 160000000u);

    c.isDebug(true);
    c.searchMode(2);
    c.maxSystemClock(1);
    c.useModelingSearch(true);
    EXPECT_EQ(c.DefaultDesignCriteria_Initialize(true), 0);
    EXPECT_TRUE(c.isDebug());
    EXPECT_EQ(c.searchMode(), 0);
    EXPECT_EQ(c.maxSystemClock(), 200000000u);
    EXPECT_FALSE(c.useModelingSearch());
    EXPECT_EQ(c.isResponseIgnored(), 2);
    EXPECT_EQ(c.Design_Initialize(), 0);
    EXPECT_EQ(c.isResponseIgnored(), 0);
}
