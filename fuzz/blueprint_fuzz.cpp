// Fuzz target: blueprint text through the tool's own loading (file read,
// key/type/range check, engine reader), strict and lenient. A text that
// loads must save to a text that passes the check and reloads to itself.

#include <nlohmann/json.hpp>

#include <unistd.h>

#include <fstream>
#include <iostream>
#include <sstream>

#include "../tools/Cli.h"
#include "FuzzSupport.h"
#include "host/BlueprintCheck.h"

using namespace Veltrix::Marlin;

namespace {

// The outcomes the tool turns into a clean exit status.
template <typename Action>
void CleanOutcomes(Action&& action)
{
    try {
        action();
    } catch (const Cli::UsageError&) {
    } catch (const Cli::OperationFailed&) {
    } catch (const nlohmann::json::exception&) {
    }
}

std::string ScratchFile()
{
    return "/tmp/plover_blueprint_fuzz_" + std::to_string(::getpid()) + ".json";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = ScratchFile();
    static std::ostringstream sink;
    std::cerr.rdbuf(sink.rdbuf());  // the tool's warning lines
    sink.str({});
    std::ofstream(path, std::ios::binary | std::ios::trunc) << Veltrix::Runnel::Fuzz::Text(data, size);

    for (const bool lenient : {false, true}) {
        CleanOutcomes([&] {
            Cli::BlueprintOptions options;
            options.path = path;
            options.lenient = lenient;
            MarlinBlueprint loaded = Cli::LoadBlueprint(options);
            const std::string saved = loaded.ToNative().SaveToString();
            if (!Blueprint_CheckKeys(saved).empty()) {
                std::abort();  // the library wrote a file its own check refuses
            }
            MarlinBlueprint again;
            again.LoadFromString(saved);
            if (again.ToNative().SaveToString() != saved) {
                std::abort();  // a saved file does not read back to itself
            }
        });
    }
    return 0;
}
