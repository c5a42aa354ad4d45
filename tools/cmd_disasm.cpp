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
        bool noVerify = false;
    };
    auto options = std::make_shared<Options>();
    auto* command = app.add_subcommand("disasm", "list the streams of a stream image");
    command->add_option("image", options->image, "stream image file")->required();
    command->add_option("--resources", options->resources,
                        "stream top-level folder (default: the bundled resources)");
    command->add_option("--si-version", options->siVersion, "silicon version")
        ->check(CLI::IsMember({"c0", "b0"}));
    command->add_flag("--no-verify", options->noVerify,
                      "list the image even when a block's CRC or a header field does not match the resources");
    return {command, [options] {
                const std::string bytes = ReadInput(options->image, "stream image");
                const std::string topLevel = TopLevelPath(options->resources, options->siVersion);
                std::string listing;
                try {
                    listing = StreamListing::Listing_Get(std::vector<std::uint8_t>(bytes.begin(), bytes.end()),
                                                         topLevel, options->siVersion, !options->noVerify);
                } catch (const std::logic_error& e) {
                    // A second line of the library's message (the size expected) becomes a line of its own.
                    const std::string text = e.what();
                    const auto split = text.find('\n');
                    std::string detail = split == std::string::npos ? std::string() : text.substr(split + 1);
                    if (detail.empty() && !options->noVerify && text.rfind("Block ", 0) == 0) {
                        detail = "--no-verify lists the image anyway";
                    }
                    throw UsageError("'" + options->image + "' is not a readable stream image: " +
                                         text.substr(0, split),
                                     detail);
                }
                std::cout << listing;
                return ExitSuccess;
            }};
}

}  // namespace Veltrix::Marlin::Cli
