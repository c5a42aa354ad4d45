#include "host/StreamListing.h"

#include <sstream>

#include "streams/Marlin.h"

namespace Veltrix::Marlin {

void StreamListing::Resources_Check(const std::string& topLevelPath, const std::string& siVersion)
{
    const Runnel::Marlin device(siVersion, topLevelPath);
}

std::string StreamListing::Listing_Get(const std::vector<std::uint8_t>& image, const std::string& topLevelPath,
                                       const std::string& siVersion, bool verify)
{
    const Runnel::Marlin device(siVersion, topLevelPath);
    if (verify) {
        device.Image_Verify(image);
    }
    std::ostringstream listing;
    device.Image_Disassemble(image, listing);
    return listing.str();
}

}  // namespace Veltrix::Marlin
