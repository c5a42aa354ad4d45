// The stream commands on damaged resources and images: every fault is refused
// with the file, the line or block, and the value, and nothing is written.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "ToolRunner.h"

namespace {

namespace fs = std::filesystem;

const std::string kBlueprint = Example("lte-10mhz-2t2r-tdd.json");

// A copy of the bundled resources, to damage.
struct Resources {
    TempFolder folder;
    fs::path marlin = folder.path() / "asm" / "marlin";

    Resources()
    {
        fs::copy(fs::path(PLOVER_SOURCE_DIR) / "resources" / "asm", folder.path() / "asm",
                 fs::copy_options::recursive);
    }
    std::string TopLevelFolder() const { return (marlin / "top_level").string(); }
    std::string TopLevelFile() const { return (marlin / "top_level" / "top_level.txt").string(); }
    // Replaces the first occurrence of from in the file.
    void Edit(const fs::path& file, const std::string& from, const std::string& to) const
    {
        std::string text = ReadText(file.string());
        const auto at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        WriteText(file.string(), text.replace(at, from.size(), to));
    }
};

TEST(ToolStreams, DamagedStreamSourcesAreRefusedWithFileLineAndValue)
{
    struct Case {
        std::function<void(Resources&)> damage;
        std::string error;  // after "plover: error: "; {top} and {tx1} stand for the two files
    };
    const std::string tx1Line14 = "tx1 stream_image_tx1.txt";
    const std::vector<Case> cases = {
        {[](Resources& r) { r.Edit(r.marlin / "stream_image_tx1.txt", "wait $Delay_1us$", "wait 10000"); },
         "'{tx1}' line 13: Value out of range in instruction: wait 10000 (10000 is out of range 0..FFFF)"},
        {[](Resources& r) { r.Edit(r.marlin / "stream_image_tx1.txt", "call 2", "call 102"); },
         "'{tx1}' line 17: Value out of range in instruction: call 102 (102 is out of range 0..FF)"},
        {[](Resources& r) { r.Edit(r.marlin / "stream_image_tx1.txt", "stream 2", "stream 10002"); },
         "'{tx1}' line 28: Value out of range in instruction: stream 10002 (10002 is out of range 0..FF)"},
        {[](Resources& r) { r.Edit(r.marlin / "stream_image_tx1.txt", "wrd r2 00", "wrd r2 1FF"); },
         "'{tx1}' line 37: Value out of range in instruction: wrd r2 1FF (1ff is out of range 0..FF)"},
        {[&](Resources& r) { r.Edit(r.TopLevelFile(), tx1Line14, "tx1 top_level"); },
         "'{top}' line 14: processor tx1: '{marlin}/top_level' is a folder, not a file"},
        {[&](Resources& r) { r.Edit(r.TopLevelFile(), tx1Line14, "tx1 top_level/top_level.txt"); },
         "'{top}' line 14: stream source 'top_level/top_level.txt' of processor tx1 is the top-level file itself"},
        {[&](Resources& r) {
             WriteText((r.folder.path() / "outside.txt").string(), "stream 0\nreturn\n");
             r.Edit(r.TopLevelFile(), tx1Line14, "tx1 ../../outside.txt");
         },
         "'{top}' line 14: stream source '../../outside.txt' of processor tx1 lies outside the resource folder "
         "'{asm}'"},
        {[&](Resources& r) { r.Edit(r.TopLevelFile(), tx1Line14, "tx1 /dev/zero"); },
         "'{top}' line 14: stream source '/dev/zero' of processor tx1 lies outside the resource folder '{asm}'"},
    };
    for (const Case& c : cases) {
        Resources r;
        c.damage(r);
        const std::string out = r.folder.File("image.bin");
        const ToolResult result =
            RunTool(r.folder, {"stream-image", kBlueprint, "--resources", r.TopLevelFolder(), "-o", out});
        std::string expected = "plover: error: " + c.error + "\n";
        for (const auto& [token, value] :
             std::vector<std::pair<std::string, std::string>>{{"{top}", r.TopLevelFile()},
                                                              {"{tx1}", (r.marlin / "stream_image_tx1.txt").string()},
                                                              {"{marlin}", r.marlin.string()},
                                                              {"{asm}", (r.folder.path() / "asm").string()}}) {
            for (auto at = expected.find(token); at != std::string::npos; at = expected.find(token)) {
                expected.replace(at, token.size(), value);
            }
        }
        EXPECT_EQ(result.status, 1) << c.error;
        EXPECT_EQ(result.err, expected);
        EXPECT_FALSE(fs::exists(out)) << c.error;
    }
}

TEST(ToolStreams, DisasmRefusesImagesTheResourcesWouldNotBuild)
{
    TempFolder folder;
    const std::string good = folder.File("good.bin");
    ASSERT_EQ(RunTool(folder, {"stream-image", kBlueprint, "-o", good}).status, 0);
    const std::string image = ReadText(good);
    ASSERT_EQ(image.size(), 32768u);
    struct Case {
        std::size_t at;        // byte changed
        std::uint8_t flip;     // bits flipped there
        std::string error;     // starts the text after "plover: error: 'bad.bin' is not a readable stream image: "
    };
    const std::vector<Case> cases = {
        {600, 0x01, "Block main (image bytes 0..16383): CRC is 0x"},
        {0, 0x01, "Block main (image bytes 0..16383): header ProductID is 0x2, the top-level file gives 0x3"},
        {30, 0x01, "Block main (image bytes 0..16383): header image offset of rx2 is 0x7001, the top-level file gives "
                   "0x7000"},
        {16394, 0x01, "Block tx1 (image bytes 16384..20479): header size is 0x1001, the top-level file gives "
                      "0x1000"},
        {32767, 0x01, "Block rx2 (image bytes 28672..32767): CRC is 0x"},
    };
    const std::string bad = folder.File("bad.bin");
    for (const Case& c : cases) {
        std::string damaged = image;
        damaged[c.at] = static_cast<char>(damaged[c.at] ^ c.flip);
        WriteText(bad, damaged);
        const ToolResult refused = RunTool(folder, {"disasm", bad});
        EXPECT_EQ(refused.status, 2) << c.error;
        const std::string note = "\nplover: note: --no-verify lists the image anyway\n";
        EXPECT_EQ(refused.err.rfind("plover: error: '" + bad + "' is not a readable stream image: " + c.error, 0), 0u)
            << refused.err;
        EXPECT_EQ(refused.err.substr(refused.err.find('\n')), note) << refused.err;
        EXPECT_EQ(refused.out, "");
        const ToolResult listed = RunTool(folder, {"disasm", "--no-verify", bad});
        EXPECT_EQ(listed.status, 0) << c.error << listed.err;
        EXPECT_EQ(listed.out.rfind("main processor disassembly information: ", 0), 0u) << c.error;
    }

    WriteText(bad, image.substr(0, 100));
    EXPECT_EQ(RunTool(folder, {"disasm", bad}).err,
              "plover: error: '" + bad + "' is not a readable stream image: Stream binary image is not the correct "
              "size (final image sized fixed at 20512 bytes)\nplover: note: Expected 32768 bytes (the processor "
              "sizes of the top-level file), found 100\n");
}

}  // namespace
