#include "host/ErrorHandler.h"

#include <utility>

#include "engine/PrintSink.h"
#include "plover/base/ErrorHandler.h"

namespace Veltrix::Marlin {

using Collector = Native::ErrorHandler;

std::size_t ErrorHandler::ErrorCount()
{
    return Collector::errorCount();
}

std::vector<std::runtime_error> ErrorHandler::Errors()
{
    const auto errors = Collector::errors();
    std::vector<std::runtime_error> out;
    out.reserve(errors.size());
    for (const auto& error : errors) {
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
    const auto errors = Collector::errors();
    if (!errors.empty()) {
        throw std::runtime_error(errors.front().what());
    }
}

void ErrorHandler::ThrowLastError()
{
    const auto errors = Collector::errors();
    if (!errors.empty()) {
        throw std::runtime_error(errors.back().what());
    }
}

void ErrorHandler::Clear()
{
    Collector::Clear();
}

void ErrorHandler::PrintSink_Set(std::function<void(const std::string&)> sink)
{
    Native::PrintSink_Set(std::move(sink));
}

struct ReportScope::Collection : Native::ReportCollection {};

ReportScope::ReportScope() : collection_(std::make_unique<Collection>()) {}

ReportScope::~ReportScope() = default;

std::vector<std::string> ReportScope::Messages() const
{
    return collection_->Lines();
}

std::size_t ReportScope::ErrorCount() const
{
    return collection_->ErrorCount();
}

std::vector<std::string> ReportScope::Errors() const
{
    return collection_->RecordedErrors();
}

std::vector<std::string> ReportScope::Subjects() const
{
    return collection_->Subjects();
}

}  // namespace Veltrix::Marlin
