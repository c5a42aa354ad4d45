#pragma once
// Whole-file reads of untrusted inputs. Every file the library and its tool
// read (blueprints, profiles, settings, images, top-level files, register maps,
// stream sources) is small text or a small image; a device node, a FIFO or a
// runaway file would otherwise be read until memory runs out. So a file is
// refused before anything is read when it is not a regular file or is larger
// than MaxInputFileBytes.

#include <cstdint>
#include <string>

namespace Veltrix::Runnel {

// 16 MiB (host/Inputs.h repeats it for clients): two orders of magnitude above the largest profile the library writes.
inline constexpr std::uintmax_t MaxInputFileBytes = 16u * 1024u * 1024u;

enum class InputFileStatus {
    Read,
    CannotOpen,  // missing, unreadable, or not permitted
    NotRegular,  // a folder, device, FIFO or socket
    TooLarge,
};

// Reads the file whole into out (left unchanged unless Read). On failure,
// problem (when given) receives a one-line text naming the file and, for a
// file that is too large, the limit. Never blocks on a FIFO.
InputFileStatus InputFile_Read(const std::string& path, std::string& out, std::string* problem = nullptr,
                               std::uintmax_t limit = MaxInputFileBytes);

// The bytes of the file, or std::invalid_argument: cannotOpenText for a file
// that cannot be opened (the caller's long-standing message), the problem
// text otherwise.
std::string InputFile_ReadOrThrow(const std::string& path, const std::string& cannotOpenText);

}  // namespace Veltrix::Runnel
