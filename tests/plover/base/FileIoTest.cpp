#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "plover/base/FileIo.h"
#include "support/Files.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;

namespace {

std::size_t EntryCount(const std::filesystem::path& folder)
{
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}

// Lowers the largest file size this process may write, so that writes fail
// the way a full disk makes them fail (root ignores permission bits).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit lowered = previous_;
        lowered.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit previous_{};
    void (*previousHandler_)(int);
};

}  // namespace

TEST(FileIo, WritesAndReplacesWholeFilesLeavingNoTemporaries)
{
    TempFolder folder;
    const std::string path = folder.File("out.bin");
    for (const std::string& bytes : {std::string("a\0b\nc", 5), std::string("short"), std::string()}) {
        ASSERT_TRUE(WriteFileAtomically(path, bytes));
        std::string read = "stale";
        ASSERT_TRUE(ReadFileWhole(path, read));
        EXPECT_EQ(read, bytes);
    }
    EXPECT_EQ(EntryCount(folder.path()), 1u);
}

TEST(FileIo, FailedWriteKeepsTheExistingFile)
{
    TempFolder folder;
    const std::string path = folder.File("keep.txt");
    const std::string original(100, 'o');
    ASSERT_TRUE(WriteFileAtomically(path, original));
    {
        FileSizeLimit limit(16);
        EXPECT_FALSE(WriteFileAtomically(path, std::string(4096, 'n')));
    }
    std::string read;
    ASSERT_TRUE(ReadFileWhole(path, read));
    EXPECT_EQ(read, original);
    EXPECT_EQ(EntryCount(folder.path()), 1u);
}

TEST(FileIo, UnwritableOrUnreadablePathsFailWithoutSideEffects)
{
    TempFolder folder;
    EXPECT_FALSE(WriteFileAtomically(folder.File("missing/out.txt"), "x"));
    EXPECT_FALSE(WriteFileAtomically(folder.path().string(), "x"));
    EXPECT_FALSE(WriteFileAtomically("", "x"));
    EXPECT_EQ(EntryCount(folder.path()), 0u);
    std::string out = "unchanged";
    EXPECT_FALSE(ReadFileWhole(folder.File("absent"), out));
    EXPECT_FALSE(ReadFileWhole(folder.path().string(), out));
    EXPECT_EQ(out, "unchanged");
}
