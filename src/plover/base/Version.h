#pragma once
// Version texts that hosts and stored files compare against.

namespace Veltrix::Marlin::Native {

inline constexpr const char* LibraryVersion = "0.53.13";
inline constexpr const char* StreamGeneratorVersion = "1.0.4";

}  // namespace Veltrix::Marlin::Native
