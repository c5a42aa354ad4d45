#include "streams/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace Veltrix::Runnel {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }

private:
    int fd_;
};

std::string Quoted(const std::string& path)
{
    return "'" + path + "'";
}

std::string TooLargeText(const std::string& path, std::uintmax_t limit)
{
    return Quoted(path) + " is larger than the " + std::to_string(limit) + "-byte limit for input files";
}

}  // namespace

InputFileStatus InputFile_Read(const std::string& path, std::string& out, std::string* problem, std::uintmax_t limit)
{
    auto fail = [problem](InputFileStatus status, std::string text) {
        if (problem != nullptr) {
            *problem = std::move(text);
        }
        return status;
    };
    // O_NONBLOCK: opening a FIFO with no writer must not wait for one.
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) {
        return fail(InputFileStatus::CannotOpen, "cannot open " + Quoted(path));
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        return fail(InputFileStatus::CannotOpen, "cannot open " + Quoted(path));
    }
    if (S_ISDIR(info.st_mode)) {
        return fail(InputFileStatus::NotRegular, Quoted(path) + " is a folder, not a file");
    }
    if (!S_ISREG(info.st_mode)) {
        return fail(InputFileStatus::NotRegular, Quoted(path) + " is not a regular file");
    }
    if (static_cast<std::uintmax_t>(info.st_size) > limit) {
        return fail(InputFileStatus::TooLarge, TooLargeText(path, limit));
    }
    // The file may grow while it is read: never take more than the limit.
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fail(InputFileStatus::CannotOpen, "cannot read " + Quoted(path));
        }
        if (got == 0) {
            break;
        }
        if (bytes.size() + static_cast<std::size_t>(got) > limit) {
            return fail(InputFileStatus::TooLarge, TooLargeText(path, limit));
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    out = std::move(bytes);
    return InputFileStatus::Read;
}

std::string InputFile_ReadOrThrow(const std::string& path, const std::string& cannotOpenText)
{
    std::string bytes;
    std::string problem;
    switch (InputFile_Read(path, bytes, &problem)) {
    case InputFileStatus::Read:
        return bytes;
    case InputFileStatus::CannotOpen:
        throw std::invalid_argument(cannotOpenText);
    default:
        throw std::invalid_argument(problem);
    }
}

}  // namespace Veltrix::Runnel
