#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "TempFolder.h"
#include "streams/AtomicFile.h"
#include "streams/Crc32.h"
#include "streams/Marlin.h"
#include "streams/MarlinSettings.h"
#include "streams/StreamImage.h"

namespace Veltrix::Runnel {
namespace {

using Testing::ErrorOf;
using Testing::ReadText;
using Testing::TempFolder;

// Bytes [from, to) as hex, a space after every four.
std::string Hex(const std::vector<std::uint8_t>& b, std::size_t from, std::size_t to)
{
    std::string text;
    for (std::size_t i = from; i < to; ++i) {
        text += "0123456789ABCDEF"[b[i] >> 4];
        text += "0123456789ABCDEF"[b[i] & 15];
        if ((i - from) % 4 == 3 && i + 1 < to) text += ' ';
    }
    return text;
}

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

TEST(Crc32, CatalogueCheckValues)
{
    const std::string abc = "abc", digits = "123456789";
    EXPECT_EQ(Crc32({reinterpret_cast<const std::uint8_t*>(abc.data()), abc.size()}), 0x2C17398CU);
    EXPECT_EQ(Crc32({reinterpret_cast<const std::uint8_t*>(digits.data()), digits.size()}), 0x89A1897FU);
    EXPECT_EQ(Crc32({}), 0U);
}

// A small resource folder: asm/marlin with a top-level file, a register map and
// one source per processor.
class MiniResources {
public:
    MiniResources()
    {
        folder_.Write("asm/marlin/spi_marlin_c0.tv", "A_CORE_REG 0x0210\nB_TX_REG 1000\nB_ORX_REG 1000\n");
        folder_.Write("asm/marlin/spi_marlin_b0.tv", "A_CORE_REG 0x0212\nB_TX_REG 1000\nB_ORX_REG 1000\n");
        for (const char* name : {"main", "tx1", "tx2", "rx1", "rx2"}) sizes[name] = "size = 128 numstreams = 2";
        sizes["main"] = "size = 256 numstreams = 4";
    }

    std::string TopLevelFolder()
    {
        std::string top = "ProductID: 7\nProfileID: 66051\nMajorVersionID: 1\nMinorVersionID: 2\n"
                          "MaintVersionID: 3\nBuildVersionID: 772\n";
        for (const char* name : {"main", "tx1", "tx2", "rx1", "rx2"}) {
            top += std::string(name) + " src_" + name + ".txt " + sizes[name] + "\n";
            folder_.Write(std::string("asm/marlin/src_") + name + ".txt", sources[name]);
        }
        folder_.Write("asm/marlin/top_level/top_level.txt", top + extraTopLevel);
        return (folder_.path() / "asm" / "marlin" / "top_level").string();
    }
    std::filesystem::path Chip() const { return folder_.path() / "asm" / "marlin"; }

    std::vector<std::uint8_t> Image(const std::string& si = "c0")
    {
        return StreamImage_Get(MarlinSettings(), TopLevelFolder(), si);
    }
    std::string Error()
    {
        return ErrorOf<std::exception>([this] { Image(); });
    }

    std::map<std::string, std::string> sources;
    std::map<std::string, std::string> sizes;
    std::string extraTopLevel;
    TempFolder folder_;
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
    EXPECT_EQ(Hex(image, 0, 104),
              "07000000 03020100 01020304 00010000 80000001 80008001 80000002 80008002 03000000 00000000 "
              "00400420 38400420 04000001 00000000 5C400420 68400420 58400420 64400420 00000000 00000000 "
              "00000000 00000000 C0C60000 595A5B5C 5DC60000 10020500");
    EXPECT_EQ(std::count(image.begin() + 104, image.begin() + 252, 0xFF), 148);
    EXPECT_EQ(Le32(image, 252), Crc32(std::span(image.data(), 252)));
    // A processor without streams: header, empty table, padding, CRC.
    EXPECT_EQ(Hex(image, 256, 292), "00000420 10000420 02008000 00000000 00000000 00000000 00000000 00000000 FFFFFFFF");
    EXPECT_EQ(Le32(image, 256 + 124), Crc32(std::span(image.data() + 256, 124)));
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

TEST(StreamImageLayout, OpcodeRunsNeverReachIntoOperandRuns)
{
    MiniResources r;
    r.sources["rx1"] = "stream 1\ninc r1\ninc r2\ninc r3\ninc r4\nwait 1\nreturn\nstream 0\ncall 1\nreturn\n";
    const auto image = r.Image();
    const std::vector<std::uint8_t> rx1(image.begin() + 512, image.begin() + 640);
    const std::uint32_t firstOperand = std::min(Le32(rx1, 20), Le32(rx1, 28));
    EXPECT_LE(Le32(rx1, 24) + 6, firstOperand);
    EXPECT_LE(Le32(rx1, 16) + 2, firstOperand);
}

TEST(TopLevelFile, MalformedFilesGetTheirMessages)
{
    const struct {
        const char* processor;  // whose options are replaced, or nullptr for an extra line
        const char* text;
        const char* error;
    } cases[] = {
        {"tx2", "colour = 3", "Unrecognized option in top_level.txt line 9"},
        {"tx2", "size 3", "Syntax error: tx2 src_tx2.txt size 3"},
        {"tx2", "size = 12x", "Syntax error: tx2 src_tx2.txt size = 12x"},
        {nullptr, "lonely\n", "Must specify at least processor name at filepath."},
        {nullptr, "ProfileID: x\n", "Syntax error: ProfileID: x"},
        {nullptr, "MajorVersionID: 65536\n", "Syntax error: MajorVersionID: 65536"},
        {nullptr, "main again.txt\n", "Syntax error: main again.txt"},
        {nullptr, "dsp dsp.txt\n", "Unrecognized processor in top_level.txt: dsp"},
        {"main", "size = 0x40000", "Option size of processor main in top_level.txt exceeds 65535"},
        // The core needs 40 + 16 + 8 * 4 + 4 bytes before any stream.
        {"main", "size = 91 numstreams = 4",
         "Processor main size 91 in top_level.txt is too small for its header and jump table (92 bytes)"},
        {"main", "size = 92 numstreams = 4", "no error"},
        {"rx2", "size = 0100 numstreams = 010",
         "Processor rx2 size 64 in top_level.txt is too small for its header and jump table (84 bytes)"},
        {"main", "binarybase = 0xFFFFFF00", "Processor main in top_level.txt runs past the 32-bit address space"},
    };
    for (const auto& c : cases) {
        MiniResources r;
        (c.processor ? r.sizes[c.processor] : r.extraTopLevel) = c.text;
        EXPECT_EQ(r.Error(), c.error) << c.text;
    }
}

TEST(TopLevelFile, IdentifiersAndProcessorsAreRequired)
{
    TempFolder folder;
    folder.Write("asm/marlin/spi_marlin_c0.tv", "A_CORE_REG 10\n");
    const auto top = folder.path() / "asm" / "marlin" / "top_level";
    const auto errorFor = [&](const std::string& text) {
        folder.Write("asm/marlin/top_level/top_level.txt", text);
        return ErrorOf<std::exception>([&] { Marlin("c0", top.string()); });
    };
    const std::string ids = "ProductID: 1\nProfileID: 1\nMajorVersionID: 1\nMinorVersionID: 1\nMaintVersionID: 1\n";
    EXPECT_EQ(errorFor(ids + "main m.txt\n"),
              "top_level.txt required to provide: ProductID, ProfileID, MajorVersionID, MinorVersionID, "
              "MaintVersionID, & BuildVersionID");
    // Identifiers are checked before the processor list.
    EXPECT_EQ(errorFor(""), errorFor(ids + "main m.txt\n"));
    EXPECT_EQ(errorFor(ids + "BuildVersionID: 1\nmain m.txt\ntx1 t.txt\n"),
              "Not all processors have been listed in the top_level.txt");
}

TEST(MarlinDevice, SiliconVersionsResourceFoldersAndMissingFiles)
{
    MiniResources r;
    const std::string top = r.TopLevelFolder();
    r.sources["main"] = "stream 0\nwr A_CORE_REG 1\nreturn\n";
    const auto c0 = r.Image("c0");
    EXPECT_EQ(c0, StreamImage_Get(MarlinSettings(), top));
    EXPECT_NE(c0, r.Image("B0"));  // A_CORE_REG moved
    EXPECT_EQ(Marlin("B0", top).SiVersion(), "b0");
    // The top-level path may name the folder or any file below "asm".
    EXPECT_EQ(Marlin("c0", top + "/top_level.txt").ResourceRoot(), r.folder_.path() / "asm");

    const auto error = [](const std::function<void()>& f) { return ErrorOf<std::invalid_argument>(f); };
    EXPECT_EQ(error([&] { Marlin("a0", top); }), "Unrecognized Silicon Version");
    EXPECT_EQ(error([&] { Marlin("c0", (r.folder_.path() / "elsewhere" / "top_level").string()); }),
              "topLevelPath invalid!");
    std::filesystem::remove(r.Chip() / "src_rx1.txt");
    EXPECT_EQ(error([&] { Marlin("c0", top).Image_Build(); }), "Can't open stream file for rx1");
    std::filesystem::remove(r.Chip() / "spi_marlin_c0.tv");
    EXPECT_EQ(error([&] { Marlin("c0", top); }), "Can't open template file!");
    std::filesystem::remove(r.Chip() / "top_level" / "top_level.txt");
    EXPECT_EQ(error([&] { Marlin("b0", top); }),
              "Can't open top level text file, check the path: " + (std::filesystem::path(top) / "top_level.txt").string());
    r.TopLevelFolder();
    for (const char* map : {"A_CORE_REG 12345\n", "ABC 12\n"}) {
        r.folder_.Write("asm/marlin/spi_marlin_b0.tv", map);
        EXPECT_THROW(Marlin("b0", top), std::invalid_argument) << map;
    }
}

TEST(MarlinDevice, ResourceFolderUnderAppData)
{
    TempFolder appData;
    const char* saved = std::getenv("APPDATA");
    const std::string savedValue = saved ? saved : "";
    setenv("APPDATA", appData.path().c_str(), 1);
    EXPECT_EQ(ErrorOf<std::invalid_argument>([] { Marlin("c0", ""); }),
              "Streaam resource directory not found.  Expected: " +
                  (appData.path() / "Veltrix" / "Runnel" / "resources").string());
    std::filesystem::create_directories(appData.path() / "Veltrix" / "Runnel");
    std::filesystem::copy(std::filesystem::path(PLOVER_SOURCE_DIR) / "resources" / "asm",
                          appData.path() / "Veltrix" / "Runnel" / "resources", std::filesystem::copy_options::recursive);
    EXPECT_EQ(StreamImage_Get(MarlinSettings(), "").size(), 32768U);
    saved ? setenv("APPDATA", savedValue.c_str(), 1) : unsetenv("APPDATA");
}

TEST(StreamImageSave, WritesTheImageOrNothing)
{
    MiniResources r;
    r.sources["tx2"] = "stream 1\nwait 3\nreturn\n";
    const std::string top = r.TopLevelFolder();
    const auto file = r.folder_.path() / "image.bin";
    const auto missing = (r.folder_.path() / "no" / "image.bin").string();
    StreamImage_Save(MarlinSettings(), file.string(), top);
    const std::string written = ReadText(file);
    EXPECT_EQ(std::vector<std::uint8_t>(written.begin(), written.end()), StreamImage_Get(MarlinSettings(), top));

    // A failing build leaves the earlier image untouched and is reported before any write.
    r.sources["tx2"] = "stream 7\nreturn\n";
    r.TopLevelFolder();
    EXPECT_THROW(StreamImage_Save(MarlinSettings(), file.string(), top), std::invalid_argument);
    EXPECT_EQ(ReadText(file), written);
    EXPECT_THROW(StreamImage_Save(MarlinSettings(), missing, top), std::invalid_argument);
    r.sources["tx2"] = "";
    r.TopLevelFolder();
    EXPECT_THROW(StreamImage_Save(MarlinSettings(), missing, top), FileWriteError);
    EXPECT_FALSE(std::filesystem::exists(r.folder_.path() / "no"));
}

}  // namespace
}  // namespace Veltrix::Runnel
