#include "host/ErrorHandler.h"

#include "plover/base/ErrorHandler.h"

namespace Veltrix::Marlin {

using Collector = Native::ErrorHandler;

std::size_t ErrorHandler::ErrorCount()
{
    return Collector::errors().size();
}

std::vector<std::runtime_error> ErrorHandler::Errors()
{
    std::vector<std::runtime_error> out;
    out.reserve(Collector::errors().size());
    for (const auto& error : Collector::errors()) {
        out.emplace_back(error.what());
    }
    return out;
}

std::vector<std::string> ErrorHandler::Messages()
{
    return Collector::messages();
}

void ErrorHandler::ThrowFirstError()
{
    if (!Collector::errors().empty()) {
        throw std::runtime_error(Collector::errors().front().what());
    }
}

void ErrorHandler::ThrowLastError()
{
    if (!Collector::errors().empty()) {
        throw std::runtime_error(Collector::errors().back().what());
    }
}

}  // namespace Veltrix::Marlin
