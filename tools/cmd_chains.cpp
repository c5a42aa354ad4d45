// plover chains: the engine's chain selection for given rates, with the
// modelling search, without a blueprint.

#include "Cli.h"

namespace Veltrix::Marlin::Cli {

Command AddChainsCommand(CLI::App& app)
{
    struct Options {
        std::uint32_t rxRate = 0;
        std::uint32_t rxBandwidth = 0;
        std::uint32_t txRate = 0;
        std::uint32_t txBandwidth = 0;
        std::string goal = "maximize-bandwidth";
        double targetRipple_dB = 0.1;
        std::uint32_t minClock = 160000000;
        std::uint32_t maxClock = 200000000;
    };
    auto options = std::make_shared<Options>();
    auto* command = app.add_subcommand("chains", "choose decimation and interpolation chains and the system clock");
    command->add_option("--rx-rate", options->rxRate, "receive sampling rate (Hz)")->required();
    command->add_option("--rx-bandwidth", options->rxBandwidth, "receive RF bandwidth (Hz)")->required();
    auto* txRate = command->add_option("--tx-rate", options->txRate, "transmit sampling rate (Hz)");
    auto* txBandwidth = command->add_option("--tx-bandwidth", options->txBandwidth, "transmit RF bandwidth (Hz)");
    txRate->needs(txBandwidth);
    txBandwidth->needs(txRate);
    command->add_option("--goal", options->goal, "design goal")
        ->check(CLI::IsMember({"maximize-bandwidth", "target-ripple", "minimize-ripple"}));
    command->add_option("--target-ripple", options->targetRipple_dB, "target passband ripple (dB)");
    command->add_option("--min-clock", options->minClock, "lowest system clock (Hz)");
    command->add_option("--max-clock", options->maxClock, "highest system clock (Hz)");
    return {command, [] () -> int { throw OperationFailed("chains is not available in this build"); }};
}

}  // namespace Veltrix::Marlin::Cli
