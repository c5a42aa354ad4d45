// The images built from the bundled resources, pinned as golden text: each
// image's size and CRC32, then its listing (tests/data/streams/README.md says
// where the files come from and how to regenerate them).
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include <nlohmann/json.hpp>

#include "support/Files.h"
#include "support/Json.h"
#include "support/Throws.h"
#include "streams/Crc32.h"
#include "streams/HexText.h"
#include "streams/Marlin.h"
#include "streams/MarlinSettings.h"
#include "streams/StreamImage.h"

namespace Veltrix::Runnel {
namespace {

const std::string kTopLevel = PloverTest::SourcePath("resources/asm/marlin/top_level");

// The default delays with every flag set (a settings file), and the DEBUG branches of the sources.
MarlinSettings EverythingOn()
{
    MarlinSettings s;
    s.Load(PloverTest::SourcePath("tests/data/streams/settings-everything-on.json"));
    s.defines["DEBUG"] = "1";
    return s;
}

TEST(ResourceImage, ImagesAndListingsMatchTheGoldenText)
{
    for (const auto& [name, si, on] : {std::tuple{"c0-default", "c0", false}, {"c0-everything-on", "c0", true},
                                       {"b0-everything-on", "B0", true}}) {
        SCOPED_TRACE(name);
        const MarlinSettings settings = on ? EverythingOn() : MarlinSettings();
        Marlin device(si, kTopLevel);
        device.Settings_Set(settings);
        const auto image = device.Image_Build();
        EXPECT_EQ(image, StreamImage_Get(settings, kTopLevel, si));
        std::ostringstream text;
        text << "image of " << image.size() << " bytes, CRC32 " << Hex(Crc32(image), 8) << "\n";
        device.Image_Disassemble(image, text);
        const std::string golden = PloverTest::SourcePath("tests/data/streams/image-" + std::string(name) + ".txt");
        if (std::getenv("PLOVER_REGENERATE_GOLDEN")) PloverTest::WriteText(golden, text.str());
        EXPECT_EQ(PloverTest::FirstDifference(PloverTest::ReadText(golden), text.str()), "");
    }
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

// Each row of tests/data/streams/corrupt-images.json puts a 32-bit word into a
// good image and names the message; nothing outside the image may be read.
TEST(ImageListing, CorruptImagesAreRejectedWithoutReadingOutsideThem)
{
    Marlin device("c0", kTopLevel);
    const auto image = device.Image_Build();
    const auto error = [&](const std::vector<std::uint8_t>& bytes) {
        std::ostringstream listing;
        return PloverTest::ThrownText<std::invalid_argument>([&] { device.Image_Disassemble(bytes, listing); });
    };
    EXPECT_EQ(error(image), PloverTest::NoException);
    EXPECT_EQ(error(std::vector<std::uint8_t>(image.begin(), image.end() - 1)),
              "Stream binary image is not the correct size (final image sized fixed at 20512 bytes)\n"
              "Expected 32768 bytes (the processor sizes of the top-level file), found 32767");
    const auto rows =
        nlohmann::json::parse(PloverTest::ReadText(PloverTest::SourcePath("tests/data/streams/corrupt-images.json")));
    for (const auto& row : rows) {
        auto bad = image;
        const std::size_t at = row[0];
        const std::uint32_t value = *ParseHex(row[1].get<std::string>());
        for (int i = 0; i < 4; ++i) bad[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
        EXPECT_EQ(error(bad), row[2]) << row[0] << " " << row[1];
    }
}

}  // namespace
}  // namespace Veltrix::Runnel
