// Fuzz target: profile text through the engine profile's file reader.

#include <nlohmann/json.hpp>

#include <unistd.h>

#include <fstream>

#include "FuzzSupport.h"
#include "plover/base/ErrorHandler.h"
#include "plover/profile/Profile.h"

using namespace Veltrix::Marlin::Native;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = "/tmp/plover_profile_fuzz_" + std::to_string(::getpid()) + ".json";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << Veltrix::Runnel::Fuzz::Text(data, size);
    try {
        Profile profile;
        profile.Load(path);
    } catch (const nlohmann::json::exception&) {
    } catch (const RecordedError&) {
    }
    return 0;
}
