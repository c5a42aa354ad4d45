// Fuzz target: the top-level file and the SPI register map parsers.

#include <sstream>

#include "FuzzSupport.h"
#include "streams/SpiRegisterMap.h"
#include "streams/TopLevel.h"

using namespace Veltrix::Runnel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text = Fuzz::Text(data, size);
    Fuzz::ExpectOnlyCleanErrors([&] {
        std::istringstream in(text);
        ParseTopLevel(in);
    });
    Fuzz::ExpectOnlyCleanErrors([&] {
        std::istringstream in(text);
        SpiRegisterMap::Parse(in, "fuzz.tv");
    });
    Fuzz::ExpectOnlyCleanErrors([&] { ParseTemplateVersion(text); });
    return 0;
}
