// Where the tool's outputs go: every command's -o takes "-" for standard
// output, never replaces what is not a regular file, never overwrites its own
// input, writes through links, and a write that fails is status 2 with a line
// saying so, whatever the command.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "ToolRunner.h"

namespace {

namespace fs = std::filesystem;

const std::string kLte20 = Example("lte-20mhz-2t2r-tdd.json");

// Every command that writes a file, with its arguments before "-o".
struct Writer {
    const char* name;
    std::vector<std::string> args;
    const char* firstBytes;  // what its output starts with
};

std::vector<Writer> Writers(const std::string& blueprint)
{
    return {
        {"blueprint", {"blueprint", blueprint}, "{\n    \"adcRate\""},
        {"design", {"design", blueprint}, "{\n  \"clocks\""},
        {"response", {"response", blueprint, "--port", "rx", "--channel", "1"}, "frequency_Hz,magnitude_dB\n"},
        {"stream-settings", {"stream-settings", blueprint}, "{\n    \"Delay_1us\""},
        {"stream-image", {"stream-image", blueprint}, ""},
    };
}

std::size_t TemporaryFiles(const TempFolder& folder)
{
    std::size_t n = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder.path())) {
        n += entry.path().filename().string().find(".tmp") != std::string::npos ? 1 : 0;
    }
    return n;
}

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more)
{
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

TEST(ToolOutputs, EveryWriterTakesDashForStandardOutput)
{
    TempFolder folder;
    for (const Writer& w : Writers(kLte20)) {
        const ToolResult r = RunTool(folder, With(w.args, {"-o", "-"}));
        EXPECT_EQ(r.status, 0) << w.name << "\n" << r.err;
        EXPECT_EQ(r.out.rfind(w.firstBytes, 0), 0u) << w.name << ": " << r.out.substr(0, 40);
        EXPECT_GT(r.out.size(), 300u) << w.name;
        EXPECT_FALSE(fs::exists("-")) << w.name;
    }
}

TEST(ToolOutputs, TargetsThatAreNotPlainFilesAreNeverReplaced)
{
    TempFolder folder;
    const std::string blueprint = folder.File("bp.json");
    fs::copy_file(kLte20, blueprint);
    for (const Writer& w : Writers(blueprint)) {
        // Its own input: refused, the input untouched.
        const std::string before = ReadText(blueprint);
        ToolResult r = RunTool(folder, With(w.args, {"-o", blueprint}));
        EXPECT_EQ(r.status, 2) << w.name << " over its input";
        EXPECT_NE(r.err.find("is the input file"), std::string::npos) << w.name << "\n" << r.err;
        EXPECT_EQ(ReadText(blueprint), before) << w.name;

        // A folder: refused and kept.
        fs::create_directories(folder.File("out.d"));
        r = RunTool(folder, With(w.args, {"-o", folder.File("out.d")}));
        EXPECT_EQ(r.status, 2) << w.name << " into a folder\n" << r.err;
        EXPECT_TRUE(fs::is_directory(folder.File("out.d"))) << w.name;

        // A FIFO: written in place, still a FIFO.
        const std::string fifo = folder.File("out.fifo");
        fs::remove(fifo);
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader, 0);
        ::fcntl(reader, F_SETPIPE_SZ, 1 << 20);  // room for the whole output, as nobody reads meanwhile
        r = RunTool(folder, With(With(w.args, {"-o", fifo}),
                                 std::string(w.name) == "response" ? std::vector<std::string>{"--max-points", "16"}
                                                                   : std::vector<std::string>{}));
        std::string received(1 << 20, '\0');
        const ssize_t n = ::read(reader, received.data(), received.size());
        ::close(reader);
        EXPECT_EQ(r.status, 0) << w.name << " into a FIFO\n" << r.err;
        EXPECT_GT(n, 0) << w.name;
        EXPECT_TRUE(fs::is_fifo(fifo)) << w.name;

        // A link: its file is replaced, the link and the file's mode stay.
        const std::string real = folder.File("real.out");
        WriteText(real, "old");
        ::chmod(real.c_str(), 0640);
        fs::remove(folder.File("link.out"));
        fs::create_symlink(real, folder.File("link.out"));
        r = RunTool(folder, With(w.args, {"-o", folder.File("link.out")}));
        EXPECT_EQ(r.status, 0) << w.name << " through a link\n" << r.err;
        EXPECT_TRUE(fs::is_symlink(folder.File("link.out"))) << w.name;
        EXPECT_NE(ReadText(real), "old") << w.name;
        EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read)
            << w.name;
    }
}

TEST(ToolOutputs, FailedWritesAreStatusTwoWithALine)
{
    TempFolder folder;
    for (const Writer& w : Writers(kLte20)) {
        // A folder that does not exist: the library's own line, if any, then the tool's.
        const ToolResult r = RunTool(folder, With(w.args, {"-o", folder.File("no/such/out")}));
        EXPECT_EQ(r.status, 2) << w.name << "\n" << r.err;
        const auto lines = r.ErrLines();
        ASSERT_FALSE(lines.empty()) << w.name;
        EXPECT_EQ(lines.back().rfind("plover: error: cannot write", 0), 0u) << w.name << "\n" << r.err;
        EXPECT_EQ(TemporaryFiles(folder), 0u);

        // A full standard output.
        const ToolResult full = RunTool(folder, With(w.args, {"-o", "-"}), "/dev/full");
        EXPECT_EQ(full.status, 2) << w.name << " to a full disk\n" << full.err;
        EXPECT_NE(full.err.find("plover: error: cannot write"), std::string::npos) << w.name << "\n" << full.err;
    }
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"inspect", kLte20}, {"design", kLte20, "-o", folder.File("p.json")}, {"blueprint", "-o", "-"}}) {
        const ToolResult r = RunTool(folder, args, "/dev/full");
        EXPECT_EQ(r.status, 2) << args[0] << "\n" << r.err;
        EXPECT_NE(r.err.find("cannot write to standard output"), std::string::npos) << args[0] << "\n" << r.err;
    }
}

}  // namespace
