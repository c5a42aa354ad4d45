// Fuzz target: the top-level file as the build reads it, through the whole
// image build. The input is the top-level text; after a NUL byte, if any, comes
// the text of the tx1 stream source. A copy of the bundled resources in a
// scratch folder takes both. Whatever the build accepts must come out as an
// image that passes its own checks.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "FuzzSupport.h"
#include "streams/Marlin.h"
#include "streams/MarlinSettings.h"

using namespace Veltrix::Runnel;
namespace fs = std::filesystem;

namespace {

fs::path Resources()
{
    const fs::path root = fs::temp_directory_path() / ("plover_image_build_fuzz_" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root);
    fs::copy(fs::path(PLOVER_SOURCE_DIR) / "resources" / "asm", root / "asm", fs::copy_options::recursive);
    std::atexit([] {
        std::error_code error;
        fs::remove_all(fs::temp_directory_path() / ("plover_image_build_fuzz_" + std::to_string(::getpid())), error);
    });
    return root / "asm" / "marlin";
}

void Write(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fs::path marlin = Resources();
    static const std::string tx1Source = [] {
        std::ifstream in(marlin / "stream_image_tx1.txt", std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }();
    const std::string input = Fuzz::Text(data, size);
    const auto split = input.find('\0');
    Write(marlin / "top_level" / "top_level.txt", input.substr(0, split));
    Write(marlin / "stream_image_tx1.txt", split == std::string::npos ? tx1Source : input.substr(split + 1));

    std::vector<std::uint8_t> image;
    std::unique_ptr<Marlin> device;
    Fuzz::ExpectOnlyCleanErrors([&] {
        device = std::make_unique<Marlin>("c0", (marlin / "top_level").string());
        MarlinSettings settings;
        settings.defines["DEBUG"] = "1";
        device->Settings_Set(settings);
        image = device->Image_Build();
    });
    if (device && !image.empty()) {
        // Not inside ExpectOnlyCleanErrors: an image the build made that its
        // own checks refuse is a fault, and escapes to libFuzzer. The listing
        // may refuse what the assembler takes (an address no register name
        // carries), cleanly.
        device->Image_Verify(image);
        Fuzz::ExpectOnlyCleanErrors([&] {
            std::ostringstream listing;
            device->Image_Disassemble(image, listing);
        });
    }
    return 0;
}
