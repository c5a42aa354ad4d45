#pragma once
// The text a call throws, so that an expected failure is one assertion.

#include <exception>
#include <string>

namespace PloverTest {

inline const std::string NoException = "(no exception)";

// what() of the E the call throws, or NoException. Any other exception escapes
// and fails the test with its own text.
template <typename E = std::exception, typename F>
std::string ThrownText(F&& call)
{
    try {
        call();
    } catch (const E& e) {
        return e.what();
    }
    return NoException;
}

}  // namespace PloverTest
