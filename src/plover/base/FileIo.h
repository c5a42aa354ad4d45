#pragma once
// Whole-file reads and crash-safe whole-file writes. Every file the library
// writes goes through WriteFileAtomically, the stream library's one writer
// (streams/AtomicFile.h): the bytes land in a fresh temporary file in the
// target's folder, are flushed to disk, and only then renamed over the target,
// so a failed or interrupted write never truncates an existing file.

#include <functional>
#include <string>
#include <string_view>

namespace Veltrix::Marlin::Native {

// Returns false when any step fails (folder missing or not writable, disk
// full, target is a folder, ...); the temporary file is removed and an
// existing target is left exactly as it was. Never throws, apart from memory
// exhaustion; reporting the failure is the caller's business.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);
// The same, with the reason of a failure (the path and what went wrong).
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string& failure);

// The same for contents produced a chunk at a time.
bool WriteFileAtomically(const std::string& path,
                         const std::function<void(const std::function<void(std::string_view)>& sink)>& produce,
                         std::string& failure);

// For programs: SIGINT, SIGTERM and SIGHUP remove the temporary files of
// writes in progress before the process ends.
void RemoveTemporariesOnSignals();

// Reads the whole file into out. False when it cannot be opened or read, is
// not a regular file or is over the input size limit (streams/InputFile.h,
// whose InputFile_Read also says which); out is then left unchanged.
bool ReadFileWhole(const std::string& path, std::string& out);

}  // namespace Veltrix::Marlin::Native
