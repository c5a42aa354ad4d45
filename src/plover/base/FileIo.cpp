#include "plover/base/FileIo.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "streams/AtomicFile.h"

namespace Veltrix::Marlin::Native {

bool WriteFileAtomically(const std::string& path, const std::string& bytes)
{
    std::string failure;
    return WriteFileAtomically(path, bytes, failure);
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string& failure)
{
    try {
        Runnel::WriteFileAtomically(path, bytes);
    } catch (const Runnel::FileWriteError& e) {
        failure = e.what();
        return false;
    }
    return true;
}

bool WriteFileAtomically(const std::string& path,
                         const std::function<void(const std::function<void(std::string_view)>& sink)>& produce,
                         std::string& failure)
{
    try {
        Runnel::WriteFileAtomically(path, produce);
    } catch (const Runnel::FileWriteError& e) {
        failure = e.what();
        return false;
    }
    return true;
}

void RemoveTemporariesOnSignals()
{
    Runnel::RemoveTemporariesOnSignals();
}

bool ReadFileWhole(const std::string& path, std::string& out)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        return false;
    }
    out = std::move(content).str();
    return true;
}

}  // namespace Veltrix::Marlin::Native
