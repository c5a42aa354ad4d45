#pragma once
// The one destination of the lines the engine and the stream library print
// whatever the caller asked for (search progress, convergence notes, debug
// traces). Standard output by default, as command-line users of the original
// routines expect; a client that owns standard output (JSON on it, say) or
// wants the lines elsewhere directs them with PrintSink_Set.
//
// Header-only so the stream library shares it without linking the engine.
// Threads may print while another sets the sink: the sink is swapped under a
// lock and each call runs on a copy, so a sink may itself set a new one.

#include <cstdarg>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

namespace Veltrix::Marlin::Native {

using PrintSinkFunction = std::function<void(const std::string&)>;

namespace Detail {

struct PrintSinkSlot {
    std::mutex mutex;
    std::shared_ptr<const PrintSinkFunction> sink;
};

inline PrintSinkSlot& PrintSinkState()
{
    static PrintSinkSlot slot;
    return slot;
}

}  // namespace Detail

// nullptr restores standard output.
inline void PrintSink_Set(PrintSinkFunction sink)
{
    auto& slot = Detail::PrintSinkState();
    auto next = sink ? std::make_shared<const PrintSinkFunction>(std::move(sink)) : nullptr;
    const std::lock_guard lock(slot.mutex);
    slot.sink = std::move(next);
}

// Prints text as given (line breaks included) through the current sink.
inline void Print(const std::string& text)
{
    auto& slot = Detail::PrintSinkState();
    std::shared_ptr<const PrintSinkFunction> sink;
    {
        const std::lock_guard lock(slot.mutex);
        sink = slot.sink;
    }
    if (sink) {
        (*sink)(text);
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

// printf-style formatting, for lines that keep the original routines' layout.
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
inline std::string Formatted(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0) {
        std::vsnprintf(text.data(), text.size() + 1, format, again);
    }
    va_end(again);
    return text;
}

template <typename... Args>
inline void PrintFormatted(const char* format, Args... args)
{
    Print(Formatted(format, args...));
}

}  // namespace Veltrix::Marlin::Native
