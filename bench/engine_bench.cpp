// Speed of the numeric engine: equiripple designs of the fixed sizes, the
// 30.72 MHz magnitude compensation, and the 2^22-point Rx response against a
// floor that only writes the grid and 20 log10 of a precomputed array. Each
// case also runs against the previous implementation ("/reference");
// bench/ratios.py prints the ratios.
#include <cstdio>
#include <string>

#include "engine/VectorKernels.h"
#include "engine_cases.h"

namespace {

void FloorPass(std::vector<double>& grid, std::vector<double>& response, const std::vector<double>& magnitude,
               double step)
{
    Kernel_Ramp(step, 0, grid.size(), grid.data());
    Kernel_MagnitudeDb(magnitude.data(), magnitude.size(), response.data());
}

void ChainDb(const std::vector<ResponseStage>& stages, std::vector<double>& table, std::vector<double>& dB,
             ResponseWorkspace& workspace)
{
    ChainResponse_Tabulate(stages, table.size(), table, {}, workspace);
    Kernel_MagnitudeDb(table.data(), table.size(), dB.data());
}

// --dump FOLDER: the problems of bench/compare_scipy.py as plover solves them
// (chain.json: the cascade's stages; chain-dB.f64: its dB on the 2^22-point
// grid; taps-21.json, taps-127.json: the dense-grid designs), then exit.
int Dump(const std::string& folder)
{
    const std::vector<ResponseStage> stages = ChainStages30p72();
    FILE* out = std::fopen((folder + "/chain.json").c_str(), "w");
    if (out == nullptr) return 2;
    std::fprintf(out, "{\"points\": %zu, \"stages\": [", ResponseGridPoints);
    for (std::size_t s = 0; s < stages.size(); ++s) {
        const char* kind = stages[s].kind == ResponseStage::Kind::Cic        ? "cic"
                           : stages[s].kind == ResponseStage::Kind::HalfBand ? "halfband"
                                                                             : "fir";
        std::fprintf(out, "%s{\"kind\": \"%s\", \"factor\": %d, \"cicLength\": %d, \"c\": [", s ? ", " : "", kind,
                     stages[s].factor, stages[s].cicLength);
        for (std::size_t i = 0; i < stages[s].c.size(); ++i) std::fprintf(out, "%s%.17g", i ? ", " : "", stages[s].c[i]);
        std::fprintf(out, "]}");
    }
    std::fprintf(out, "]}\n");
    std::fclose(out);
    std::vector<double> table(ResponseGridPoints);
    std::vector<double> dB(ResponseGridPoints);
    ResponseWorkspace workspace;
    ChainDb(stages, table, dB, workspace);
    out = std::fopen((folder + "/chain-dB.f64").c_str(), "wb");
    if (out == nullptr) return 2;
    std::fwrite(dB.data(), sizeof(double), dB.size(), out);
    std::fclose(out);
    const auto taps = [&](const char* name, const auto& result) {
        FILE* file = std::fopen((folder + "/" + name).c_str(), "w");
        if (file == nullptr) return;
        std::fprintf(file, "[");
        for (std::size_t i = 0; i < result.taps.size(); ++i) std::fprintf(file, "%s%.17g", i ? ", " : "", result.taps[i]);
        std::fprintf(file, "]\n");
        std::fclose(file);
    };
    const auto desired = [](double, int band) { return band == 0 ? 1.0 : 0.0; };
    const auto weight = [](double, int) { return 1.0; };
    taps("taps-21.json", Equiripple_Design<21>({0.0, 0.4, 0.5, 1.0}, desired, weight, 1.0 / (16.0 * 11.0)).result);
    taps("taps-127.json", Equiripple_Design<127>({0.0, 0.2, 0.25, 1.0}, desired, weight, 1.0 / (16.0 * 64.0)).result);
    return 0;
}

}  // namespace

#define PLOVER_BENCH_DUMP Dump
#include "BenchMain.h"
