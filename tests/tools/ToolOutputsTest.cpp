// Every command that writes a file writes into a FIFO in place and through a
// link to its file, whether the tool or the library writes it (the other
// output cases are rows of tests/data/tools/cases.json).

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "ToolRunner.h"

namespace {

namespace fs = std::filesystem;

TEST(ToolOutputs, FifosStayFifosAndLinksAreWrittenThrough)
{
    TempFolder folder;
    const std::string blueprint = Example("lte-20mhz-2t2r-tdd");
    const std::vector<std::vector<std::string>> writers = {
        {"blueprint", blueprint},
        {"design", blueprint},
        {"response", blueprint, "--port", "rx", "--channel", "1", "--max-points", "16"},
        {"stream-settings", blueprint},
        {"stream-image", blueprint},
    };
    for (std::vector<std::string> args : writers) {
        const std::string fifo = folder.File("out.fifo");
        fs::remove(fifo);
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader, 0);
        ::fcntl(reader, F_SETPIPE_SZ, 1 << 20);  // room for the whole output, as nobody reads meanwhile
        args.insert(args.end(), {"-o", fifo});
        ToolResult r = RunTool(folder, args);
        std::string received(1 << 20, '\0');
        const ssize_t n = ::read(reader, received.data(), received.size());
        ::close(reader);
        EXPECT_EQ(r.status, 0) << args[0] << " into a FIFO\n" << r.err;
        EXPECT_GT(n, 0) << args[0];
        EXPECT_TRUE(fs::is_fifo(fifo)) << args[0];

        const std::string real = folder.File("real.out");
        WriteText(real, "old");
        ::chmod(real.c_str(), 0640);
        fs::remove(folder.File("link.out"));
        fs::create_symlink(real, folder.File("link.out"));
        args.back() = folder.File("link.out");
        r = RunTool(folder, args);
        EXPECT_EQ(r.status, 0) << args[0] << " through a link\n" << r.err;
        EXPECT_TRUE(fs::is_symlink(folder.File("link.out"))) << args[0];
        EXPECT_NE(ReadText(real), "old") << args[0];
        EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read)
            << args[0];
    }
}

}  // namespace
