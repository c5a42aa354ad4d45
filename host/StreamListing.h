#pragma once
/// @file
/// The chip's stream resources and the listing of a stream image, for clients
/// that read images rather than build them.

#include <cstdint>
#include <string>
#include <vector>

namespace Veltrix::Marlin {

/// Stream resources and image listings.
class StreamListing {
public:
    /// Opens the chip's stream resources in topLevelPath for silicon version
    /// siVersion ("c0" or "b0"); std::logic_error saying what is missing or
    /// unreadable when they cannot be used.
    static void Resources_Check(const std::string& topLevelPath, const std::string& siVersion);

    /// The listing of every stream in image; std::logic_error when the
    /// resources cannot be used or the image cannot be read. With verify, an
    /// image that these resources would not have built is refused first: a
    /// wrong size, a block whose CRC does not match its bytes, or a header
    /// field (identifiers, versions, addresses, sizes) that differs from the
    /// top-level file; the message names the block and the field.
    static std::string Listing_Get(const std::vector<std::uint8_t>& image, const std::string& topLevelPath,
                                   const std::string& siVersion, bool verify = true);
};

}  // namespace Veltrix::Marlin
