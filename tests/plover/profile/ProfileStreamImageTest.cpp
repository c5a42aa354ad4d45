// The stream image of a developed profile, built from the bundled resource
// folder with the profile's own settings, for either silicon, and saved whole.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/Examples.h"
#include "support/Files.h"
#include "plover/profile/ProfileStreams.h"
#include "streams/Marlin.h"
#include "streams/MarlinSettings.h"
#include "streams/StreamImage.h"

using namespace Veltrix::Marlin::Native;
using namespace PloverTest;
namespace Runnel = Veltrix::Runnel;

TEST(DevelopedProfileImage, IsBuiltWithTheProfilesSettingsAndSavedWhole)
{
    const std::string topLevel = SourcePath("resources/asm/marlin/top_level");
    Profile profile;
    ASSERT_EQ(Develop(profile, Example("lte-20mhz-2t2r-tdd")), 0);
    const auto settings = profile.GenerateMarlinStreamSettings();
    const auto c0 = profile.StreamImage_Get(topLevel, "c0");
    EXPECT_EQ(c0, profile.StreamImage_Get(topLevel));
    EXPECT_EQ(c0, Runnel::StreamImage_Get(*settings, topLevel, "c0"));
    // The profile's settings reach the templates: the default settings give another image.
    EXPECT_NE(c0, Runnel::StreamImage_Get(Runnel::MarlinSettings(), topLevel, "c0"));
    const auto b0 = profile.StreamImage_Get(topLevel, "B0");
    EXPECT_EQ(b0, Runnel::StreamImage_Get(*settings, topLevel, "b0"));
    EXPECT_NE(b0, c0);

    TempFolder folder;
    const std::string file = folder.File("image.bin");
    ASSERT_EQ(profile.StreamImage_Save(file, topLevel), 0);
    EXPECT_EQ(ReadText(file), std::string(c0.begin(), c0.end()));
    std::ostringstream listing;
    Runnel::Marlin("c0", topLevel).Image_Disassemble(file, listing);
    EXPECT_NE(listing.str().find("tx2 processor disassembly information: "), std::string::npos);
    // A second save replaces the file whole.
    ASSERT_EQ(profile.StreamImage_Save(file, topLevel, "b0"), 0);
    EXPECT_EQ(ReadText(file), std::string(b0.begin(), b0.end()));
}
