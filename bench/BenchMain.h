// main of the engine benchmark programs. --vector-target=NAME runs the
// kernels on that instruction set (SCALAR is the baseline x86-64 build, SSE4,
// AVX2, AVX3 is AVX-512) instead of the best the machine has; the one used is
// printed in the context ("vector_target"). A program may define
// PLOVER_BENCH_DUMP, a function taking the folder given with --dump.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/VectorKernels.h"

int main(int argc, char** argv)
{
    using namespace Veltrix::Marlin::Native;
    const char* prefix = "--vector-target=";
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], prefix, std::strlen(prefix)) == 0) {
            const std::string name = argv[i] + std::strlen(prefix);
            if (!VectorTarget_Force(name)) {
                std::string supported;
                for (const std::string& target : VectorTargets_Supported()) supported += " " + target;
                std::fprintf(stderr, "unsupported vector target '%s'; this machine runs:%s\n", name.c_str(),
                             supported.c_str());
                return 2;
            }
            continue;
        }
#ifdef PLOVER_BENCH_DUMP
        if (std::strcmp(argv[i], "--dump") == 0 && i + 1 < argc) {
            return PLOVER_BENCH_DUMP(argv[i + 1]);
        }
#endif
        argv[kept++] = argv[i];
    }
    argc = kept;
    benchmark::AddCustomContext("vector_target", VectorTarget_Name());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
