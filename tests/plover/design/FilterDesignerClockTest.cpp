// The common clock of the designed chains: its refusals, each with its own
// line (the successes are every example's), and the VCO resolution.

#include <gtest/gtest.h>

#include <string>

#include "DesignerTestSupport.h"
#include "support/Reports.h"
#include "support/Throws.h"
#include "plover/design/FilterDesignerClock.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;
using namespace DesignerTest;

namespace {

// A chain of the given stages 2.. (the rest 1), as a design leaves it.
template <typename Path>
void Chain(Path& path, std::initializer_list<unsigned char> stages)
{
    for (std::size_t stage = 2; stage <= 17; ++stage) path.stages[stage] = 1;
    std::size_t stage = 2;
    for (const unsigned char factor : stages) path.stages[stage++] = factor;
}

struct ClockFixture {
    MarlinBlueprint blueprint;
    std::array<ChannelDataPaths, 2> paths{};
    ClockFixture()
    {
        for (auto& path : paths) path.rxRipple_dB = path.txRipple_dB = -1.0;
    }
    void Lte1p4Rx1()
    {
        Enable(blueprint.rxChannel1, 1920000, 1008000);
        Chain(paths[0].rx, {3, 1, 1, 2, 2, 2, 2, 2});
    }
};

}  // namespace

TEST(SystemClock, FailuresReportTheirLines)
{
    struct Case {
        const char* name;
        void (*setup)(ClockFixture&);
        int line;
        const char* channel = "";  // the number the report names, if it names one
    };
    const Case cases[] = {
        {"undesigned Rx2", [](ClockFixture& f) { Enable(f.blueprint.rxChannel2, 1920000, 1008000); }, 366, "2"},
        {"undesigned Tx1", [](ClockFixture& f) { Enable(f.blueprint.txChannel1, 1920000, 1008000); }, 380, "1"},
        {"nothing designed or enabled", [](ClockFixture&) {}, 387},
        {"184.32 MHz against 180 MHz",
         [](ClockFixture& f) {
             f.Lte1p4Rx1();
             Enable(f.blueprint.txChannel1, 1875000, 1000000);
             Chain(f.paths[0].tx, {3, 1, 1, 2, 2, 2, 2, 2});
             f.paths[0].tx.stages[TxPath::PreprocessorStage] = 1;
         }, 400},
        {"a zero rate gives clock 0",
         [](ClockFixture& f) {
             Enable(f.blueprint.rxChannel1, 0, 0);
             Chain(f.paths[0].rx, {3});
         }, 405},
        // Stage bytes read from a file may hold anything: 255^16 must not wrap into range.
        {"Rx stage product beyond 32 bits",
         [](ClockFixture& f) {
             Enable(f.blueprint.rxChannel1, 1000, 500);
             f.paths[0].rx.stages.fill(255);
         }, 368, "1"},
        {"Tx rate times preprocessor beyond 32 bits",
         [](ClockFixture& f) {
             Enable(f.blueprint.txChannel2, 4000000000u, 500);
             Chain(f.paths[1].tx, {1, 1, 1});
             f.paths[1].tx.stages[TxPath::PreprocessorStage] = 2;
         }, 382, "2"},
        {"direct FM/FSK rate times 1920 beyond 32 bits",
         [](ClockFixture& f) {
             Enable(f.blueprint.txChannel1, 3000000, 500);
             Chain(f.paths[0].tx, {1});
             f.paths[0].tx.stages[TxPath::DirectFmFskStage] = 1;
         }, 382, "1"},
        // 2,214,363,136 x 255 x 255 = 33,525 x 2^32 + 184,320,000: in 32 bits
        // it would wrap onto exactly the Rx clock.
        {"product wrapping onto the Rx clock",
         [](ClockFixture& f) {
             f.Lte1p4Rx1();
             Enable(f.blueprint.txChannel1, 2214363136u, 1000000);
             Chain(f.paths[0].tx, {255, 255});
             f.paths[0].tx.stages[TxPath::PreprocessorStage] = 1;
         }, 382, "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClockFixture f;
        c.setup(f);
        ReportCapture capture;
        std::uint32_t clock = 7;
        EXPECT_EQ(SystemClock_Find(f.blueprint, f.paths, clock), -1);
        EXPECT_EQ(clock, 7u);
        const auto parts = *c.channel ? std::vector<std::string>{c.channel} : std::vector<std::string>{};
        EXPECT_EQ(capture.lines(), std::vector<std::string>{ReportLine("FilterDesigner", c.line, parts)});
    }
    ClockFixture f;
    f.Lte1p4Rx1();
    f.paths[0].rxRipple_dB = f.paths[0].txRipple_dB = 0.0;
    std::uint32_t clock = 0;
    EXPECT_EQ(ThrownText<std::runtime_error>([&] { SystemClock_Find(f.blueprint, f.paths, clock); }),
              ReportLine("FilterDesigner", 392));
}

TEST(VcoFrequency, MustBeAMultipleOfTenHertz)
{
    MarlinBlueprint blueprint;
    std::uint64_t vco = 0;
    EXPECT_EQ(VcoFrequency_Check(blueprint, Clock184_Hz, vco), 0);
    EXPECT_EQ(vco, 8847360000ULL);
    // 166,666,667 Hz x 48 = 8,000,000,016 Hz; halved 4,000,000,008 Hz: neither resolves.
    for (const ClockPllMode mode : {ClockPllMode::HIGH_PERFORMANCE, ClockPllMode::LOW_POWER}) {
        blueprint.clockPllMode = mode;
        ReportCapture capture;
        vco = 1;
        EXPECT_EQ(VcoFrequency_Check(blueprint, 166666667, vco), -1);
        EXPECT_EQ(vco, 1u);
        EXPECT_EQ(capture.lines(), std::vector<std::string>{ReportLine("FilterDesigner", 435)});
    }
}
