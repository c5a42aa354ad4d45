// The stream image of a developed profile, built from the bundled resource
// folder: its blocks hold the streams of its sources, read with the profile's
// own settings, and nothing else.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "support/Examples.h"
#include "support/Files.h"
#include "plover/profile/ProfileStreams.h"
#include "streams/Crc32.h"
#include "streams/Marlin.h"
#include "streams/MarlinSettings.h"
#include "streams/StreamImage.h"
#include "streams/StreamListing.h"
#include "streams/StreamReader.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;
namespace Runnel = Veltrix::Runnel;

namespace {

const std::string kTopLevel = std::string(PLOVER_SOURCE_DIR) + "/resources/asm/marlin/top_level";

std::uint32_t Le32(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

std::vector<std::uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class DevelopedProfileImage : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        profile_ = new Profile();
        ASSERT_EQ(Develop(*profile_, Example("lte-20mhz-2t2r-tdd")), 0);
    }
    static void TearDownTestSuite()
    {
        delete profile_;
        profile_ = nullptr;
    }
    static const Profile& profile() { return *profile_; }

private:
    static inline Profile* profile_ = nullptr;
};

TEST_F(DevelopedProfileImage, SettingsComeFromTheDesign)
{
    const Profile& p = profile();
    const auto facts = StreamProfileFacts_Get(p);
    EXPECT_EQ(facts.processorClockFrequency_Hz, 184'320'000U);
    EXPECT_TRUE(facts.txChannels[0].enabled);
    EXPECT_TRUE(facts.txChannels[1].enabled);
    EXPECT_EQ(facts.txChannels[0].channelNumber, 1);
    EXPECT_EQ(facts.txChannels[1].channelNumber, 2);
    EXPECT_NE(p.pllLockWait_us, 0);

    const auto settings = p.GenerateMarlinStreamSettings();
    // Two transmitters and two receivers on the internal LOs, receivers on input A, I/Q transmit.
    EXPECT_TRUE(settings->tx1IntLo() && settings->tx2IntLo() && settings->rx1IntLo() && settings->rx2IntLo());
    EXPECT_TRUE(settings->rx1A() && settings->rx2A());
    EXPECT_FALSE(settings->tx1FMDM() || settings->tx2FMDM());
    EXPECT_EQ(settings->pll1LockWait(), p.NanoSecondsToStreamDelay(1000U * p.pllLockWait_us));
    EXPECT_EQ(settings->delay_80ns(), 15);
    EXPECT_EQ(settings->delay_1us(), 184);
}

TEST_F(DevelopedProfileImage, DisassemblesBackToItsSourcesInstructions)
{
    const auto image = profile().StreamImage_Get(kTopLevel);
    const Runnel::Marlin device("c0", kTopLevel);
    const auto settings = profile().GenerateMarlinStreamSettings();
    ASSERT_EQ(image.size(), 16384U + 4 * 4096U);

    std::size_t blockStart = 0;
    std::size_t streamsChecked = 0;
    for (const std::string& name : device.TopLevel().processors) {
        SCOPED_TRACE(name);
        const Runnel::ProcessorInfo& processor = device.Processor(name);
        const std::vector<std::uint8_t> block(image.begin() + static_cast<std::ptrdiff_t>(blockStart),
                                              image.begin() + static_cast<std::ptrdiff_t>(blockStart + processor.size));
        blockStart += processor.size;
        EXPECT_EQ(Le32(block, block.size() - 4),
                  Runnel::Crc32(std::span<const std::uint8_t>(block.data(), block.size() - 4)));

        const std::size_t extra = name == device.CoreProcessor() ? device.ExtraCoreHeaderBytes() : 0;
        EXPECT_EQ(Le32(block, extra), processor.binaryBase);
        std::ifstream source(device.ChipFolder() / processor.streamFile);
        const auto streams = Runnel::ReadStreams(source, device.Registers(), *settings);
        ASSERT_FALSE(streams.empty());
        for (const auto& stream : streams) {
            const std::size_t entry = extra + 16 + 8 * stream->StreamNumber();
            const auto decoded = Runnel::DisassembleStream(
                device.Registers(), block, Le32(block, entry) - processor.binaryBase,
                Le32(block, entry + 4) - processor.binaryBase, block.size() - 4, processor.sliceTag);
            const auto& expected = stream->Instructions();
            ASSERT_EQ(decoded.size(), expected.size()) << "stream " << int{stream->StreamNumber()};
            for (std::size_t i = 0; i < decoded.size(); ++i) {
                EXPECT_EQ(decoded[i].opcode, expected[i]->opcode) << decoded[i].text;
                EXPECT_EQ(decoded[i].operands, expected[i]->operands) << decoded[i].text;
            }
            ++streamsChecked;
        }
    }
    EXPECT_EQ(blockStart, image.size());
    EXPECT_GE(streamsChecked, 10U);
}

TEST_F(DevelopedProfileImage, IsBuiltWithTheProfilesSettingsForEitherSilicon)
{
    const auto settings = profile().GenerateMarlinStreamSettings();
    const auto c0 = profile().StreamImage_Get(kTopLevel, "c0");
    EXPECT_EQ(c0, profile().StreamImage_Get(kTopLevel));
    EXPECT_EQ(c0, Runnel::StreamImage_Get(*settings, kTopLevel, "c0"));
    // The profile's settings reach the templates: the default settings give another image.
    EXPECT_NE(c0, Runnel::StreamImage_Get(Runnel::MarlinSettings(), kTopLevel, "c0"));

    const auto b0 = profile().StreamImage_Get(kTopLevel, "B0");
    EXPECT_EQ(b0, Runnel::StreamImage_Get(*settings, kTopLevel, "b0"));
    EXPECT_EQ(b0.size(), c0.size());
    EXPECT_NE(b0, c0);
}

TEST_F(DevelopedProfileImage, SavedImagesAreTheBuiltBytesAndListBack)
{
    TempFolder folder;
    const std::string c0File = folder.File("c0.bin");
    const std::string b0File = folder.File("b0.bin");
    ASSERT_EQ(profile().StreamImage_Save(c0File, kTopLevel), 0);
    ASSERT_EQ(profile().StreamImage_Save(b0File, kTopLevel, "b0"), 0);
    EXPECT_EQ(ReadBytes(c0File), profile().StreamImage_Get(kTopLevel));
    EXPECT_EQ(ReadBytes(b0File), profile().StreamImage_Get(kTopLevel, "b0"));
    std::ostringstream listing;
    Runnel::Marlin("c0", kTopLevel).Image_Disassemble(c0File, listing);
    EXPECT_NE(listing.str().find("tx2 processor disassembly information: "), std::string::npos);

    // A second save replaces the file whole.
    ASSERT_EQ(profile().StreamImage_Save(c0File, kTopLevel, "b0"), 0);
    EXPECT_EQ(ReadBytes(c0File), ReadBytes(b0File));
}

}  // namespace
