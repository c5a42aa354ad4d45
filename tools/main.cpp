#include <CLI/CLI.hpp>

#include <iostream>

#include "plover/Version.h"

int main(int argc, char** argv)
{
    using namespace Veltrix::Marlin::Native;
    CLI::App app{"plover: designs device profiles for the Marlin RF transceiver"};
    app.set_version_flag("--version", std::string("plover ") + LibraryVersion + " (streams " + StreamGeneratorVersion + ")");
    CLI11_PARSE(app, argc, argv);
    std::cout << app.help();
    return 0;
}
