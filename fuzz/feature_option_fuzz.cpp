// Fuzz target: --feature values, parsed and enabled on a blueprint.

#include "../tools/Cli.h"
#include "FuzzSupport.h"

using namespace Veltrix::Marlin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        const auto feature = Cli::ParseFeatureOption(Veltrix::Runnel::Fuzz::Text(data, size));
        MarlinBlueprint blueprint;
        blueprint.rxChannel1().enabled(true);
        blueprint.rxChannel1().samplingRate_Hz(1920000);
        (void)blueprint.Feature_Enable(*feature);
    } catch (const Cli::UsageError&) {
    }
    return 0;
}
