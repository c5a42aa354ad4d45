// The response command's two speed goals, side by side in one run: the
// default span of the LTE 20 MHz example against the design of the same
// blueprint (goal: at most 3x), and the CSV formatting of all 4 Mi grid
// points with to_chars against the printf formatting it replaced (goal: at
// most a quarter). The first goal is about the commands a person runs, so
// the Tool_ cases run them as processes (their CPU time is the counter
// cpu_ms: wall time on a shared machine says more about the neighbours);
// the library cases beside them show where the time goes.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
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

#ifdef PLOVER_TOOL
double ChildrenCpu_ms()
{
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](const timeval& t) { return 1e3 * static_cast<double>(t.tv_sec) + 1e-3 * static_cast<double>(t.tv_usec); };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Runs the tool with these arguments, its output to /dev/null.
void RunTool(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    std::string tool = PLOVER_TOOL;
    argv.push_back(tool.data());
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("the tool failed: " + std::string(PLOVER_TOOL));
    }
}

void Tool(benchmark::State& state, const std::vector<std::string>& arguments)
{
    const double before = ChildrenCpu_ms();
    for (auto _ : state) {
        RunTool(arguments);
    }
    state.counters["cpu_ms"] =
        benchmark::Counter((ChildrenCpu_ms() - before) / static_cast<double>(state.iterations()));
}

std::string Scratch(const char* name)
{
    return (std::filesystem::temp_directory_path() / name).string();
}

void Tool_Design_Lte20(benchmark::State& state)
{
    Tool(state, {"design", std::string(PLOVER_SOURCE_DIR) + "/examples/lte-20mhz-2t2r-tdd.json", "-o",
                 Scratch("plover-bench.profile.json")});
}
BENCHMARK(Tool_Design_Lte20)->Unit(benchmark::kMillisecond)->UseRealTime();

void Tool_ResponseDefaultSpan_Lte20(benchmark::State& state)
{
    Tool(state, {"response", std::string(PLOVER_SOURCE_DIR) + "/examples/lte-20mhz-2t2r-tdd.json", "--port", "rx",
                 "--channel", "1", "-o", Scratch("plover-bench.csv")});
}
BENCHMARK(Tool_ResponseDefaultSpan_Lte20)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

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
