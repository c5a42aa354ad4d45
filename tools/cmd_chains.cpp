// plover chains: the modelling search for given rates, without a blueprint:
// the chosen chains, the system clock and the ripples, and on request a
// blueprint pinned to them.

#include <nlohmann/json.hpp>

#include <unistd.h>

#include <charconv>
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

// A rate or clock in whole Hz; the parser's own "Could not convert" says too
// little about what is wanted.
std::uint32_t Hertz(const std::string& option, const std::string& text)
{
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value == 0 || value > 0xFFFFFFFFu) {
        throw UsageError(option + " needs a whole number of Hz from 1 to 4294967295, not '" + text + "'");
    }
    return static_cast<std::uint32_t>(value);
}

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
        std::string rxRate;
        std::string rxBandwidth;
        std::string txRate;
        std::string txBandwidth;
        std::string goal = "maximize-bandwidth";
        double targetRipple_dB = std::nan("");
        std::string minClock = "160000000";
        std::string maxClock = "200000000";
        std::string blueprintOut;
    };
    auto options = std::make_shared<Options>();
    auto* command = app.add_subcommand("chains", ChainsDescription);
    command->add_option("--rx-rate", options->rxRate, "receive sampling rate (Hz)")->required();
    command->add_option("--rx-bandwidth", options->rxBandwidth, "receive RF bandwidth (Hz)")->required();
    auto* txRate = command->add_option("--tx-rate", options->txRate, "transmit sampling rate (Hz)");
    auto* txBandwidth = command->add_option("--tx-bandwidth", options->txBandwidth, "transmit RF bandwidth (Hz)");
    txRate->needs(txBandwidth);
    txBandwidth->needs(txRate);
    command->add_option("--goal", options->goal, "design goal (default maximize-bandwidth)")
        ->check(CLI::IsMember({"maximize-bandwidth", "target-ripple", "minimize-ripple"}));
    command->add_option("--target-ripple", options->targetRipple_dB,
                        "target passband ripple (dB, above 0 up to 100); required by --goal target-ripple")
        ->check(CLI::Range(0.0, 100.0));
    command->add_option("--min-clock", options->minClock, "lowest system clock (Hz, default 160000000)");
    command->add_option("--max-clock", options->maxClock, "highest system clock (Hz, default 200000000)");
    command->add_option("--blueprint-out", options->blueprintOut,
                        "write a blueprint with Rx 1 (and Tx 1) at these rates, its data paths pinned to the "
                        "chains found, which design reproduces");
    return {command, [options] {
                ChainsRequest request;
                request.rxRate_Hz = Hertz("--rx-rate", options->rxRate);
                request.rxBandwidth_Hz = Hertz("--rx-bandwidth", options->rxBandwidth);
                if (!options->txRate.empty()) {
                    request.txRate_Hz = Hertz("--tx-rate", options->txRate);
                    request.txBandwidth_Hz = Hertz("--tx-bandwidth", options->txBandwidth);
                }
                request.minClock_Hz = Hertz("--min-clock", options->minClock);
                request.maxClock_Hz = Hertz("--max-clock", options->maxClock);
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
