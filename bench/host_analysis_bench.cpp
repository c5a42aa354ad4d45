// The response command's two speed goals, side by side in one run: the
// default span of the LTE 20 MHz example against the design of the same
// blueprint (goal: at most 3x), and the CSV formatting of all 4 Mi grid
// points with to_chars against the printf formatting it replaced (goal: at
// most a quarter).

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "host/Analysis.h"
#include "host/ProfileArchitect.h"

namespace {

using namespace Veltrix::Marlin;

MarlinBlueprint Lte20()
{
    MarlinBlueprint blueprint;
    blueprint.Load(std::string(PLOVER_SOURCE_DIR) + "/examples/lte-20mhz-2t2r-tdd.json");
    return blueprint;
}

void Design_Lte20(benchmark::State& state)
{
    MarlinBlueprint blueprint = Lte20();
    for (auto _ : state) {
        Profile profile;
        DesignSummary summary;
        benchmark::DoNotOptimize(ProfileArchitect::Profile_Develop(profile, summary, blueprint));
    }
}
BENCHMARK(Design_Lte20)->Unit(benchmark::kMillisecond);

// What `plover response` does: the design, then the default span of RX1.
void DesignAndDefaultSpan_Lte20(benchmark::State& state)
{
    MarlinBlueprint blueprint = Lte20();
    for (auto _ : state) {
        Profile profile;
        DesignSummary summary;
        ProfileArchitect::Profile_Develop(profile, summary, blueprint);
        ChannelResponse response;
        benchmark::DoNotOptimize(Analysis::Response_Get(response, profile, PortRx, 1, ResponseSpan::Named("default")));
    }
}
BENCHMARK(DesignAndDefaultSpan_Lte20)->Unit(benchmark::kMillisecond);

// The whole grid as the response command evaluated it before spans.
void DesignAndWholeGrid_Lte20(benchmark::State& state)
{
    MarlinBlueprint blueprint = Lte20();
    for (auto _ : state) {
        Profile profile;
        DesignSummary summary;
        ProfileArchitect::Profile_Develop(profile, summary, blueprint);
        ResponseGrid grid;
        benchmark::DoNotOptimize(Analysis::ResponseGrid_Get(grid, profile, PortRx, 1));
    }
}
BENCHMARK(DesignAndWholeGrid_Lte20)->Unit(benchmark::kMillisecond);

const ResponseGrid& Grid()
{
    static const ResponseGrid grid = [] {
        MarlinBlueprint blueprint = Lte20();
        Profile profile;
        DesignSummary summary;
        ProfileArchitect::Profile_Develop(profile, summary, blueprint);
        ResponseGrid g;
        Analysis::ResponseGrid_Get(g, profile, PortRx, 1);
        return g;
    }();
    return grid;
}

// Both formatters fill a 1 MiB chunk and start again, as the command writes
// chunks, so neither pays for a 130 MB string.
void Csv_Printf(benchmark::State& state)
{
    const ResponseGrid& grid = Grid();
    std::string chunk;
    chunk.reserve((1 << 20) + 128);
    char line[96];
    for (auto _ : state) {
        for (std::size_t i = 0; i < grid.magnitude_dB.size(); ++i) {
            const int n = std::snprintf(line, sizeof line, "%.6f,%.6f\n", grid.step_Hz * static_cast<double>(i),
                                        grid.magnitude_dB[i]);
            chunk.append(line, static_cast<std::size_t>(n));
            if (chunk.size() >= (1 << 20)) {
                chunk.clear();
            }
        }
        benchmark::DoNotOptimize(chunk.data());
    }
}
BENCHMARK(Csv_Printf)->Unit(benchmark::kMillisecond);

void Csv_ToChars(benchmark::State& state)
{
    const ResponseGrid& grid = Grid();
    std::string chunk;
    chunk.reserve((1 << 20) + 128);
    char field[64];
    for (auto _ : state) {
        for (std::size_t i = 0; i < grid.magnitude_dB.size(); ++i) {
            auto end = std::to_chars(field, field + sizeof field, grid.step_Hz * static_cast<double>(i)).ptr;
            *end++ = ',';
            end = std::to_chars(end, field + sizeof field, grid.magnitude_dB[i]).ptr;
            *end++ = '\n';
            chunk.append(field, end);
            if (chunk.size() >= (1 << 20)) {
                chunk.clear();
            }
        }
        benchmark::DoNotOptimize(chunk.data());
    }
}
BENCHMARK(Csv_ToChars)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
