#pragma once
// The template token table: every stream source line passes through it before
// it is read, so a configuration switches template lines on and off ("#"
// comments a line out) and fills in delay values without editing the templates.

#include <string>
#include <unordered_map>

namespace Veltrix::Runnel {

class TokenReplace {
public:
    std::string text;
    std::string TempLocation;
    std::unordered_map<std::string, std::string> tokens;

    // Keeps an existing replacement: setters remove their tokens first.
    void AddToken(const std::string& token, const std::string& value);
    void RemoveToken(const std::string& token);

    // Replaces every "$token$" of the table; inserted values are not searched again.
    std::string ReplaceTokens(const std::string& input) const;

    // Replaces the tokens of a template and writes the result to TempLocation.
    void Process(const std::string& templateText);
    void DeleteTemp();
};

}  // namespace Veltrix::Runnel
