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

std::vector<std::string>& OpenSubjects()
{
    thread_local std::vector<std::string> open;
    return open;
}

}  // namespace

ReportSubject::ReportSubject(std::string subject)
{
    OpenSubjects().push_back(std::move(subject));
}

ReportSubject::~ReportSubject()
{
    OpenSubjects().pop_back();
}

std::string ReportSubject::Current()
{
    const auto& open = OpenSubjects();
    return open.empty() ? std::string() : open.back();
}

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

std::vector<std::string> ReportCollection::Subjects() const
{
    std::vector<std::string> subjects = messageSubjects_;
    subjects.insert(subjects.end(), errorSubjects_.begin(), errorSubjects_.end());
    return subjects;
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
    const std::string subject = ReportSubject::Current();
    for (ReportCollection* collection : OpenCollections()) {
        collection->messages_.push_back(text);
        collection->messageSubjects_.push_back(subject);
        collection->errorLines_ += isError ? 1 : 0;
    }
    ProcessLists& lists = Lists();
    const std::lock_guard lock(lists.mutex);
    lists.messages.push_back(std::move(text));
}

void ErrorHandler::Error(const std::string& message, const std::string& file, int line)
{
    std::string text = Format(message, file, line);
    const std::string subject = ReportSubject::Current();
    for (ReportCollection* collection : OpenCollections()) {
        collection->errors_.push_back(text);
        collection->errorSubjects_.push_back(subject);
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
