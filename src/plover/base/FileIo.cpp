#include "plover/base/FileIo.h"

#include <filesystem>

#include "streams/InputFile.h"

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
    return Runnel::InputFile_Read(path, out) == Runnel::InputFileStatus::Read;
}

}  // namespace Veltrix::Marlin::Native
