#pragma once
// Whole-file reads and crash-safe whole-file writes. Every file the library
// writes goes through WriteFileAtomically: the bytes land in a fresh temporary
// file in the target's folder, are flushed to disk, and only then renamed over
// the target, so a failed or interrupted write never truncates an existing file.

#include <string>

namespace Veltrix::Marlin::Native {

// Returns false when any step fails (folder missing or not writable, disk
// full, target is a folder, ...); the temporary file is removed and an
// existing target is left exactly as it was. Never throws, apart from memory
// exhaustion; reporting the failure is the caller's business.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);

// Reads the whole file into out. False when it cannot be opened or read, is
// not a regular file or is over the input size limit (streams/InputFile.h,
// whose InputFile_Read also says which); out is then left unchanged.
bool ReadFileWhole(const std::string& path, std::string& out);

}  // namespace Veltrix::Marlin::Native
