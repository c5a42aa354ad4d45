#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "TempFolder.h"
#include "streams/HexText.h"
#include "streams/Marlin.h"
#include "streams/MarlinSettings.h"
#include "streams/StreamImage.h"
#include "streams/StreamListing.h"
#include "streams/StreamReader.h"

namespace Veltrix::Runnel {
namespace {

const std::string kTopLevel = std::string(PLOVER_SOURCE_DIR) + "/resources/asm/marlin/top_level";

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

MarlinSettings EverythingOn()
{
    MarlinSettings s;
    s.tx1IntLo(true);
    s.tx1FMDM(true);
    s.tx2IntLo(true);
    s.tx2FMDM(true);
    s.rx1IntLo(true);
    s.rx1A(true);
    s.rx2IntLo(true);
    s.rx2A(true);
    s.rx1PortImpedanceControl(true);
    s.rx2PortImpedanceControl(true);
    s.defines["DEBUG"] = "1";
    return s;
}

// The image's streams, decoded through its jump tables, must be the streams
// that the sources give with the same settings: same numbers, same bytes.
std::set<int> CheckImageAgainstSources(const Marlin& device, const StreamSettings& settings,
                                       const std::vector<std::uint8_t>& image)
{
    std::set<int> opcodeGroups;
    std::size_t blockStart = 0;
    for (const std::string& name : device.TopLevel().processors) {
        SCOPED_TRACE(name);
        const ProcessorInfo& processor = device.Processor(name);
        const std::vector<std::uint8_t> block(image.begin() + static_cast<std::ptrdiff_t>(blockStart),
                                              image.begin() + static_cast<std::ptrdiff_t>(blockStart + processor.size));
        blockStart += processor.size;
        const std::size_t extra = name == device.CoreProcessor() ? device.ExtraCoreHeaderBytes() : 0;
        std::ifstream source(device.ChipFolder() / processor.streamFile);
        const auto streams = ReadStreams(source, device.Registers(), settings);
        EXPECT_GE(streams.size(), 2U);
        for (const auto& stream : streams) {
            const std::size_t entry = extra + 16 + 8 * stream->StreamNumber();
            const std::uint32_t opcodeAddress = Le32(block, entry);
            const std::uint32_t operandAddress = Le32(block, entry + 4);
            const auto decoded = DisassembleStream(device.Registers(), block, opcodeAddress - processor.binaryBase,
                                                   operandAddress - processor.binaryBase, block.size() - 4,
                                                   processor.sliceTag);
            EXPECT_EQ(decoded.size(), stream->Instructions().size());
            if (decoded.size() != stream->Instructions().size()) {
                continue;
            }
            for (std::size_t i = 0; i < decoded.size(); ++i) {
                EXPECT_EQ(decoded[i].opcode, stream->Instructions()[i]->opcode) << decoded[i].text;
                EXPECT_EQ(decoded[i].operands, stream->Instructions()[i]->operands) << decoded[i].text;
                const int op = decoded[i].opcode;
                opcodeGroups.insert(op < 0x40 ? 0 : op < 0xC0 ? (op & 0xF8) : op >= 0xD8 ? 0xD8 : op);
            }
        }
    }
    return opcodeGroups;
}

// Both silicon versions, with every option off and on: each image decodes back
// to its sources, and between them they use every instruction form.
TEST(ResourceImage, ImagesDisassembleBackToTheirSourcesUsingEveryInstructionForm)
{
    std::set<int> groups;
    for (const bool on : {false, true}) {
        for (const char* si : {"c0", "b0"}) {
            Marlin device(si, kTopLevel);
            const MarlinSettings settings = on ? EverythingOn() : MarlinSettings();
            device.Settings_Set(settings);
            const auto image = device.Image_Build();
            EXPECT_EQ(image.size(), 16384U + 4 * 4096U);
            EXPECT_EQ(image, StreamImage_Get(settings, kTopLevel, si));
            const auto found = CheckImageAgainstSources(device, settings, image);
            groups.insert(found.begin(), found.end());
        }
    }
    EXPECT_EQ(groups.size(), 36U);  // wrad, 16 register groups, 0xC0-0xD1, rd0
}

TEST(ResourceImage, SourcesUseEveryToken)
{
    std::string all;
    for (const char* file : {"main", "tx1", "tx2", "rx1", "rx2"}) {
        all += Testing::ReadText(std::string(PLOVER_SOURCE_DIR) + "/resources/asm/marlin/stream_image_" + file + ".txt");
    }
    const MarlinSettings settings;
    for (const auto& [token, value] : settings.tokens->tokens) {
        EXPECT_NE(all.find(token), std::string::npos) << token;
    }
}

TEST(ResourceImage, SiliconVersionsDiffer)
{
    EXPECT_NE(StreamImage_Get(EverythingOn(), kTopLevel, "c0"), StreamImage_Get(EverythingOn(), kTopLevel, "b0"));
    EXPECT_EQ(StreamImage_Get(EverythingOn(), kTopLevel, "c0"), StreamImage_Get(EverythingOn(), kTopLevel));
}

TEST(ResourceImage, TemplateSettingsComeFromTheProductFolder)
{
    Marlin device("c0", kTopLevel);
    device.TemplateSettings_Load();
    const auto& settings = static_cast<const MarlinSettings&>(*device.Settings_Get());
    EXPECT_TRUE(settings.rx1A());
    EXPECT_TRUE(settings.tx1IntLo());
    EXPECT_EQ(settings.pll1LockWait(), 0x82EE);
    EXPECT_EQ(device.TopLevel().ProductID, 3U);
    EXPECT_THROW(device.TemplateSettings_Load("/nonexistent.json"), std::invalid_argument);
}

TEST(ImageListing, ListsEveryProcessorWithSliceRegisterNames)
{
    Marlin device("c0", kTopLevel);
    device.Settings_Set(EverythingOn());
    const auto image = device.Image_Build();
    Testing::TempFolder folder;
    const auto file = folder.path() / "image.bin";
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(image.data()),
                                               static_cast<std::streamsize>(image.size()));
    std::ostringstream listing;
    device.Image_Disassemble(file.string(), listing);
    const std::string text = listing.str();
    EXPECT_EQ(text.find("main processor disassembly information: \nStream binary base Address: 0x20044000\n"
                        "Jump Table Address: 0x20044038\nNumber of Streams in Jump Table: 64\n"
                        "Image Size: 16384 bytes\nStreamId: 0 Stream Inst addr: 0x20044238 Index: 0 WR "
                        "MARLIN_CORE_LDO_CTRL 3F\n"),
              0U);
    EXPECT_NE(text.find("rx2 processor disassembly information: "), std::string::npos);
    EXPECT_NE(text.find("RD R3 MARLIN_TX_SCRATCH"), std::string::npos);
    EXPECT_NE(text.find("RD R0 MARLIN_ORX_SCRATCH"), std::string::npos);
    EXPECT_NE(text.find("SHIFT R0 4"), std::string::npos);  // the DEBUG branch
}

std::string ListingError(const Marlin& device, const std::vector<std::uint8_t>& image)
{
    std::ostringstream listing;
    return Testing::ErrorOf<std::invalid_argument>([&] { device.Image_Disassemble(image, listing); });
}

TEST(ImageListing, CorruptImagesAreRejectedWithoutReadingOutsideThem)
{
    Marlin device("c0", kTopLevel);
    const auto image = device.Image_Build();
    EXPECT_EQ(ListingError(device, image), "no error");
    EXPECT_EQ(ListingError(device, std::vector<std::uint8_t>(image.begin(), image.end() - 1)),
              "Stream binary image is not the correct size (final image sized fixed at 20512 bytes)\n"
              "Expected 32768 bytes (the processor sizes of the top-level file), found 32767");

    const auto corrupt = [&](std::size_t at, std::uint32_t value) {
        auto bad = image;
        for (int i = 0; i < 4; ++i) {
            bad[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
        return ListingError(device, bad);
    };
    const std::size_t tx1 = 16384;
    EXPECT_EQ(corrupt(tx1 + 16, 0x20041000), "Cannot disasemble: opcode address 0x20041000 lies outside the tx1 processor block");
    EXPECT_EQ(corrupt(tx1 + 20, 0x1FFFFFFF), "Cannot disasemble: operand address 0x1FFFFFFF lies outside the tx1 processor block");
    EXPECT_EQ(corrupt(tx1 + 16, 0x20040004), "Cannot disasemble: stream 0 points into the header of the tx1 processor block");
    EXPECT_EQ(corrupt(tx1 + 4, 0x20040FF0), "Cannot disasemble: the jump table of the tx1 processor does not fit its block");
    EXPECT_EQ(corrupt(tx1 + 8, 0x0000FFFF), "Cannot disasemble: the jump table of the tx1 processor does not fit its block");
    // An opcode run that never returns: point stream 0 at the 0xFF padding.
    EXPECT_EQ(corrupt(tx1 + 16, 0x20040000 + 4000), "Cannot disasemble: unknown opcode: 0xFF");
    // Operands that run into the CRC.
    EXPECT_EQ(corrupt(tx1 + 20, 0x20040000 + 4092),
              "Cannot disasemble: operands of opcode 0xC0 run past the end of the operand bytes");
}

}  // namespace
}  // namespace Veltrix::Runnel
