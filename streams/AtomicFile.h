#pragma once
// The one file writer of the library and the tool. A regular target is never
// left half-written: the bytes go to a new temporary file (O_EXCL, so nobody
// else's file is ever opened) in the target's folder, are flushed to disk, and
// only then renamed over the target, after which the folder itself is flushed
// so the rename survives a power cut. A symbolic link is written through to
// the file it names, in that file's folder, and a replaced file keeps its
// permissions. Targets that are not regular files are never replaced: devices
// and FIFOs (and anything under /dev or /proc, such as /dev/stdout) are written
// in place, folders are refused.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace Veltrix::Runnel {

// The file could not be written; the target is left as it was and no
// temporary file remains.
class FileWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

void WriteFileAtomically(const std::string& path, std::string_view contents);
void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& contents);

// The same for contents too large to hold at once: produce hands its bytes to
// the sink a chunk at a time. An exception from produce removes the temporary
// file and passes on.
using ByteSink = std::function<void(std::string_view bytes)>;
void WriteFileAtomically(const std::string& path, const std::function<void(const ByteSink& sink)>& produce);

// Removes the temporary files of writes in progress. Async-signal-safe: meant
// for signal handlers.
void RemovePendingTemporaries() noexcept;

// Installs handlers for SIGINT, SIGTERM and SIGHUP that remove the temporary
// files of writes in progress and then end the process by the same signal.
// For programs (the tool); a library caller decides about its own signals.
void RemoveTemporariesOnSignals();

// The name of the temporary file a write of target would start with: the
// target's name cut short enough that the whole name fits the file-system
// limit, then ".tmp" and a unique suffix.
std::string TemporaryName(const std::string& targetName, const std::string& suffix);

}  // namespace Veltrix::Runnel
