#include "streams/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace Veltrix::Runnel {

namespace {

// Symbolic links followed before giving up, as the kernel's own limit.
constexpr int kMaxLinkHops = 40;

// Temporary files of writes in progress, for the signal handlers. A slot is
// free (0), being filled (1) or names a file to remove (2); a write that finds
// no free slot goes unregistered rather than waiting.
struct PendingSlot {
    std::atomic<int> state{0};
    char path[PATH_MAX]{};
};
std::array<PendingSlot, 16> pending;

PendingSlot* Register(const std::string& path)
{
    if (path.size() >= PATH_MAX) {
        return nullptr;
    }
    for (PendingSlot& slot : pending) {
        int expected = 0;
        if (slot.state.compare_exchange_strong(expected, 1)) {
            std::memcpy(slot.path, path.c_str(), path.size() + 1);
            slot.state.store(2);
            return &slot;
        }
    }
    return nullptr;
}

void Unregister(PendingSlot* slot)
{
    if (slot != nullptr) {
        slot->state.store(0);
    }
}

[[noreturn]] void Fail(const std::string& path, const std::string& reason)
{
    throw FileWriteError("Can't write file: " + path + " (" + reason + ")");
}

[[noreturn]] void FailErrno(const std::string& path, int error)
{
    Fail(path, std::strerror(error));
}

bool WriteAll(int fd, std::string_view bytes)
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

std::string ParentOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsSystemPath(const std::string& path)
{
    return path.rfind("/dev/", 0) == 0 || path.rfind("/proc/", 0) == 0;
}

// Where the bytes go: the file at the end of any symbolic links, whether it
// exists (and its status), and whether it is written in place.
struct Target {
    std::string path;
    bool exists = false;
    bool inPlace = false;
    struct stat status {};
};

Target Resolve(const std::string& path)
{
    Target target;
    target.path = path;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        if (::lstat(target.path.c_str(), &target.status) != 0) {
            if (errno == ENOENT) {
                return target;
            }
            FailErrno(path, errno);
        }
        if (S_ISLNK(target.status.st_mode)) {
            // /dev/stdout and /proc/self/fd/N name open files, not places for a new one.
            if (IsSystemPath(target.path)) {
                if (::stat(target.path.c_str(), &target.status) != 0) {
                    FailErrno(path, errno);
                }
                if (S_ISDIR(target.status.st_mode)) {
                    Fail(path, "it is a folder");
                }
                target.inPlace = true;
                target.exists = true;
                return target;
            }
            std::string link(PATH_MAX, '\0');
            const ssize_t length = ::readlink(target.path.c_str(), link.data(), link.size());
            if (length < 0) {
                FailErrno(path, errno);
            }
            link.resize(static_cast<std::size_t>(length));
            target.path = link.front() == '/' ? link : ParentOf(target.path) + "/" + link;
            continue;
        }
        target.exists = true;
        if (S_ISDIR(target.status.st_mode)) {
            Fail(path, "it is a folder");
        }
        target.inPlace = !S_ISREG(target.status.st_mode) || IsSystemPath(target.path);
        return target;
    }
    FailErrno(path, ELOOP);
}

// Runs the producer into fd; the errno of the first failed write, else 0.
int Produce(int fd, const std::function<void(const ByteSink&)>& produce)
{
    int error = 0;
    produce([fd, &error](std::string_view bytes) {
        if (error == 0 && !WriteAll(fd, bytes)) {
            error = errno != 0 ? errno : EIO;
        }
    });
    return error;
}

void WriteInPlace(const std::string& path, const Target& target, const std::function<void(const ByteSink&)>& produce)
{
    // A regular file reached through /dev or /proc is usually the caller's own
    // redirected output: append to it, as the shell's descriptor does.
    const bool regular = S_ISREG(target.status.st_mode);
    const int flags = O_WRONLY | O_CLOEXEC | O_NOCTTY | (regular ? O_APPEND : 0);
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0) {
        FailErrno(path, errno);
    }
    int error = 0;
    try {
        error = Produce(fd, produce);
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (error == 0 && regular && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0 && errno != EINTR) {
        error = errno;
    }
    if (error != 0) {
        FailErrno(path, error);
    }
}

void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        // Some file systems cannot flush a folder (EINVAL); the rename stands either way.
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

std::string TemporaryName(const std::string& targetName, const std::string& suffix)
{
    const std::string tail = ".tmp" + suffix;
    const std::size_t room = NAME_MAX > tail.size() ? NAME_MAX - tail.size() : 0;
    return targetName.substr(0, room) + tail;
}

void WriteFileAtomically(const std::string& path, std::string_view contents)
{
    WriteFileAtomically(path, [contents](const ByteSink& sink) { sink(contents); });
}

void WriteFileAtomically(const std::string& path, const std::function<void(const ByteSink& sink)>& produce)
{
    if (path.empty()) {
        throw FileWriteError("Can't write file: the file name is empty");
    }
    const Target target = Resolve(path);
    if (target.inPlace) {
        WriteInPlace(path, target, produce);
        return;
    }

    // Same folder as the target, so that the rename stays on one file system.
    const std::string folder = ParentOf(target.path);
    static std::atomic<unsigned> counter{0};
    int fd = -1;
    std::string temp;
    // The stopping signals wait until the new temporary is registered: one
    // arriving between its creation and its registration would leave it behind.
    sigset_t stopping, previous;
    sigemptyset(&stopping);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stopping, signal);
    ::pthread_sigmask(SIG_BLOCK, &stopping, &previous);
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder + "/" +
               TemporaryName(NameOf(target.path), std::to_string(::getpid()) + "_" + std::to_string(counter++));
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST && errno != EINTR) {
            const int error = errno;
            ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
            FailErrno(path, error);
        }
    }
    PendingSlot* slot = fd < 0 ? nullptr : Register(temp);
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (fd < 0) {
        Fail(path, "no free temporary file name");
    }

    int error = 0;
    if (target.exists) {
        // The owner first: changing it may clear the set-id bits the mode restores.
        [[maybe_unused]] const int ignored = ::fchown(fd, target.status.st_uid, target.status.st_gid);
        if (::fchmod(fd, target.status.st_mode & 07777) != 0) {
            error = errno;
        }
    }
    if (error == 0) {
        try {
            error = Produce(fd, produce);
        } catch (...) {
            ::close(fd);
            ::unlink(temp.c_str());
            Unregister(slot);
            throw;
        }
    }
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0 && errno != EINTR) {
        error = errno;
    }
    if (error == 0 && std::rename(temp.c_str(), target.path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temp.c_str());
        Unregister(slot);
        FailErrno(path, error);
    }
    Unregister(slot);
    SyncFolder(folder);
}

void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& contents)
{
    WriteFileAtomically(path, std::string_view(reinterpret_cast<const char*>(contents.data()), contents.size()));
}

void RemovePendingTemporaries() noexcept
{
    for (PendingSlot& slot : pending) {
        if (slot.state.load() == 2) {
            ::unlink(slot.path);
        }
    }
}

namespace {

void RemoveTemporariesAndDie(int signal)
{
    RemovePendingTemporaries();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

void RemoveTemporariesOnSignals()
{
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        // A signal the caller ignores (nohup's SIGHUP) stays ignored.
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = RemoveTemporariesAndDie;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

}  // namespace Veltrix::Runnel
