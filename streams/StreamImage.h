#pragma once
// The stream image of a configuration: what a designed profile asks for. The
// profile supplies its facts (or ready settings); the image is built from the
// Marlin resource folder found from topLevelPath.

#include <cstdint>
#include <string>
#include <vector>

#include "streams/StreamProfileFacts.h"
#include "streams/StreamSettings.h"

namespace Veltrix::Runnel {

inline constexpr const char* kDefaultSiVersion = "c0";

std::vector<std::uint8_t> StreamImage_Get(const StreamSettings& settings, const std::string& topLevelPath,
                                          const std::string& siVersion = kDefaultSiVersion);
std::vector<std::uint8_t> StreamImage_Get(const StreamProfileFacts& facts, const std::string& topLevelPath,
                                          const std::string& siVersion = kDefaultSiVersion);

// Builds the image, then writes it through a temporary file: a build failure
// throws as StreamImage_Get does and writes nothing; a file that cannot be
// written throws FileWriteError and leaves any existing file as it was.
void StreamImage_Save(const StreamSettings& settings, const std::string& filename, const std::string& topLevelPath,
                      const std::string& siVersion = kDefaultSiVersion);
void StreamImage_Save(const StreamProfileFacts& facts, const std::string& filename, const std::string& topLevelPath,
                      const std::string& siVersion = kDefaultSiVersion);

}  // namespace Veltrix::Runnel
