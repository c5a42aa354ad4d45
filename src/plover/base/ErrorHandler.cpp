#include "plover/base/ErrorHandler.h"

#include <algorithm>
#include <mutex>

namespace Veltrix::Marlin::Native {

namespace {

struct ProcessLists {
    std::mutex mutex;
    std::vector<RecordedError> errors;
    std::vector<std::string> messages;
};

ProcessLists& Lists()
{
    static ProcessLists lists;
    return lists;
}

// The collections open on this thread, oldest first.
std::vector<ReportCollection*>& OpenCollections()
{
    thread_local std::vector<ReportCollection*> open;
    return open;
}

}  // namespace

ReportCollection::ReportCollection()
{
    OpenCollections().push_back(this);
}

ReportCollection::~ReportCollection()
{
    auto& open = OpenCollections();
    if (const auto it = std::find(open.begin(), open.end(), this); it != open.end()) {
        open.erase(it);
    }
}

std::vector<std::string> ReportCollection::Lines() const
{
    std::vector<std::string> lines = messages_;
    lines.insert(lines.end(), errors_.begin(), errors_.end());
    return lines;
}

std::string ErrorHandler::Format(const std::string& message, const std::string& file, int line)
{
    return "In " + file + " on line " + std::to_string(line) + ": " + message;
}

void ErrorHandler::Message(LogLevel level, const std::string& message, const std::string& file, int line)
{
    const char* prefix = "ERROR: ";
    if (level == LogLevel::INFO) {
        prefix = "INFO: ";
    } else if (level == LogLevel::WARNING) {
        prefix = "WARNING: ";
    }
    const bool isError = level != LogLevel::INFO && level != LogLevel::WARNING;
    std::string text = prefix + Format(message, file, line);
    for (ReportCollection* collection : OpenCollections()) {
        collection->messages_.push_back(text);
        collection->errorLines_ += isError ? 1 : 0;
    }
    ProcessLists& lists = Lists();
    const std::lock_guard lock(lists.mutex);
    lists.messages.push_back(std::move(text));
}

void ErrorHandler::Error(const std::string& message, const std::string& file, int line)
{
    std::string text = Format(message, file, line);
    for (ReportCollection* collection : OpenCollections()) {
        collection->errors_.push_back(text);
    }
    {
        ProcessLists& lists = Lists();
        const std::lock_guard lock(lists.mutex);
        lists.errors.emplace_back(text);
    }
    throw std::runtime_error(text);
}

std::vector<RecordedError> ErrorHandler::errors()
{
    ProcessLists& lists = Lists();
    const std::lock_guard lock(lists.mutex);
    return lists.errors;
}

std::vector<std::string> ErrorHandler::messages()
{
    ProcessLists& lists = Lists();
    const std::lock_guard lock(lists.mutex);
    return lists.messages;
}

std::size_t ErrorHandler::errorCount()
{
    ProcessLists& lists = Lists();
    const std::lock_guard lock(lists.mutex);
    return lists.errors.size();
}

std::size_t ErrorHandler::messageCount()
{
    ProcessLists& lists = Lists();
    const std::lock_guard lock(lists.mutex);
    return lists.messages.size();
}

void ErrorHandler::Clear()
{
    ProcessLists& lists = Lists();
    const std::lock_guard lock(lists.mutex);
    lists.errors.clear();
    lists.messages.clear();
}

}  // namespace Veltrix::Marlin::Native
