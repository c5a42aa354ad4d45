#include "plover/base/FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "streams/InputFile.h"

namespace Veltrix::Marlin::Native {

namespace {

bool WriteAll(int fd, const std::string& bytes)
{
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

// Opens a new, uniquely named file beside the target. O_EXCL guarantees we
// never write into someone else's file; mode 0666 lets the umask decide, as
// for any file the user creates.
int OpenTemporary(const std::filesystem::path& target, std::string& tempPath)
{
    static std::atomic<unsigned> counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::filesystem::path candidate = target;
        candidate += ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            tempPath = candidate.string();
            return fd;
        }
        if (errno != EEXIST && errno != EINTR) {
            return -1;
        }
    }
    return -1;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& bytes)
{
    if (path.empty()) {
        return false;
    }
    const std::filesystem::path target(path);
    std::error_code ec;
    if (std::filesystem::is_directory(target, ec)) {
        return false;
    }
    std::string tempPath;
    const int fd = OpenTemporary(target, tempPath);
    if (fd < 0) {
        return false;
    }
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) {
        ok = std::rename(tempPath.c_str(), path.c_str()) == 0;
    }
    if (!ok) {
        ::unlink(tempPath.c_str());
    }
    return ok;
}

bool ReadFileWhole(const std::string& path, std::string& out)
{
    return Runnel::InputFile_Read(path, out) == Runnel::InputFileStatus::Read;
}

}  // namespace Veltrix::Marlin::Native
