#include "plover/design/FilterDesignerClock.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "plover/base/ErrorHandler.h"
#include "plover/base/SourceUnit.h"

namespace Veltrix::Marlin::Native {

namespace {

constexpr std::uint64_t ClockMax_Hz = std::numeric_limits<std::uint32_t>::max();

void Report(const std::string& text, int line)
{
    ErrorHandler::Message(LogLevel::ERROR, text, SourceUnit::FilterDesigner, line);
}

// rate x the factors, or nothing once the product leaves 32 bits: a data path
// read from a file may hold any bytes, and a wrapped product could land on a
// valid clock. Every partial product stays below 2^40, so nothing wraps here.
template <typename Path>
std::optional<std::uint32_t> CheckedClock(std::uint32_t rate_Hz, std::uint64_t extraFactor, const Path& path,
                                          bool includeStages)
{
    std::uint64_t clock = std::uint64_t{rate_Hz} * extraFactor;
    if (clock > ClockMax_Hz) {
        return std::nullopt;
    }
    if (includeStages) {
        for (std::size_t stage = FirstOverrideStage; stage <= LastOverrideStage; ++stage) {
            clock *= path.stages[stage];
            if (clock > ClockMax_Hz) {
                return std::nullopt;
            }
        }
    }
    return static_cast<std::uint32_t>(clock);
}

}  // namespace

std::int8_t SystemClock_Find(const MarlinBlueprint& blueprint, const std::array<ChannelDataPaths, 2>& paths,
                             std::uint32_t& systemClock_Hz)
{
    std::vector<std::uint32_t> candidates;
    for (std::size_t index = 0; index < 2; ++index) {
        const std::string k = std::to_string(index + 1);
        const RxChannelBlueprint& rx = blueprint.rxChannel(index);
        const RxPath& rxPath = paths[index].rx;
        if (rxPath.isDesigned()) {
            const auto clock = CheckedClock(rx.samplingRate_Hz(), 1, rxPath, true);
            if (!clock) {
                Report("System clock of Rx" + k + " is too large to represent", 368);
                return -1;
            }
            candidates.push_back(*clock);
        } else if (rx.enabled) {
            Report("Interface rate for Rx" + k + " not supported", 366);
            return -1;
        }

        const TxChannelBlueprint& tx = blueprint.txChannel(index);
        const TxPath& txPath = paths[index].tx;
        if (txPath.isDesigned()) {
            const bool directFmFsk = txPath.stages[TxPath::DirectFmFskStage] != 0;
            const auto clock =
                directFmFsk ? CheckedClock(tx.samplingRate_Hz(), DirectFmFskInterpolation, txPath, false)
                            : CheckedClock(tx.samplingRate_Hz(), txPath.stages[TxPath::PreprocessorStage], txPath, true);
            if (!clock) {
                Report("System clock of Tx" + k + " is too large to represent", 382);
                return -1;
            }
            candidates.push_back(*clock);
        } else if (tx.enabled) {
            Report("Interface rate for Tx" + k + " not supported", 380);
            return -1;
        }
    }

    if (candidates.empty()) {
        Report("No channels are enabled", 387);
        return -1;
    }
    if (paths[0].rxRipple_dB == 0.0 && paths[0].txRipple_dB == 0.0) {
        ErrorHandler::Error("Unknown error calculating system clock", SourceUnit::FilterDesigner, 392);
    }
    const auto [smallest, largest] = std::minmax_element(candidates.begin(), candidates.end());
    if (*smallest != *largest) {
        Report("No common system clock can be found", 400);
        return -1;
    }
    if (*smallest == 0) {
        Report("No common system clock can be found", 405);
        return -1;
    }
    systemClock_Hz = *smallest;
    return 0;
}

std::int8_t VcoFrequency_Check(const MarlinBlueprint& blueprint, std::uint32_t systemClock_Hz, std::uint64_t& vco_Hz)
{
    std::uint64_t vco = std::uint64_t{systemClock_Hz} * VcoSystemClockRatio;
    if (blueprint.clockPllMode == ClockPllMode::LOW_POWER) {
        vco /= 2;
    }
    if (vco % VcoResolution_Hz != 0) {
        Report("VCO frequency resolution unattainable.", 435);
        return -1;
    }
    vco_Hz = vco;
    return 0;
}

}  // namespace Veltrix::Marlin::Native
