#include "streams/AtomicFile.h"

#include <filesystem>
#include <fstream>
#include <random>

namespace Veltrix::Runnel {

void WriteFileAtomically(const std::string& path, std::string_view contents)
{
    namespace fs = std::filesystem;
    if (path.empty()) {
        throw FileWriteError("Can't write file: the file name is empty");
    }
    const fs::path target(path);
    // Same folder as the target, so that the rename stays on one file system.
    std::random_device seed;
    const fs::path temp = target.parent_path() /
                          (target.filename().string() + ".tmp" + std::to_string(seed() % 1000000));
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            throw FileWriteError("Can't write file: " + path);
        }
        out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            fs::remove(temp, ignored);
            throw FileWriteError("Can't write file: " + path);
        }
    }
    std::error_code error;
    fs::rename(temp, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        throw FileWriteError("Can't write file: " + path + " (" + error.message() + ")");
    }
}

void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& contents)
{
    WriteFileAtomically(path, std::string_view(reinterpret_cast<const char*>(contents.data()), contents.size()));
}

}  // namespace Veltrix::Runnel
