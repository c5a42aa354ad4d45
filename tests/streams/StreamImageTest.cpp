#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "TempFolder.h"
#include "streams/AtomicFile.h"
#include "streams/Crc32.h"
#include "streams/Marlin.h"
#include "streams/MarlinSettings.h"
#include "streams/StreamImage.h"

namespace Veltrix::Runnel {
namespace {

using Testing::ReadText;
using Testing::TempFolder;

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::uint16_t Le16(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

TEST(Crc32, CatalogueCheckValues)
{
    const std::string abc = "abc";
    const std::string digits = "123456789";
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
        for (const char* name : {"main", "tx1", "tx2", "rx1", "rx2"}) {
            sources[name] = "";
            sizes[name] = "size = 128 numstreams = 2";
        }
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

    std::vector<std::uint8_t> Image(const std::string& si = "c0")
    {
        return StreamImage_Get(MarlinSettings(), TopLevelFolder(), si);
    }

    std::map<std::string, std::string> sources;
    std::map<std::string, std::string> sizes;
    std::string extraTopLevel;
    TempFolder folder_;
};

std::string ErrorOf(MiniResources& resources)
{
    try {
        resources.Image();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no error";
}

TEST(StreamImageLayout, BlocksHaveTheirSizeHeaderJumpTableAndCrc)
{
    MiniResources r;
    r.sources["main"] = "stream 1\nwr A_CORE_REG 5\nreturn\nstream 0\ninc r1\ninc r2\ninc r3\ninc r4\ninc r5\nreturn\n";
    const auto image = r.Image();
    ASSERT_EQ(image.size(), 256U + 4 * 128U);

    // Core block: 40-byte extra header, then the block header.
    const std::vector<std::uint8_t> core(image.begin(), image.begin() + 256);
    EXPECT_EQ(Le32(core, 0), 7U);
    EXPECT_EQ(Le32(core, 4), 66051U);
    EXPECT_EQ(core[8], 1);
    EXPECT_EQ(core[9], 2);
    EXPECT_EQ(core[10], 3);
    EXPECT_EQ(core[11], 772 & 0xFF);
    const std::uint16_t expectedOffsets[] = {0, 256, 384, 512, 640};
    const std::uint16_t expectedSizes[] = {256, 128, 128, 128, 128};
    for (int p = 0; p < 5; ++p) {
        EXPECT_EQ(Le16(core, 12 + 4 * p), expectedSizes[p]);
        EXPECT_EQ(Le16(core, 14 + 4 * p), expectedOffsets[p]);
    }
    EXPECT_EQ(core[32], 772 >> 8);
    for (int i = 33; i < 40; ++i) {
        EXPECT_EQ(core[i], 0) << i;
    }
    const std::uint32_t base = 0x20044000;
    EXPECT_EQ(Le32(core, 40), base);
    EXPECT_EQ(Le32(core, 44), base + 56);
    EXPECT_EQ(Le16(core, 48), 4);
    EXPECT_EQ(Le16(core, 50), 256);
    EXPECT_EQ(Le32(core, 52), 0U);

    // Streams in read order: stream 1 (4 opcode bytes, 4 operand bytes), then
    // stream 0 (8 opcode bytes, none).
    const std::uint32_t code = base + 56 + 32;
    EXPECT_EQ(Le32(core, 56 + 8), code);
    EXPECT_EQ(Le32(core, 56 + 12), code + 12);
    EXPECT_EQ(Le32(core, 56 + 0), code + 4);
    EXPECT_EQ(Le32(core, 56 + 4), code + 16);
    EXPECT_EQ(Le32(core, 56 + 16), 0U);  // stream 2: none
    EXPECT_EQ(core[88], 0xC0);
    EXPECT_EQ(core[89], 0xC6);
    EXPECT_EQ(core[92], 0x59);
    EXPECT_EQ(core[100], 0x10);  // operands of stream 1: address, data
    EXPECT_EQ(core[102], 0x05);
    for (std::size_t i = 104; i < 252; ++i) {
        EXPECT_EQ(core[i], 0xFF) << i;
    }
    const std::vector<std::uint8_t> body(core.begin(), core.end() - 4);
    EXPECT_EQ(Le32(core, 252), Crc32(body));
}

TEST(StreamImageLayout, ProcessorWithoutStreamsHasHeaderEmptyTableAndPadding)
{
    MiniResources r;
    const auto image = r.Image();
    const std::vector<std::uint8_t> tx1(image.begin() + 256, image.begin() + 384);
    EXPECT_EQ(Le32(tx1, 0), 0x20040000U);
    EXPECT_EQ(Le32(tx1, 4), 0x20040010U);
    EXPECT_EQ(Le16(tx1, 8), 2);
    EXPECT_EQ(Le16(tx1, 10), 128);
    for (std::size_t i = 12; i < 32; ++i) {
        EXPECT_EQ(tx1[i], 0) << i;
    }
    for (std::size_t i = 32; i < 124; ++i) {
        EXPECT_EQ(tx1[i], 0xFF) << i;
    }
    EXPECT_EQ(Le32(tx1, 124), Crc32(std::span(tx1.data(), 124)));
}

TEST(StreamImageLayout, StreamNumberMustBeBelowTheProcessorsCount)
{
    MiniResources r;
    r.sources["main"] = "stream 4\nreturn\n";
    EXPECT_EQ(ErrorOf(r), "In one of the main processors, stream 4 is out of range. Only 4 streams allowed.");
    r.sources["main"] = "stream 1\nreturn\nstream 1\nreturn\n";
    EXPECT_EQ(ErrorOf(r), "In one of the main processors, stream 1 is defined more than once.");
}

TEST(StreamImageLayout, StreamsThatExactlyFitBuildAndOneByteLessFails)
{
    MiniResources r;
    // 16 header + 8 jump entry + 4 opcodes + 4 operands + 4 CRC.
    r.sources["tx1"] = "stream 0\nwait 5\nreturn\n";
    r.sizes["tx1"] = "size = 36 numstreams = 1";
    const auto image = r.Image();
    EXPECT_EQ(image.size(), 256U + 36 + 3 * 128);

    r.sizes["tx1"] = "size = 35 numstreams = 1";
    testing::internal::CaptureStdout();
    EXPECT_EQ(ErrorOf(r), "Stream image size is too small to fit all streams in ARM memory");
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
    const auto errorWith = [](const std::function<void(MiniResources&)>& change) {
        MiniResources r;
        change(r);
        return ErrorOf(r);
    };
    EXPECT_EQ(errorWith([](MiniResources& r) { r.sizes["tx2"] = "colour = 3"; }),
              "Unrecognized option in top_level.txt line 9");
    EXPECT_EQ(errorWith([](MiniResources& r) { r.sizes["tx2"] = "size 3"; }),
              "Syntax error: tx2 src_tx2.txt size 3");
    EXPECT_EQ(errorWith([](MiniResources& r) { r.sizes["tx2"] = "size = 12x"; }),
              "Syntax error: tx2 src_tx2.txt size = 12x");
    EXPECT_EQ(errorWith([](MiniResources& r) { r.extraTopLevel = "lonely\n"; }),
              "Must specify at least processor name at filepath.");
    EXPECT_EQ(errorWith([](MiniResources& r) { r.extraTopLevel = "ProfileID: x\n"; }), "Syntax error: ProfileID: x");
    EXPECT_EQ(errorWith([](MiniResources& r) { r.extraTopLevel = "MajorVersionID: 65536\n"; }),
              "Syntax error: MajorVersionID: 65536");
    EXPECT_EQ(errorWith([](MiniResources& r) { r.extraTopLevel = "main again.txt\n"; }),
              "Syntax error: main again.txt");
    EXPECT_EQ(errorWith([](MiniResources& r) { r.extraTopLevel = "dsp dsp.txt\n"; }),
              "Unrecognized processor in top_level.txt: dsp");
    EXPECT_EQ(errorWith([](MiniResources& r) { r.sizes["main"] = "size = 0x40000"; }),
              "Option size of processor main in top_level.txt exceeds 65535");
    // The core needs 40 + 16 + 8 * 4 + 4 bytes before any stream.
    EXPECT_EQ(errorWith([](MiniResources& r) { r.sizes["main"] = "size = 91 numstreams = 4"; }),
              "Processor main size 91 in top_level.txt is too small for its header and jump table (92 bytes)");
    EXPECT_EQ(errorWith([](MiniResources& r) { r.sizes["main"] = "size = 92 numstreams = 4"; }), "no error");
    EXPECT_EQ(errorWith([](MiniResources& r) { r.sizes["rx2"] = "size = 0100 numstreams = 010"; }),
              "Processor rx2 size 64 in top_level.txt is too small for its header and jump table (84 bytes)");
    EXPECT_EQ(errorWith([](MiniResources& r) { r.sizes["main"] = "binarybase = 0xFFFFFF00"; }),
              "Processor main in top_level.txt runs past the 32-bit address space");
}

TEST(TopLevelFile, IdentifiersAndProcessorsAreRequired)
{
    TempFolder folder;
    folder.Write("asm/marlin/spi_marlin_c0.tv", "A_CORE_REG 10\n");
    const auto top = folder.path() / "asm" / "marlin" / "top_level";
    const auto errorFor = [&](const std::string& text) {
        folder.Write("asm/marlin/top_level/top_level.txt", text);
        try {
            Marlin device("c0", top.string());
        } catch (const std::exception& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    const std::string ids = "ProductID: 1\nProfileID: 1\nMajorVersionID: 1\nMinorVersionID: 1\nMaintVersionID: 1\n";
    EXPECT_EQ(errorFor(ids + "main m.txt\n"),
              "top_level.txt required to provide: ProductID, ProfileID, MajorVersionID, MinorVersionID, "
              "MaintVersionID, & BuildVersionID");
    // Identifiers are checked before the processor list.
    EXPECT_EQ(errorFor(""), errorFor(ids + "main m.txt\n"));
    folder.Write("asm/marlin/top_level/top_level.txt", ids + "BuildVersionID: 1\nmain m.txt\ntx1 t.txt\n");
    EXPECT_THROW(Marlin("c0", top.string()), std::out_of_range);
    EXPECT_EQ(errorFor(ids + "BuildVersionID: 1\nmain m.txt\ntx1 t.txt\n"),
              "Not all processors have been listed in the top_level.txt");
}

TEST(MarlinDevice, SiliconVersionsAndResourceFolders)
{
    MiniResources r;
    const std::string top = r.TopLevelFolder();
    r.sources["main"] = "stream 0\nwr A_CORE_REG 1\nreturn\n";
    const auto c0 = r.Image("c0");
    const auto b0 = r.Image("B0");
    EXPECT_EQ(c0, StreamImage_Get(MarlinSettings(), top));
    EXPECT_NE(c0, b0);  // A_CORE_REG moved
    EXPECT_EQ(Marlin("B0", top).SiVersion(), "b0");
    try {
        Marlin("a0", top);
        FAIL();
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Unrecognized Silicon Version");
    }
    try {
        Marlin("c0", (r.folder_.path() / "elsewhere" / "top_level").string());
        FAIL();
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "topLevelPath invalid!");
    }
    // The top-level path may name the folder or any file below "asm".
    EXPECT_EQ(Marlin("c0", top + "/top_level.txt").ResourceRoot(), r.folder_.path() / "asm");
}

TEST(MarlinDevice, ResourceFolderUnderAppData)
{
    TempFolder appData;
    const char* saved = std::getenv("APPDATA");
    const std::string savedValue = saved ? saved : "";
    setenv("APPDATA", appData.path().c_str(), 1);
    try {
        Marlin("c0", "");
        ADD_FAILURE();
    } catch (const std::invalid_argument& e) {
        EXPECT_EQ(std::string(e.what()), "Streaam resource directory not found.  Expected: " +
                                             (appData.path() / "Veltrix" / "Runnel" / "resources").string());
    }
    std::filesystem::create_directories(appData.path() / "Veltrix" / "Runnel");
    std::filesystem::copy(std::filesystem::path(PLOVER_SOURCE_DIR) / "resources" / "asm",
                          appData.path() / "Veltrix" / "Runnel" / "resources", std::filesystem::copy_options::recursive);
    EXPECT_EQ(StreamImage_Get(MarlinSettings(), "").size(), 32768U);
    if (saved) {
        setenv("APPDATA", savedValue.c_str(), 1);
    } else {
        unsetenv("APPDATA");
    }
}

TEST(MarlinDevice, MissingFilesAreReported)
{
    MiniResources r;
    const std::string top = r.TopLevelFolder();
    std::filesystem::remove(r.folder_.path() / "asm" / "marlin" / "src_rx1.txt");
    Marlin device("c0", top);
    try {
        device.Image_Build();
        FAIL();
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Can't open stream file for rx1");
    }
    std::filesystem::remove(r.folder_.path() / "asm" / "marlin" / "spi_marlin_c0.tv");
    try {
        Marlin("c0", top);
        FAIL();
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Can't open template file!");
    }
    std::filesystem::remove(r.folder_.path() / "asm" / "marlin" / "top_level" / "top_level.txt");
    try {
        Marlin("b0", top);
        FAIL();
    } catch (const std::invalid_argument& e) {
        EXPECT_EQ(std::string(e.what()), "Can't open top level text file, check the path: " +
                                             (std::filesystem::path(top) / "top_level.txt").string());
    }
    r.TopLevelFolder();
    r.folder_.Write("asm/marlin/spi_marlin_b0.tv", "A_CORE_REG 12345\n");
    EXPECT_THROW(Marlin("b0", top), std::invalid_argument);
    r.folder_.Write("asm/marlin/spi_marlin_b0.tv", "ABC 12\n");
    EXPECT_THROW(Marlin("b0", top), std::invalid_argument);
}

TEST(StreamImageSave, WritesTheImageOrNothing)
{
    MiniResources r;
    r.sources["tx2"] = "stream 1\nwait 3\nreturn\n";
    const std::string top = r.TopLevelFolder();
    const auto file = r.folder_.path() / "image.bin";
    StreamImage_Save(MarlinSettings(), file.string(), top);
    const std::string written = ReadText(file);
    const auto image = StreamImage_Get(MarlinSettings(), top);
    EXPECT_EQ(std::vector<std::uint8_t>(written.begin(), written.end()), image);

    // A failing build leaves the earlier image untouched.
    r.sources["tx2"] = "stream 7\nreturn\n";
    r.TopLevelFolder();
    EXPECT_THROW(StreamImage_Save(MarlinSettings(), file.string(), top), std::invalid_argument);
    EXPECT_EQ(ReadText(file), written);

    EXPECT_THROW(StreamImage_Save(MarlinSettings(), (r.folder_.path() / "no" / "image.bin").string(), top),
                 std::invalid_argument);
    r.sources["tx2"] = "";
    r.TopLevelFolder();
    EXPECT_THROW(StreamImage_Save(MarlinSettings(), (r.folder_.path() / "no" / "image.bin").string(), top),
                 FileWriteError);
    EXPECT_FALSE(std::filesystem::exists(r.folder_.path() / "no"));
}

}  // namespace
}  // namespace Veltrix::Runnel
