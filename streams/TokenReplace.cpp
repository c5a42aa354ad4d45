#include "streams/TokenReplace.h"

#include <filesystem>
#include <stdexcept>

#include "streams/AtomicFile.h"

namespace Veltrix::Runnel {

void TokenReplace::AddToken(const std::string& token, const std::string& value)
{
    tokens.emplace(token, value);
}

void TokenReplace::RemoveToken(const std::string& token)
{
    tokens.erase(token);
}

std::string TokenReplace::ReplaceTokens(const std::string& input) const
{
    std::string result = input;
    for (const auto& [token, value] : tokens) {
        std::string pattern = token;
        if (pattern.empty() || pattern.front() != '$') {
            pattern.insert(pattern.begin(), '$');
        }
        if (pattern.size() < 2 || pattern.back() != '$') {
            pattern.push_back('$');
        }
        std::size_t position = 0;
        while ((position = result.find(pattern, position)) != std::string::npos) {
            result.replace(position, pattern.size(), value);
            position += value.size();
        }
    }
    return result;
}

void TokenReplace::Process(const std::string& templateText)
{
    if (TempLocation.empty()) {
        throw std::invalid_argument("Template File Is Empty");
    }
    text = ReplaceTokens(templateText);
    WriteFileAtomically(TempLocation, text);
}

void TokenReplace::DeleteTemp()
{
    if (TempLocation.empty()) {
        throw std::invalid_argument("TempLocation property has not been set");
    }
    std::error_code ignored;
    std::filesystem::remove(TempLocation, ignored);
}

}  // namespace Veltrix::Runnel
