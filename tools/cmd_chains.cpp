// plover chains: the engine's modelling search for given rates, without a
// blueprint: the chosen chains, the system clock and the ripples.

#include <nlohmann/json.hpp>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <iostream>

#include "Cli.h"
#include "host/ChainSearch.h"

namespace Veltrix::Marlin::Cli {

namespace {

using json = nlohmann::json;
using Clock = std::chrono::steady_clock;

ChainSearchGoal Goal(const std::string& goal)
{
    if (goal == "target-ripple") {
        return ChainSearchGoal::TargetRipple;
    }
    if (goal == "minimize-ripple") {
        return ChainSearchGoal::MinimizeRipple;
    }
    return ChainSearchGoal::MaximizeBandwidth;
}

json Chain(const std::array<std::int32_t, 16>& stages)
{
    json out = json::array();
    for (std::int32_t stage : stages) {
        out.push_back(static_cast<long long>(stage));
    }
    return out;
}

// A progress line on standard error, rewritten in place, only once the search
// has run long enough for anyone to wonder.
class ProgressLine {
public:
    void operator()(const ChainSearchProgress& progress)
    {
        const auto now = Clock::now();
        if (now - start_ < std::chrono::milliseconds(500) || now - last_ < std::chrono::milliseconds(200)) {
            return;
        }
        last_ = now;
        shown_ = true;
        std::fprintf(stderr, "\rsearching: clock ratio %zu of %zu, %zu pairs designed, best ripple %.4f dB ",
                     progress.ratiosVisited, progress.ratioCount, progress.pairsDesigned,
                     progress.bestRipple_dB);
        std::fflush(stderr);
    }
    void Finish() const
    {
        if (shown_) {
            std::fputc('\n', stderr);
        }
    }

private:
    Clock::time_point start_ = Clock::now();
    Clock::time_point last_{};
    bool shown_ = false;
};

}  // namespace

Command AddChainsCommand(CLI::App& app)
{
    struct Options {
        std::uint32_t rxRate = 0;
        std::uint32_t rxBandwidth = 0;
        std::uint32_t txRate = 0;
        std::uint32_t txBandwidth = 0;
        std::string goal = "maximize-bandwidth";
        double targetRipple_dB = 0.1;
        std::uint32_t minClock = ChainSearchRequest().minSystemClock_Hz;
        std::uint32_t maxClock = ChainSearchRequest().maxSystemClock_Hz;
    };
    auto options = std::make_shared<Options>();
    auto* command = app.add_subcommand("chains", "choose decimation and interpolation chains and the system clock "
                                                 "with the engine's modelling search");
    constexpr std::int64_t U32Max = 0xFFFFFFFF;
    AddNumberOption(*command, "--rx-rate", options->rxRate, "receive sampling rate (Hz)", 1, U32Max)->required();
    AddNumberOption(*command, "--rx-bandwidth", options->rxBandwidth, "receive RF bandwidth (Hz)", 1, U32Max)
        ->required();
    auto* txRate = AddNumberOption(*command, "--tx-rate", options->txRate, "transmit sampling rate (Hz)", 1, U32Max);
    auto* txBandwidth =
        AddNumberOption(*command, "--tx-bandwidth", options->txBandwidth, "transmit RF bandwidth (Hz)", 1, U32Max);
    txRate->needs(txBandwidth);
    txBandwidth->needs(txRate);
    command->add_option("--goal", options->goal, "design goal")
        ->check(CLI::IsMember({"maximize-bandwidth", "target-ripple", "minimize-ripple"}));
    AddNumberOption(*command, "--target-ripple", options->targetRipple_dB, "target passband ripple (dB)", 0.0, 100.0);
    AddNumberOption(*command, "--min-clock", options->minClock, "lowest system clock (Hz)", 1, U32Max);
    AddNumberOption(*command, "--max-clock", options->maxClock, "highest system clock (Hz)", 1, U32Max);
    return {command, [options] {
                if (options->minClock > options->maxClock) {
                    throw UsageError("--min-clock is above --max-clock");
                }
                ChainSearchRequest request;
                request.rxRate_Hz = options->rxRate;
                request.rxBandwidth_Hz = options->rxBandwidth;
                request.txRate_Hz = options->txRate;
                request.txBandwidth_Hz = options->txBandwidth;
                request.goal = Goal(options->goal);
                request.targetRipple_dB = options->targetRipple_dB;
                request.minSystemClock_Hz = options->minClock;
                request.maxSystemClock_Hz = options->maxClock;

                ProgressLine progress;
                const ChainSearchResult outcome =
                    ChainSearch::Run(request, [&progress](const ChainSearchProgress& p) { progress(p); });
                progress.Finish();

                json out = {{"status", outcome.status},
                            {"systemClockFrequency_Hz", outcome.systemClockFrequency_Hz},
                            {"rxChain", Chain(outcome.rxChain)},
                            {"rxRipple_dB", outcome.rxRipple_dB}};
                if (request.txRate_Hz != 0) {
                    out["txChain"] = Chain(outcome.txChain);
                    out["txRipple_dB"] = outcome.txRipple_dB;
                }
                std::cout << out.dump() << '\n';
                if (outcome.status != 0 || outcome.systemClockFrequency_Hz == 0.0) {
                    throw OperationFailed("no chains found for these rates and clock bounds (status " +
                                          std::to_string(outcome.status) + ")");
                }
                return ExitSuccess;
            }};
}

}  // namespace Veltrix::Marlin::Cli
