#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "StreamData.h"
#include "support/Throws.h"
#include "streams/Crc32.h"
#include "streams/HexText.h"
#include "streams/Marlin.h"
#include "streams/MarlinSettings.h"
#include "streams/StreamImage.h"

namespace Veltrix::Runnel {
namespace {

using namespace PloverTest;
namespace fs = std::filesystem;

// Little-endian words [from, to) of the bytes, space-separated.
std::string Words(const std::vector<std::uint8_t>& b, std::size_t from, std::size_t to)
{
    std::string text;
    for (std::size_t i = from; i < to; i += 4) {
        text.append(i == from ? "" : " ").append(Hex(b[i] | b[i + 1] << 8 | b[i + 2] << 16 | std::uint32_t(b[i + 3]) << 24, 8));
    }
    return text;
}

TEST(Crc32, CatalogueCheckValues)
{
    const std::string digits = "123456789";
    EXPECT_EQ(Crc32({reinterpret_cast<const std::uint8_t*>(digits.data()), digits.size()}), 0x89A1897FU);
    EXPECT_EQ(Crc32({}), 0U);
}

// A small resource folder: asm/marlin with a top-level file, a register map
// for each silicon version and one source per processor.
struct MiniResources {
    MiniResources()
    {
        folder.Write("asm/marlin/spi_marlin_c0.tv", "A_CORE_REG 0x0210\nB_TX_REG 1000\nB_ORX_REG 1000\n");
        folder.Write("asm/marlin/spi_marlin_b0.tv", "A_CORE_REG 0x0212\nB_TX_REG 1000\nB_ORX_REG 1000\n");
        for (const char* name : {"tx1", "tx2", "rx1", "rx2"}) sizes[name] = "size = 128 numstreams = 2";
        sizes["main"] = "size = 256 numstreams = 4";
    }
    std::string TopLevelFolder()
    {
        std::string top = "ProductID: 7\nProfileID: 66051\nMajorVersionID: 1\nMinorVersionID: 2\n"
                          "MaintVersionID: 3\nBuildVersionID: 772\n";
        for (const char* name : {"main", "tx1", "tx2", "rx1", "rx2"}) {
            top += std::string(name) + " src_" + name + ".txt " + sizes[name] + "\n";
            folder.Write(std::string("asm/marlin/src_") + name + ".txt", sources[name]);
        }
        folder.Write("asm/marlin/top_level/top_level.txt", wholeTopLevel.value_or(top + extraTopLevel));
        return (folder.path() / "asm" / "marlin" / "top_level").string();
    }
    fs::path Chip() const { return folder.path() / "asm" / "marlin"; }
    std::vector<std::uint8_t> Image(const std::string& si = "c0") { return StreamImage_Get(MarlinSettings(), TopLevelFolder(), si); }
    std::string Error() { return ThrownText<std::exception>([this] { Image(); }); }

    std::map<std::string, std::string> sources, sizes;
    std::string extraTopLevel;
    std::optional<std::string> wholeTopLevel;
    TempFolder folder;
};

TEST(StreamImageLayout, BlocksHaveTheirSizeHeaderJumpTableAndCrc)
{
    MiniResources r;
    r.sources["main"] = "stream 1\nwr A_CORE_REG 5\nreturn\nstream 0\ninc r1\ninc r2\ninc r3\ninc r4\ninc r5\nreturn\n";
    const auto image = r.Image();
    ASSERT_EQ(image.size(), 256U + 4 * 128U);
    // Core: product 7, profile 66051, version 1.2.3, build low byte; size and
    // offset of each of the five blocks; build high byte and padding. Then the
    // block header (base 0x20044000, jump table, 4 streams, size 256), the jump
    // table (stream 0 after stream 1, which was read first), the opcodes
    // (WR RETURN | INC x5 RETURN) and the operands (address 0x0210, data 5).
    EXPECT_EQ(Words(image, 0, 104),
              "00000007 00010203 04030201 00000100 01000080 01800080 02000080 02800080 00000003 00000000 "
              "20044000 20044038 01000004 00000000 2004405C 20044068 20044058 20044064 00000000 00000000 "
              "00000000 00000000 0000C6C0 5C5B5A59 0000C65D 00050210");
    EXPECT_EQ(std::count(image.begin() + 104, image.begin() + 252, 0xFF), 148);
    EXPECT_EQ(Words(image, 252, 256), Hex(Crc32(std::span(image.data(), 252)), 8));
    // A processor without streams: header, empty table, padding, CRC.
    EXPECT_EQ(Words(image, 256, 292), "20040000 20040010 00800002 00000000 00000000 00000000 00000000 00000000 FFFFFFFF");
    EXPECT_EQ(Words(image, 380, 384), Hex(Crc32(std::span(image.data() + 256, 124)), 8));

    // Opcode runs never reach into operand runs.
    r.sources["rx1"] = "stream 1\ninc r1\ninc r2\ninc r3\ninc r4\nwait 1\nreturn\nstream 0\ncall 1\nreturn\n";
    const auto withRx1 = r.Image();
    const auto word = [&](std::size_t at) { return *ParseHex(Words(withRx1, 512 + at, 516 + at)); };
    EXPECT_LE(word(24) + 6, std::min(word(20), word(28)));
    EXPECT_LE(word(16) + 2, std::min(word(20), word(28)));
}

TEST(StreamImageLayout, StreamsAndSizesThatDoNotFitAreRefused)
{
    MiniResources r;
    r.sources["main"] = "stream 4\nreturn\n";
    EXPECT_EQ(r.Error(), "In one of the main processors, stream 4 is out of range. Only 4 streams allowed.");
    r.sources["main"] = "stream 1\nreturn\nstream 1\nreturn\n";
    EXPECT_EQ(r.Error(), "In one of the main processors, stream 1 is defined more than once.");
    r.sources["main"] = "";
    // 16 header + 8 jump entry + 4 opcodes + 4 operands + 4 CRC fit exactly; one byte less does not.
    r.sources["tx1"] = "stream 0\nwait 5\nreturn\n";
    r.sizes["tx1"] = "size = 36 numstreams = 1";
    EXPECT_EQ(r.Image().size(), 256U + 36 + 3 * 128);
    r.sizes["tx1"] = "size = 35 numstreams = 1";
    testing::internal::CaptureStdout();
    EXPECT_EQ(r.Error(), "Stream image size is too small to fit all streams in ARM memory");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "ERROR : NOT ENOUGH SPACE LEFT IN IMAGE TO HOLD STREAMS INFO \nBytes Remaining = 11\nBytes Needed = 12\n");
}

// Rows of tests/data/streams/top-level-errors.json: whose options are
// replaced (null: a line added, "*": the whole file), the text, the message.
// The core needs 40 + 16 + 8 * 4 + 4 bytes before any stream.
TEST(TopLevelFile, MalformedFilesGetTheirMessages)
{
    for (const auto& row : StreamData("top-level-errors.json")) {
        MiniResources r;
        (row[0].is_null() ? r.extraTopLevel : row[0] == "*" ? r.wholeTopLevel.emplace() : r.sizes[row[0]]) = row[1];
        EXPECT_EQ(r.Error(), row[2]) << row[1];
    }
}

TEST(MarlinDevice, SiliconVersionsResourceFoldersAndMissingFiles)
{
    MiniResources r;
    r.sources["main"] = "stream 0\nwr A_CORE_REG 1\nreturn\n";
    const std::string top = r.TopLevelFolder();
    EXPECT_EQ(r.Image("c0"), StreamImage_Get(MarlinSettings(), top));
    EXPECT_NE(r.Image("c0"), r.Image("B0"));  // A_CORE_REG moved
    EXPECT_EQ(Marlin("B0", top).SiVersion(), "b0");
    // The top-level path may name the folder or any file below "asm".
    EXPECT_EQ(Marlin("c0", top + "/top_level.txt").ResourceRoot(), r.folder.path() / "asm");

    const auto error = [](const auto& f) { return ThrownText<std::invalid_argument>(f); };
    EXPECT_EQ(error([&] { Marlin("a0", top); }), "Unrecognized Silicon Version");
    EXPECT_EQ(error([&] { Marlin("c0", (r.folder.path() / "elsewhere" / "top_level").string()); }), "topLevelPath invalid!");
    fs::remove(r.Chip() / "src_rx1.txt");
    EXPECT_EQ(error([&] { Marlin("c0", top).Image_Build(); }), "Can't open stream file for rx1");
    fs::remove(r.Chip() / "spi_marlin_c0.tv");
    EXPECT_EQ(error([&] { Marlin("c0", top); }), "Can't open template file!");
    fs::remove(r.Chip() / "top_level" / "top_level.txt");
    EXPECT_EQ(error([&] { Marlin("b0", top); }),
              "Can't open top level text file, check the path: " + (fs::path(top) / "top_level.txt").string());
    r.TopLevelFolder();
    for (const char* map : {"A_CORE_REG 12345\n", "ABC 12\n"}) {
        r.folder.Write("asm/marlin/spi_marlin_b0.tv", map);
        EXPECT_THROW(Marlin("b0", top), std::invalid_argument) << map;
    }

    // Without a path the resources are looked for under APPDATA.
    TempFolder appData;
    const char* saved = std::getenv("APPDATA");
    const std::string savedValue = saved ? saved : "";
    setenv("APPDATA", appData.path().c_str(), 1);
    const fs::path resources = appData.path() / "Veltrix" / "Runnel" / "resources";
    EXPECT_EQ(error([] { Marlin("c0", ""); }), "Streaam resource directory not found.  Expected: " + resources.string());
    fs::create_directories(resources.parent_path());
    fs::copy(PloverTest::SourcePath("resources/asm"), resources, fs::copy_options::recursive);
    EXPECT_EQ(StreamImage_Get(MarlinSettings(), "").size(), 32768U);
    saved ? setenv("APPDATA", savedValue.c_str(), 1) : unsetenv("APPDATA");
}

}  // namespace
}  // namespace Veltrix::Runnel
