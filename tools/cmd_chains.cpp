// plover chains: the modelling search for given rates, without a blueprint:
// the chosen chains, the system clock and the ripples, and on request a
// blueprint pinned to them.

#include <nlohmann/json.hpp>

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>

#include "Cli.h"
#include "host/Analysis.h"

namespace Veltrix::Marlin::Cli {

namespace {

using json = nlohmann::json;
using Clock = std::chrono::steady_clock;

constexpr const char* ChainsDescription =
    "choose decimation and interpolation chains and the system clock with the modelling search alone.\n"
    "design tries its lookup tables first and searches only when no table serves the rates, so for a rate a "
    "table covers, design may pick another chain or clock than chains does; --blueprint-out writes a blueprint "
    "whose data paths are pinned to the chains found here, so that design reproduces them.";

json Chain(const std::vector<int>& chain)
{
    json out = json::array();
    for (int stage : chain) {
        out.push_back(stage);
    }
    return out;
}

// A progress line on standard error, rewritten in place, only when standard
// error is a terminal and once the search has run long enough for anyone to
// wonder.
class ProgressLine {
public:
    ProgressLine() : terminal_(::isatty(STDERR_FILENO) == 1) {}
    void operator()(const ChainsProgress& progress)
    {
        const auto now = Clock::now();
        if (!terminal_ || now - start_ < std::chrono::milliseconds(500) || now - last_ < std::chrono::milliseconds(200)) {
            return;
        }
        last_ = now;
        shown_ = true;
        std::fprintf(stderr, "\rsearching: clock ratio %zu of %zu, %zu pairs designed, best ripple %.4f dB ",
                     progress.ratiosVisited, progress.ratioCount, progress.pairsDesigned, progress.bestRipple_dB);
        std::fflush(stderr);
    }
    void Finish() const
    {
        if (shown_) {
            std::fputc('\n', stderr);
        }
    }

private:
    bool terminal_;
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
        double targetRipple_dB = std::nan("");
        std::uint32_t minClock = 160000000;
        std::uint32_t maxClock = 200000000;
        std::string blueprintOut;
    };
    auto options = std::make_shared<Options>();
    auto* command = app.add_subcommand("chains", ChainsDescription);
    // Whole Hz in 32 bits; the rules on what the chains can reach are the
    // search's, which names them (a bandwidth above its rate, a rate outside
    // the range, no clock in the bounds).
    constexpr std::int64_t U32Max = 0xFFFFFFFF;
    AddNumberOption(*command, "--rx-rate", options->rxRate, "receive sampling rate (Hz)", 1, U32Max)->required();
    AddNumberOption(*command, "--rx-bandwidth", options->rxBandwidth, "receive RF bandwidth (Hz)", 1, U32Max)
        ->required();
    auto* txRate = AddNumberOption(*command, "--tx-rate", options->txRate, "transmit sampling rate (Hz)", 1, U32Max);
    auto* txBandwidth =
        AddNumberOption(*command, "--tx-bandwidth", options->txBandwidth, "transmit RF bandwidth (Hz)", 1, U32Max);
    txRate->needs(txBandwidth);
    txBandwidth->needs(txRate);
    command->add_option("--goal", options->goal, "design goal (default maximize-bandwidth)")
        ->check(CLI::IsMember({"maximize-bandwidth", "target-ripple", "minimize-ripple"}));
    AddNumberOption(*command, "--target-ripple", options->targetRipple_dB,
                    "target passband ripple (dB); required by --goal target-ripple", 0.0, 100.0);
    AddNumberOption(*command, "--min-clock", options->minClock, "lowest system clock (Hz, default 160000000)", 1, U32Max);
    AddNumberOption(*command, "--max-clock", options->maxClock, "highest system clock (Hz, default 200000000)", 1, U32Max);
    command->add_option("--blueprint-out", options->blueprintOut,
                        "write a blueprint with Rx 1 (and Tx 1) at these rates, its data paths pinned to the "
                        "chains found, which design reproduces");
    return {command, [options] {
                ChainsRequest request;
                request.rxRate_Hz = options->rxRate;
                request.rxBandwidth_Hz = options->rxBandwidth;
                request.txRate_Hz = options->txRate;
                request.txBandwidth_Hz = options->txBandwidth;
                request.minClock_Hz = options->minClock;
                request.maxClock_Hz = options->maxClock;
                if (request.minClock_Hz > request.maxClock_Hz) {
                    throw UsageError("--min-clock is above --max-clock");
                }
                request.goal = options->goal == "target-ripple"     ? ChainsRequest::Goal::TargetRipple
                               : options->goal == "minimize-ripple" ? ChainsRequest::Goal::MinimizeRipple
                                                                    : ChainsRequest::Goal::MaximizeBandwidth;
                if (!std::isnan(options->targetRipple_dB)) {
                    request.targetRipple_dB = options->targetRipple_dB;
                }
                if (request.goal == ChainsRequest::Goal::TargetRipple && !request.targetRipple_dB) {
                    throw UsageError("--goal target-ripple needs --target-ripple DB");
                }

                ProgressLine progress;
                ChainsOutcome outcome;
                try {
                    outcome = Analysis::Chains_Find(
                        request, [&progress](const ChainsProgress& p) { progress(p); }, !options->blueprintOut.empty());
                } catch (const std::invalid_argument& e) {
                    throw UsageError(e.what());
                }
                progress.Finish();
                if (!outcome.found && !outcome.cause.empty() && outcome.rxChain.empty()) {
                    throw OperationFailed("no chains: " + outcome.cause);
                }

                json out = {{"status", outcome.status},
                            {"systemClockFrequency_Hz", outcome.systemClock_Hz},
                            {"rxChain", Chain(outcome.rxChain)},
                            {"rxRipple_dB", outcome.rxRipple_dB}};
                if (request.txRate_Hz != 0) {
                    out["txChain"] = Chain(outcome.txChain);
                    out["txRipple_dB"] = outcome.txRipple_dB;
                }
                if (!outcome.found) {
                    std::cout << out.dump() << '\n';
                    throw OperationFailed("no chains: " + outcome.cause);
                }
                if (!options->blueprintOut.empty()) {
                    if (!outcome.blueprint) {
                        std::cout << out.dump() << '\n';
                        throw OperationFailed("the chains were found, but no blueprint with them could be completed");
                    }
                    outcome.blueprint->Save(options->blueprintOut);
                    out["blueprint"] = options->blueprintOut;
                }
                std::cout << out.dump() << '\n';
                return ExitSuccess;
            }};
}

}  // namespace Veltrix::Marlin::Cli
