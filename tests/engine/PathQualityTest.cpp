// The quality bars of the designed paths over the stock configurations of
// tests/data/engine/quality.json: the compensated passband ripple stays within
// 0.1 dB and every alias (image) lies 60 dB down.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "EngineRequests.h"
#include "engine/ResponseEntries.h"

namespace {

using namespace EngineTest;

struct Quality {
    double ripple_dB = 0.0;     // max - min over |f| <= B/2
    double rejection_dB = 0.0;  // mean passband level minus the worst alias
    double worstAlias_Hz = 0.0;
};

// Passband: grid points with f <= B/2. Aliases (images): every grid point
// from fs - B/2 up to half the converter clock within B/2 of a multiple of fs.
Quality Measure(const std::vector<double>& grid, const std::vector<double>& response, double clock_Hz, double rate_Hz,
                double bandwidth_Hz)
{
    Quality q;
    const double half = bandwidth_Hz / 2.0;
    double sum = 0.0, low = 1e300, high = -1e300, worst = -1e300;
    std::size_t count = 0;
    for (; count < grid.size() && grid[count] <= half; ++count) {
        sum += response[count];
        low = std::min(low, response[count]);
        high = std::max(high, response[count]);
    }
    for (std::size_t k = 0; k < grid.size() && grid[k] <= clock_Hz / 2.0; ++k) {
        const double nearest = std::round(grid[k] / rate_Hz) * rate_Hz;
        if (grid[k] >= rate_Hz - half && std::fabs(grid[k] - nearest) <= half && response[k] > worst) {
            worst = response[k];
            q.worstAlias_Hz = grid[k];
        }
    }
    q.ripple_dB = high - low;
    q.rejection_dB = sum / static_cast<double>(count) - worst;
    return q;
}

TEST(PathQuality, StockConfigurationsMeetTheBars)
{
    std::vector<double> grid(ResponseGridPoints), response(ResponseGridPoints);
    std::printf("%-28s %11s %9s\n", "path", "ripple dB", "reject dB");
    for (const Json& c : EngineData("quality.json")) {
        const std::vector<std::uint8_t> stages = Bytes(c);
        std::uint8_t status = 99;
        const bool rx = c["entry"] == "rxResponse";
        const RxFilterRequest rxRequest = RxRequestOf(c, stages);
        const TxFilterRequest txRequest = TxRequestOf(c, stages);
        rx ? Engine_RxResponse(rxRequest, status, grid.data(), response.data())
           : Engine_TxResponse(txRequest, status, grid.data(), response.data());
        const Quality q = Measure(grid, response, rx ? rxRequest.converterRate_Hz : txRequest.converterRate_Hz, c["rate_Hz"],
                                  c["channelBandwidth_Hz"]);
        const std::string what = c["what"];
        std::printf("%-28s %11.4f %9.1f\n", what.c_str(), q.ripple_dB, q.rejection_dB);
        EXPECT_EQ(status, 0) << what;
        EXPECT_LE(q.ripple_dB, 0.1) << what;
        EXPECT_GE(q.rejection_dB, 60.0) << what << ": worst alias at " << q.worstAlias_Hz << " Hz";
    }
}

}  // namespace
