#pragma once
// Helpers shared by the channel and profile tests.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include "plover/base/ErrorHandler.h"

namespace ChannelTest {

// The text a call throws as std::runtime_error, or "" when it does not throw.
template <typename F>
std::string ThrownText(F&& call)
{
    try {
        call();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return {};
}

// The message lines a call adds to the collector.
template <typename F>
std::vector<std::string> NewMessages(F&& call)
{
    using Veltrix::Marlin::Native::ErrorHandler;
    const std::size_t before = ErrorHandler::messages().size();
    call();
    const auto& all = ErrorHandler::messages();
    return {all.begin() + static_cast<std::ptrdiff_t>(before), all.end()};
}

inline const std::string RxUnit = "..\\..\\..\\src\\plover\\RxChannel";
inline const std::string RxHeaderUnit = "..\\..\\..\\src\\plover\\RxChannel.h";
inline const std::string TxUnit = "..\\..\\..\\src\\plover\\TxChannel";
inline const std::string TxHeaderUnit = "..\\..\\..\\src\\plover\\TxChannel.h";

}  // namespace ChannelTest
