// Fuzz target: stream-settings text through the settings reader.

#include <nlohmann/json.hpp>

#include "FuzzSupport.h"
#include "streams/JsonInput.h"
#include "streams/MarlinSettings.h"

using namespace Veltrix::Runnel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        const nlohmann::json json = Json_Parse(Fuzz::Text(data, size));
        Fuzz::ExpectOnlyCleanErrors([&] {
            MarlinSettings settings;
            settings.FromJson(json);
        });
    } catch (const nlohmann::json::exception&) {
    }
    return 0;
}
