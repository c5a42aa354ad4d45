// Fuzz target: the image listing. The input patches a real image built from
// the resource folder (three bytes a patch: offset low, offset high, value), so
// that the fuzzer reaches the jump tables and runs rather than stopping at the
// size check.

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
    for (std::size_t i = 0; i + 3 <= size; i += 3) {
        const std::size_t offset = (data[i] | (data[i + 1] << 8)) * 2 % patched.size();
        patched[offset] = data[i + 2];
    }
    if (size % 3 == 1) {
        patched.resize(patched.size() - data[size - 1]);
    }
    Fuzz::ExpectOnlyCleanErrors([&] {
        std::ostringstream listing;
        device.Image_Disassemble(patched, listing);
    });
    return 0;
}
