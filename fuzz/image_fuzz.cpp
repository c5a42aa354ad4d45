// Fuzz target: the image checks and the listing. The input patches a real
// image built from the resource folder, so that the fuzzer reaches the jump
// tables and runs rather than stopping at the size check: three bytes a patch
// (offset low, offset high, value; the 16-bit offset wraps over the image, so
// every byte can be reached). One byte left over shrinks the image by that
// many bytes; two left over grow it by the first, filled with the second.

#include <sstream>

#include "FuzzSupport.h"
#include "streams/Marlin.h"
#include "streams/MarlinSettings.h"

using namespace Veltrix::Runnel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Marlin device("c0", std::string(PLOVER_SOURCE_DIR) + "/resources/asm/marlin/top_level");
    static const std::vector<std::uint8_t> image = [] {
        MarlinSettings settings;
        settings.defines["DEBUG"] = "1";
        device.Settings_Set(settings);
        return device.Image_Build();
    }();
    std::vector<std::uint8_t> patched = image;
    const std::size_t patches = size / 3;
    for (std::size_t i = 0; i < patches * 3; i += 3) {
        const std::size_t offset = static_cast<std::size_t>(data[i] | (data[i + 1] << 8)) % patched.size();
        patched[offset] = data[i + 2];
    }
    if (size % 3 == 1) {
        patched.resize(patched.size() - data[size - 1]);
    } else if (size % 3 == 2) {
        patched.resize(patched.size() + data[size - 2], data[size - 1]);
    }
    Fuzz::ExpectOnlyCleanErrors([&] { device.Image_Verify(patched); });
    Fuzz::ExpectOnlyCleanErrors([&] {
        std::ostringstream listing;
        device.Image_Disassemble(patched, listing);
    });
    return 0;
}
