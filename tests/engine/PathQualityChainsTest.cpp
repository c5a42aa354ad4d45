// The chains the quality bars are measured on are the ones the chain lookup
// designs for those rates and bandwidths at the default clock bounds.
#include <gtest/gtest.h>

#include "PathQualitySupport.h"
#include "engine/ChainDesign.h"

namespace {

using namespace Veltrix::Marlin::Native;

TEST(PathQualityChains, ConfigurationTableMatchesTheChainLookup)
{
    for (const PathQuality::Configuration& c : PathQuality::Configurations()) {
        ChannelDesignRecord first;
        first.rxEnabled = 1;
        first.txEnabled = 1;
        first.rxSampleRate_Hz = c.rate_Hz;
        first.txSampleRate_Hz = c.rate_Hz;
        first.rxBandwidth_Hz = c.bandwidth_Hz;
        first.txBandwidth_Hz = c.bandwidth_Hz;
        first.rxHead0 = 6;
        first.txHead0 = PathQuality::TxWide(c) ? 2 : 0;
        ChannelDesignRecord second;
        ChannelDesignOutput firstOutput;
        ChannelDesignOutput secondOutput;
        const DesignCriteria criteria;
        ASSERT_EQ(Engine_DesignChains(criteria, first, second, firstOutput, secondOutput), 0) << c.rate_Hz;
        const auto rx = PathQuality::RxStages(c);
        const auto tx = PathQuality::TxStages(c);
        for (std::size_t i = 0; i < 18; ++i) {
            EXPECT_EQ(firstOutput.rxStages[i], rx[i]) << c.rate_Hz << " Rx byte " << i;
            EXPECT_EQ(firstOutput.txStages[i], tx[i]) << c.rate_Hz << " Tx byte " << i;
        }
    }
}

}  // namespace
