// Writes the JSON Schemas of the files plover reads, from the field lists its
// readers use, so editors can validate and complete them:
//   plover_schemas OUT_FOLDER  ->  OUT_FOLDER/stream-settings.schema.json, ...
// Run by the build; the schemas are installed with the package.

#include <exception>
#include <fstream>
#include <iostream>
#include <string>

#include "host/BlueprintCheck.h"
#include "host/StreamSettings.h"

namespace {

bool Write(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        std::cerr << "plover_schemas: cannot write " << path << '\n';
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: plover_schemas OUT_FOLDER\n";
        return 2;
    }
    const std::string folder = argv[1];
    try {
        const bool ok = Write(folder + "/blueprint.schema.json", Veltrix::Marlin::Blueprint_JsonSchema()) &&
                        Write(folder + "/stream-settings.schema.json", Veltrix::Marlin::StreamSettings::JsonSchema_Get());
        return ok ? 0 : 1;
    } catch (const std::exception& e) {
        std::cerr << "plover_schemas: " << e.what() << '\n';
        return 1;
    }
}
