// plover disasm: lists the streams of a stream image file.

#include <iostream>
#include <vector>

#include "Cli.h"
#include "host/StreamListing.h"

namespace Veltrix::Marlin::Cli {

Command AddDisasmCommand(CLI::App& app)
{
    struct Options {
        std::string image;
        std::string resources;
        std::string siVersion = "c0";
    };
    auto options = std::make_shared<Options>();
    auto* command = app.add_subcommand("disasm", "list the streams of a stream image");
    command->add_option("image", options->image, "stream image file")->required();
    command->add_option("--resources", options->resources,
                        "stream top-level folder (default: the bundled resources)");
    command->add_option("--si-version", options->siVersion, "silicon version")
        ->check(CLI::IsMember({"c0", "b0"}));
    return {command, [options] {
                const std::string bytes = ReadInput(options->image, "stream image");
                const std::string topLevel = TopLevelPath(options->resources, options->siVersion);
                std::string listing;
                try {
                    listing = StreamListing::Listing_Get(std::vector<std::uint8_t>(bytes.begin(), bytes.end()),
                                                         topLevel, options->siVersion);
                } catch (const std::logic_error& e) {
                    throw UsageError("'" + options->image + "' is not a readable stream image: " + e.what());
                }
                std::cout << listing;
                return ExitSuccess;
            }};
}

}  // namespace Veltrix::Marlin::Cli
