// Frequency responses of channels designed by the filter designer.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "DesignedChannelSupport.h"
#include "support/Files.h"
#include "support/Reports.h"
#include "plover/analysis/ChannelResponse.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

namespace {

struct Measured {
    double mean_dB = 0.0;
    double ripple_dB = 0.0;
    double worstAlias_dB = -1e300;
};

Measured Measure(const std::vector<double>& response, double step_Hz, double clock_Hz, double rate_Hz,
                 double bandwidth_Hz)
{
    Measured m;
    const double half = bandwidth_Hz / 2.0;
    double low = 1e300;
    double high = -1e300;
    double sum = 0.0;
    std::size_t count = 0;
    for (std::size_t k = 0; k < response.size(); ++k) {
        const double f = static_cast<double>(k) * step_Hz;
        if (f <= half) {
            low = std::min(low, response[k]);
            high = std::max(high, response[k]);
            sum += response[k];
            ++count;
        } else if (f >= rate_Hz - half && f <= clock_Hz / 2.0) {
            if (std::fabs(f - std::round(f / rate_Hz) * rate_Hz) <= half) {
                m.worstAlias_dB = std::max(m.worstAlias_dB, response[k]);
            }
        }
    }
    m.mean_dB = sum / static_cast<double>(count);
    m.ripple_dB = high - low;
    return m;
}

}  // namespace

// Responses of designed channels against tests/data/analysis/responses.json:
// the grid runs from 0 in steps of the converter clock over 2^22, and the
// passband level, ripple and worst alias (image) level are the table's.
TEST(ChannelResponse, GridPassbandAndAliasesOfDesignedChannels)
{
    const auto table = nlohmann::json::parse(ReadText(SourcePath("tests/data/analysis/responses.json")));
    for (const auto& row : table.at("rows")) {
        const std::uint32_t rate_Hz = row[0], bandwidth_Hz = row[1];
        const auto channels = DesignedChannel::Design(rate_Hz, bandwidth_Hz, static_cast<AnalogFilterOrder>(row[2]));
        const bool rx = row[3] == "rx";
        SCOPED_TRACE(row.dump());
        std::vector<double> response;
        double start_Hz = -1.0;
        double step_Hz = -1.0;
        EXPECT_EQ(rx ? ChannelResponse_Get(channels.rx, response, start_Hz, step_Hz)
                     : ChannelResponse_Get(channels.tx, response, start_Hz, step_Hz),
                  0);
        ASSERT_EQ(response.size(), 4194304u);
        const double clock_Hz = 1000.0 * (rx ? channels.rx.adcClk_kHz : channels.tx.dacClk_kHz);
        EXPECT_EQ(start_Hz, 0.0);
        EXPECT_DOUBLE_EQ(step_Hz, clock_Hz / 4194304.0);
        const Measured m = Measure(response, step_Hz, clock_Hz, rate_Hz, bandwidth_Hz);
        EXPECT_NEAR(m.mean_dB, row[4].get<double>(), 1e-6);
        EXPECT_NEAR(m.ripple_dB, row[5].get<double>(), 1e-6);
        EXPECT_NEAR(m.worstAlias_dB, row[6].get<double>(), 1e-6);
    }
}

// A channel read back from a profile file carries the device record but no
// data path: no response is made up for it.
TEST(ChannelResponse, ChannelsWithoutADesignedPathAreRefused)
{
    marlin_RxProfile_t record{};
    record.adcClk_kHz = 2211840;
    record.primarySigBandwidth_Hz = 18000000;
    record.filterOrder = 1;
    const RxChannel loaded(record);
    marlin_TxProfile_t txRecord{};
    const TxChannel loadedTx(txRecord);
    std::vector<double> response{1.0};
    double start_Hz = 7.0;
    double step_Hz = 8.0;
    for (const bool rx : {true, false}) {
        EXPECT_EQ(ReportsOf([&] {
                      EXPECT_EQ(rx ? ChannelResponse_Get(loaded, response, start_Hz, step_Hz)
                                   : ChannelResponse_Get(loadedTx, response, start_Hz, step_Hz),
                                -1);
                  }),
                  std::vector<std::string>{ReportLine("FilterDesigner", 760)});
    }
    EXPECT_EQ(response, std::vector<double>{1.0});
    EXPECT_EQ(start_Hz, 7.0);
    EXPECT_EQ(step_Hz, 8.0);
}
