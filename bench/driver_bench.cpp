// Profile development and frequency response of the LTE 20 MHz 2T2R TDD
// example blueprint. Compare the response with the engine's response floor
// (bench_engine_bench, BM_ResponseFloor).

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "plover/develop/ProfileBuilder.h"

namespace {

using namespace Veltrix::Marlin::Native;

MarlinBlueprint Lte20()
{
    MarlinBlueprint blueprint;
    blueprint.Load(std::string(PLOVER_SOURCE_DIR) + "/examples/lte-20mhz-2t2r-tdd.json");
    return blueprint;
}

void BM_ProfileDevelopLte20(benchmark::State& state)
{
    const MarlinBlueprint blueprint = Lte20();
    for (auto _ : state) {
        Profile profile;
        DesignSummary summary;
        ProfileArchitect architect;
        const auto status = architect.Profile_Develop(profile, summary, blueprint);
        if (status != 0) state.SkipWithError("development failed");
        benchmark::DoNotOptimize(profile.systemClockFrequency_Hz);
    }
}

void BM_FrequencyResponseRx1Lte20(benchmark::State& state)
{
    Profile profile;
    DesignSummary summary;
    ProfileArchitect architect;
    if (architect.Profile_Develop(profile, summary, Lte20()) != 0) state.SkipWithError("development failed");
    std::vector<double> response;
    double initial = 0.0;
    double delta = 0.0;
    for (auto _ : state) {
        profile.FrequencyResponse_Get(response, initial, delta, 0, 1);
        benchmark::DoNotOptimize(response.data());
    }
}

}  // namespace

BENCHMARK(BM_ProfileDevelopLte20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrequencyResponseRx1Lte20)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
