// The one file writer: what each kind of target becomes, and what is left
// behind when a write fails or the process is stopped in the middle of one.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "support/Files.h"
#include "support/Throws.h"
#include "streams/AtomicFile.h"

namespace Veltrix::Runnel {
namespace {

namespace fs = std::filesystem;
using PloverTest::ReadText;
using PloverTest::TempFolder;

std::size_t TemporaryCount(const fs::path& folder)
{
    return std::count_if(fs::directory_iterator(folder), fs::directory_iterator(),
                         [](const auto& entry) { return entry.path().filename().string().find(".tmp") != std::string::npos; });
}

TEST(AtomicFile, EachKindOfTargetIsWrittenTheWayItMustBe)
{
    TempFolder folder;
    const fs::path dir = folder.path();

    // A link is written through to its file, which keeps its mode; the link stays.
    const fs::path real = folder.Write("sub/real.json", "old");
    ::chmod(real.c_str(), 0640);
    fs::create_symlink("sub/real.json", dir / "link.json");
    WriteFileAtomically((dir / "link.json").string(), "through the link");
    EXPECT_TRUE(fs::is_symlink(dir / "link.json"));
    EXPECT_EQ(ReadText(real), "through the link");
    EXPECT_EQ(fs::status(real).permissions(), fs::perms(0640));
    EXPECT_EQ(TemporaryCount(dir / "sub"), 0u);

    // A dangling link creates the file it names.
    fs::create_symlink(dir / "sub" / "new.json", dir / "dangling.json");
    WriteFileAtomically((dir / "dangling.json").string(), "created");
    EXPECT_EQ(ReadText(dir / "sub" / "new.json"), "created");

    // Temporary names already taken (planted links to a victim) are stepped
    // over, never opened: the victim keeps its bytes.
    const fs::path victim = folder.Write("victim", "untouched");
    for (unsigned n = 0; n < 60; ++n) {
        fs::create_symlink(victim, dir / TemporaryName("planted", std::to_string(::getpid()) + "_" + std::to_string(n)));
    }
    WriteFileAtomically((dir / "planted").string(), "planted target");
    EXPECT_EQ(ReadText(victim), "untouched");
    EXPECT_EQ(ReadText(dir / "planted"), "planted target");

    // A FIFO (like a device) is written in place, never replaced by a file.
    const fs::path fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    WriteFileAtomically(fifo.string(), "down the pipe");
    char received[64] = {};
    EXPECT_EQ(::read(reader, received, sizeof received), 13);
    ::close(reader);
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(fifo)));
    EXPECT_EQ(std::string(received), "down the pipe");

    // A name as long as the file system allows still gets a temporary name that fits.
    const std::string longName(NAME_MAX, 'n');
    WriteFileAtomically((dir / longName).string(), "long");
    EXPECT_EQ(ReadText(dir / longName), "long");
    EXPECT_EQ(TemporaryCount(dir), 60u);  // the planted ones only

    // A folder is refused and left as it was.
    fs::create_directory(dir / "folder");
    EXPECT_THROW(WriteFileAtomically((dir / "folder").string(), "x"), FileWriteError);
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    EXPECT_TRUE(fs::is_empty(dir / "folder"));
}

// A child rewrites a large file over and over and is stopped by each signal
// in turn; no temporary file may survive it. A child the signal does not stop
// gives up by itself, so that the test fails instead of hanging.
TEST(AtomicFile, StoppingSignalsLeaveNoTemporaryFile)
{
    TempFolder folder;
    const std::string target = (folder.path() / "big.bin").string();
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // From a terminal, not from nohup or a background job (which ignore some of them).
            for (int s : {SIGINT, SIGTERM, SIGHUP}) ::signal(s, SIG_DFL);
            RemoveTemporariesOnSignals();
            const std::string bytes(8 << 20, 'b');
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (std::chrono::steady_clock::now() < end) WriteFileAtomically(target, bytes);
            std::_Exit(1);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        ::kill(child, signal);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "signal " << signal;
        EXPECT_EQ(TemporaryCount(folder.path()), 0u) << "signal " << signal;
    }
}

}  // namespace
}  // namespace Veltrix::Runnel
