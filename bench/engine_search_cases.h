// The modelling search cases, compiled twice: against the engine
// (engine_search_bench.cpp) and against the previous implementation
// (reference/engine_search_bench_reference.cpp), whose names end in
// "/reference". The default goal for a rate no table covers, and the
// minimising goal over all 7,678 clock ratios.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>

#include "engine/ChainDesign.h"
#include "engine/ModelingSearch.h"

namespace {

using namespace Veltrix::Marlin::Native;

ChannelDesignRecord RxTx(std::uint32_t rate_Hz, std::uint32_t bandwidth_Hz)
{
    ChannelDesignRecord r;
    r.rxEnabled = r.txEnabled = 1;
    r.rxSampleRate_Hz = r.txSampleRate_Hz = rate_Hz;
    r.rxBandwidth_Hz = r.txBandwidth_Hz = bandwidth_Hz;
    return r;
}

// Through Engine_DesignChains with the default criteria and the search
// switched on: both lookups run and fail first.
void DefaultGoal(benchmark::State& state, std::uint32_t rate_Hz, std::uint32_t bandwidth_Hz)
{
    DesignCriteria lookupsOnly;
    ChannelDesignOutput a, b;
    if (Engine_DesignChains(lookupsOnly, RxTx(rate_Hz, bandwidth_Hz), {}, a, b) == 0) {
        state.SkipWithError("a table covers this rate");
        return;
    }
    DesignCriteria criteria;
    criteria.useModelingSearch(true);
    for (auto _ : state) {
        ChannelDesignOutput first, second;
        const std::int8_t status = Engine_DesignChains(criteria, RxTx(rate_Hz, bandwidth_Hz), {}, first, second);
        benchmark::DoNotOptimize(first);
        if (status != 0) state.SkipWithError("search failed");
    }
}

void MinimizeAllRatios(benchmark::State& state, std::uint32_t rate_Hz, std::uint32_t bandwidth_Hz)
{
    DesignCriteria criteria;
    criteria.useModelingSearch(true);
    criteria.searchMode(2);
    ModelingSearchOutcome outcome;
    for (auto _ : state) {
        outcome = Engine_ModelingSearch(criteria, RxTx(rate_Hz, bandwidth_Hz));
        benchmark::DoNotOptimize(outcome);
    }
    state.counters["feasibleClocks"] = static_cast<double>(outcome.totals.feasibleClocks);
    state.counters["pairs"] = static_cast<double>(outcome.totals.pairsDesigned);
    state.counters["candidates"] = static_cast<double>(outcome.totals.candidatesScored);
    state.counters["worstRipple_dB"] = std::max(outcome.rxRipple_dB, outcome.txRipple_dB);
}

// Narrowband (below 1.25 MHz) and wideband rates that neither table serves at these bandwidths.
const bool registered = [] {
    benchmark::RegisterBenchmark("DefaultGoal/nb_1234567" PLOVER_BENCH_SUFFIX, DefaultGoal, 1234567, 1150000)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("DefaultGoal/wb_29000000" PLOVER_BENCH_SUFFIX, DefaultGoal, 29000000, 26000000)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("DefaultGoal/wb_2000001" PLOVER_BENCH_SUFFIX, DefaultGoal, 2000001, 1900000)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("MinimizeAllRatios/nb_1234567" PLOVER_BENCH_SUFFIX, MinimizeAllRatios, 1234567, 1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
    benchmark::RegisterBenchmark("MinimizeAllRatios/wb_1300000" PLOVER_BENCH_SUFFIX, MinimizeAllRatios, 1300000, 1040000)->Unit(benchmark::kMillisecond)->Iterations(1);
    benchmark::RegisterBenchmark("MinimizeAllRatios/wb_2000001" PLOVER_BENCH_SUFFIX, MinimizeAllRatios, 2000001, 1600000)->Unit(benchmark::kMillisecond)->Iterations(1);
    benchmark::RegisterBenchmark("MinimizeAllRatios/nb_250001" PLOVER_BENCH_SUFFIX, MinimizeAllRatios, 250001, 200000)->Unit(benchmark::kMillisecond)->Iterations(1);
    benchmark::RegisterBenchmark("MinimizeAllRatios/nb_25000" PLOVER_BENCH_SUFFIX, MinimizeAllRatios, 25000, 20000)->Unit(benchmark::kMillisecond)->Iterations(1);
    return true;
}();

}  // namespace
