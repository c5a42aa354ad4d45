#include "plover/design/FilterDesignerClock.h"

#include <algorithm>
#include <limits>
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

std::uint64_t SaturatingProduct(std::uint64_t a, std::uint64_t b)
{
    constexpr auto Max = std::numeric_limits<std::uint64_t>::max();
    if (a != 0 && b > Max / a) return Max;
    return a * b;
}

template <typename Path>
std::uint64_t StageProduct(const Path& path)
{
    std::uint64_t product = 1;
    for (std::size_t stage = FirstOverrideStage; stage <= LastOverrideStage; ++stage) {
        product = SaturatingProduct(product, path.stages[stage]);
    }
    return product;
}

}  // namespace

std::uint64_t ChainClock_Hz(std::uint32_t samplingRate_Hz, const RxPath& path)
{
    return SaturatingProduct(samplingRate_Hz, StageProduct(path));
}

std::uint64_t ChainClock_Hz(std::uint32_t samplingRate_Hz, const TxPath& path)
{
    const std::uint64_t interpolation =
        path.stages[TxPath::DirectFmFskStage] != 0
            ? DirectFmFskInterpolation
            : SaturatingProduct(path.stages[TxPath::PreprocessorStage], StageProduct(path));
    return SaturatingProduct(samplingRate_Hz, interpolation);
}

std::int8_t SystemClock_Find(const MarlinBlueprint& blueprint, const std::array<ChannelDataPaths, 2>& paths,
                             std::uint32_t& systemClock_Hz)
{
    std::vector<std::uint32_t> candidates;
    for (std::size_t index = 0; index < 2; ++index) {
        const std::string k = std::to_string(index + 1);
        const RxChannelBlueprint& rx = blueprint.rxChannel(index);
        const RxPath& rxPath = paths[index].rx;
        if (rxPath.isDesigned()) {
            const std::uint64_t clock = ChainClock_Hz(rx.samplingRate_Hz(), rxPath);
            if (clock > ClockMax_Hz) {
                Report("System clock of Rx" + k + " is too large to represent", 368);
                return -1;
            }
            candidates.push_back(static_cast<std::uint32_t>(clock));
        } else if (rx.enabled) {
            Report("Interface rate for Rx" + k + " not supported", 366);
            return -1;
        }

        const TxChannelBlueprint& tx = blueprint.txChannel(index);
        const TxPath& txPath = paths[index].tx;
        if (txPath.isDesigned()) {
            const std::uint64_t clock = ChainClock_Hz(tx.samplingRate_Hz(), txPath);
            if (clock > ClockMax_Hz) {
                Report("System clock of Tx" + k + " is too large to represent", 382);
                return -1;
            }
            candidates.push_back(static_cast<std::uint32_t>(clock));
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
