// Designs on different objects in different threads give what they give one
// after another: the same profile files, responses and report lines, each
// call's reports in its own scope, and the engine's printed lines all reach
// the sink. Built and run under ThreadSanitizer by CI (scripts/tsan.sh).

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "host/ErrorHandler.h"
#include "host/ProfileArchitect.h"
#include "support/Files.h"

using PloverTest::TempFolder;

namespace {

using namespace Veltrix::Marlin;

struct Job {
    const char* example;
    std::uint32_t rxRate_Hz;  // 0 keeps the example's rate
};

// Two of them fail, so their scopes hold ERROR lines another thread must not see.
const Job Jobs[] = {
    {"lte-20mhz-2t2r-tdd", 0},
    {"dmr-12p5khz-24ksps", 0},
    {"tetra-25khz-144ksps", 0},
    {"lte-5mhz-2t2r-tdd", 12345677},
    {"low-rate-pair-96k-144k-rx", 0},
    {"lte-10mhz-1t1r-fdd", 7},
};

struct Outcome {
    int status = 0;
    std::string profileFile;
    std::vector<double> response;
    std::vector<std::string> reports;  // the whole call's scope
    std::vector<std::string> inner;    // the nested scope around the response
    std::size_t errorCount = 0;

    bool operator==(const Outcome&) const = default;
};

Outcome RunJob(const Job& job, const TempFolder& folder, int slot)
{
    Outcome outcome;
    ReportScope scope;
    MarlinBlueprint blueprint;
    blueprint.Load(PloverTest::ExamplePath(job.example));
    if (job.rxRate_Hz != 0) blueprint.rxChannel1().samplingRate_Hz(job.rxRate_Hz);
    Profile profile;
    DesignSummary summary;
    outcome.status = ProfileArchitect::Profile_Develop(profile, summary, blueprint);
    if (outcome.status == 0) {
        const std::string path = folder.File(std::string(job.example) + "." + std::to_string(slot) + ".json");
        EXPECT_EQ(profile.Save(path), 0);
        outcome.profileFile = PloverTest::ReadText(path);
        ReportScope inner;
        double start_Hz = 0, step_Hz = 0;
        outcome.status = profile.FrequencyResponse_Get(outcome.response, start_Hz, step_Hz, PortRx, 1);
        // Every point is compared; keeping a stride of them keeps the copies small.
        std::vector<double> kept;
        for (std::size_t i = 0; i < outcome.response.size(); i += 4099) kept.push_back(outcome.response[i]);
        kept.insert(kept.end(), {start_Hz, step_Hz});
        outcome.response = std::move(kept);
        outcome.inner = inner.Messages();
    }
    outcome.reports = scope.Messages();
    outcome.errorCount = scope.ErrorCount();
    return outcome;
}

std::mutex printedMutex;
std::vector<std::string> printed;  // what the engine printed through the sink

std::vector<std::string> TakePrinted()
{
    const std::lock_guard lock(printedMutex);
    std::vector<std::string> out = std::exchange(printed, {});
    std::sort(out.begin(), out.end());
    return out;
}

TEST(ParallelDesign, ThreadsGiveTheSequentialResultsAndKeepTheirOwnReports)
{
    constexpr std::size_t JobCount = std::size(Jobs);
    TempFolder folder;
    ErrorHandler::PrintSink_Set([](const std::string& text) {
        const std::lock_guard lock(printedMutex);
        printed.push_back(text);
    });

    std::vector<Outcome> sequential;
    for (const Job& job : Jobs) sequential.push_back(RunJob(job, folder, 0));
    const std::vector<std::string> sequentialPrints = TakePrinted();

    // The failing jobs must have something of their own to keep apart.
    EXPECT_NE(sequential[3].status, 0);
    EXPECT_GT(sequential[3].errorCount, 0u);
    EXPECT_NE(sequential[5].status, 0);
    EXPECT_EQ(sequential[0].status, 0);
    EXPECT_FALSE(sequential[0].response.empty());

    // Each thread runs every job, starting at a different one, so different
    // designs overlap in time.
    constexpr int ThreadCount = 3;
    std::vector<std::vector<Outcome>> parallel(ThreadCount, std::vector<Outcome>(JobCount));
    std::vector<std::thread> threads;
    for (int t = 0; t < ThreadCount; ++t) {
        threads.emplace_back([t, &folder, &parallel] {
            for (std::size_t k = 0; k < JobCount; ++k) {
                const std::size_t j = (k + 2 * static_cast<std::size_t>(t)) % JobCount;
                parallel[static_cast<std::size_t>(t)][j] = RunJob(Jobs[j], folder, t + 1);
            }
        });
    }
    for (auto& thread : threads) thread.join();

    for (int t = 0; t < ThreadCount; ++t) {
        for (std::size_t j = 0; j < JobCount; ++j) {
            EXPECT_TRUE(parallel[static_cast<std::size_t>(t)][j] == sequential[j])
                << "thread " << t << ", " << Jobs[j].example;
        }
    }
    std::vector<std::string> expectedPrints;
    for (int t = 0; t < ThreadCount; ++t) expectedPrints.insert(expectedPrints.end(), sequentialPrints.begin(), sequentialPrints.end());
    std::sort(expectedPrints.begin(), expectedPrints.end());
    EXPECT_EQ(TakePrinted(), expectedPrints);
    ErrorHandler::PrintSink_Set(nullptr);
}

void DesignFailing()
{
    MarlinBlueprint blueprint;
    blueprint.rxChannel1().samplingRate_Hz(7);
    Profile profile;
    DesignSummary summary;
    EXPECT_NE(ProfileArchitect::Profile_Develop(profile, summary, blueprint), 0);
}

TEST(ParallelDesign, ScopesNestAndClearLeavesThemAlone)
{
    ReportScope outer;
    {
        ReportScope inner;
        DesignFailing();
        EXPECT_FALSE(inner.Messages().empty());
        EXPECT_EQ(inner.Messages(), outer.Messages());
        ErrorHandler::Clear();
        EXPECT_TRUE(ErrorHandler::Messages().empty());
        EXPECT_EQ(ErrorHandler::ErrorCount(), 0u);
        EXPECT_FALSE(inner.Messages().empty());
    }
    const std::size_t before = outer.Messages().size();
    std::thread(DesignFailing).join();
    EXPECT_EQ(outer.Messages().size(), before);
    EXPECT_FALSE(ErrorHandler::Messages().empty());
}

}  // namespace
