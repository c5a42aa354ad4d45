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

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

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
    EXPECT_EQ(Bytes(ReadText(c0File)), profile().StreamImage_Get(kTopLevel));
    EXPECT_EQ(Bytes(ReadText(b0File)), profile().StreamImage_Get(kTopLevel, "b0"));
    std::ostringstream listing;
    Runnel::Marlin("c0", kTopLevel).Image_Disassemble(c0File, listing);
    EXPECT_NE(listing.str().find("tx2 processor disassembly information: "), std::string::npos);

    // A second save replaces the file whole.
    ASSERT_EQ(profile().StreamImage_Save(c0File, kTopLevel, "b0"), 0);
    EXPECT_EQ(ReadText(c0File), ReadText(b0File));
}

}  // namespace
