// The numeric engine's cases, compiled twice: against the engine
// (engine_bench.cpp) and against the previous implementation
// (reference/engine_bench_reference.cpp), whose names end in "/reference".
// The including file defines FloorPass, the write-only floor of the response,
// and ChainDb, the cascade's table in dB.
#pragma once

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "PathQualitySupport.h"
#include "engine/EquirippleDesign.h"
#include "engine/MagnitudeCompensation.h"
#include "engine/PathEvaluation.h"
#include "engine/PathStages.h"
#include "engine/ResponseEntries.h"

namespace {

using namespace Veltrix::Marlin::Native;

template <std::size_t Length>
void DesignLowPass(benchmark::State& state, double pass, double stop)
{
    for (auto _ : state) {
        auto design = Equiripple_Design<Length>(
            {0.0, pass, stop, 1.0}, [](double, int band) { return band == 0 ? 1.0 : 0.0; },
            [](double, int) { return 1.0; });
        benchmark::DoNotOptimize(design.result.taps.data());
    }
}

void BM_Equiripple21(benchmark::State& state) { DesignLowPass<21>(state, 0.4, 0.5); }
void BM_Equiripple13(benchmark::State& state) { DesignLowPass<13>(state, 0.3, 0.5); }
void BM_Equiripple127(benchmark::State& state) { DesignLowPass<127>(state, 0.2, 0.25); }

// The same problems on the grid of scipy.signal.remez's default density (16
// points per cosine term): bench/compare_scipy.py times both.
template <std::size_t Length>
void DesignLowPassDense(benchmark::State& state, double pass, double stop)
{
    constexpr double spacing = 1.0 / (16.0 * static_cast<double>((Length + 1) / 2));
    for (auto _ : state) {
        auto design = Equiripple_Design<Length>(
            {0.0, pass, stop, 1.0}, [](double, int band) { return band == 0 ? 1.0 : 0.0; },
            [](double, int) { return 1.0; }, spacing);
        benchmark::DoNotOptimize(design.result.taps.data());
    }
}

void BM_Equiripple21Dense(benchmark::State& state) { DesignLowPassDense<21>(state, 0.4, 0.5); }
void BM_Equiripple127Dense(benchmark::State& state) { DesignLowPassDense<127>(state, 0.2, 0.25); }

const PathQuality::Configuration& Config30() { return PathQuality::Configurations()[1]; }

void BM_RxMagComp30p72(benchmark::State& state)
{
    const auto stages = PathQuality::RxStages(Config30());
    const RxFilterRequest request = PathQuality::RxRequest(Config30(), stages.data(), true, true);
    std::int32_t taps21[21];
    std::int32_t taps13[13];
    std::uint8_t status = 0;
    for (auto _ : state) {
        Engine_RxMagComp(request, taps21, taps13, status);
        benchmark::DoNotOptimize(taps21);
    }
}

void BM_RxResponse30p72(benchmark::State& state)
{
    const auto stages = PathQuality::RxStages(Config30());
    const RxFilterRequest request = PathQuality::RxRequest(Config30(), stages.data(), true, true);
    std::vector<double> grid(ResponseGridPoints, 0.0);
    std::vector<double> response(ResponseGridPoints, 0.0);
    std::uint8_t status = 0;
    for (auto _ : state) {
        Engine_RxResponse(request, status, grid.data(), response.data());
        benchmark::DoNotOptimize(response.data());
    }
}

// The stage cascade of the 30.72 MHz Rx path with its compensation filter
// alone, 2^22 points, and 20 log10 of it: the problem bench/compare_scipy.py
// gives numpy's FFT pipeline.
std::vector<ResponseStage> ChainStages30p72()
{
    const auto stages = PathQuality::RxStages(Config30());
    const RxFilterRequest request = PathQuality::RxRequest(Config30(), stages.data(), true, true);
    const CompensationDesign design = RxCompensation_Design(request);
    const PathLayout layout = RxPath_Layout(request, 2);
    const ResponseStage compensation = ResponseStage_FromTaps(design.taps21, 1);
    return Path_WithCompensation(layout, &compensation, nullptr, nullptr);
}

void ChainDb(const std::vector<ResponseStage>& stages, std::vector<double>& table, std::vector<double>& dB,
             ResponseWorkspace& workspace);

void BM_ChainResponse30p72(benchmark::State& state)
{
    const std::vector<ResponseStage> stages = ChainStages30p72();
    std::vector<double> table(ResponseGridPoints);
    std::vector<double> dB(ResponseGridPoints);
    ResponseWorkspace workspace;
    for (auto _ : state) {
        ChainDb(stages, table, dB, workspace);
        benchmark::DoNotOptimize(dB.data());
    }
}

void FloorPass(std::vector<double>& grid, std::vector<double>& response, const std::vector<double>& magnitude,
               double step);

// The grid and 20 log10 of a precomputed magnitude: what any response of
// 2^22 points must at least write.
void BM_ResponseFloor(benchmark::State& state)
{
    std::vector<double> grid(ResponseGridPoints, 0.0);
    std::vector<double> response(ResponseGridPoints, 0.0);
    std::vector<double> magnitude(ResponseGridPoints);
    for (std::size_t k = 0; k < ResponseGridPoints; ++k) {
        magnitude[k] = 1.0 / (1.0 + static_cast<double>(k) * 1e-6);
    }
    const double step = 2211840000.0 / static_cast<double>(ResponseGridPoints);
    for (auto _ : state) {
        FloorPass(grid, response, magnitude, step);
        benchmark::DoNotOptimize(response.data());
        benchmark::DoNotOptimize(grid.data());
    }
}

const bool registered = [] {
    benchmark::RegisterBenchmark("BM_Equiripple21" PLOVER_BENCH_SUFFIX, BM_Equiripple21);
    benchmark::RegisterBenchmark("BM_Equiripple13" PLOVER_BENCH_SUFFIX, BM_Equiripple13);
    benchmark::RegisterBenchmark("BM_Equiripple127" PLOVER_BENCH_SUFFIX, BM_Equiripple127);
    benchmark::RegisterBenchmark("BM_Equiripple21Dense" PLOVER_BENCH_SUFFIX, BM_Equiripple21Dense);
    benchmark::RegisterBenchmark("BM_Equiripple127Dense" PLOVER_BENCH_SUFFIX, BM_Equiripple127Dense);
    benchmark::RegisterBenchmark("BM_RxMagComp30p72" PLOVER_BENCH_SUFFIX, BM_RxMagComp30p72)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ResponseFloor" PLOVER_BENCH_SUFFIX, BM_ResponseFloor)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_RxResponse30p72" PLOVER_BENCH_SUFFIX, BM_RxResponse30p72)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ChainResponse30p72" PLOVER_BENCH_SUFFIX, BM_ChainResponse30p72)
        ->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace
