#include "streams/StreamReader.h"

#include <sstream>
#include <stdexcept>
#include <string>

#include "streams/HexText.h"

namespace Veltrix::Runnel {

namespace {

[[noreturn]] void Fail(const std::string& what, int lineNumber)
{
    throw StreamSourceError(what + std::to_string(lineNumber), 0);
}

}  // namespace

std::vector<std::shared_ptr<StreamContainer>> ReadStreams(std::istream& in, const SpiRegisterMap& registers,
                                                          const StreamSettings& settings)
{
    std::vector<std::shared_ptr<StreamContainer>> streams;
    std::vector<std::string> lines;
    std::vector<int> lineNumbers;  // of lines, for the assembler's errors
    bool streamOpen = false;
    int streamLine = 0;
    bool blockOpen = false;
    bool active = true;
    int blockLine = 0;
    int lineNumber = 0;
    std::string raw;
    while (std::getline(in, raw)) {
        ++lineNumber;
        const std::string replaced = settings.tokens->ReplaceTokens(raw);
        const std::string_view code = std::string_view(replaced).substr(0, replaced.find('#'));
        // Directives may be indented like the code around them.
        const std::string directive = ToLower(Trim(code));
        if (!blockOpen && directive.rfind("%ifdef", 0) == 0) {
            std::istringstream words(directive);
            std::string keyword, name;
            words >> keyword >> name;
            if (name.empty()) {
                Fail("%ifdef without a name on line: ", lineNumber);
            }
            // Names are matched as written in the source.
            std::istringstream original{std::string(Trim(code))};
            original >> keyword >> name;
            blockOpen = true;
            active = settings.defines.count(name) != 0;
            blockLine = lineNumber;
            continue;
        }
        if (directive.rfind("%else", 0) == 0) {
            if (!blockOpen) {
                Fail("%else without %ifdef on line: ", lineNumber);
            }
            active = !active;
            continue;
        }
        if (directive.rfind("%endif", 0) == 0) {
            // Outside a block it closes nothing and leaves the reader active,
            // as it already is; templates may carry one.
            blockOpen = false;
            active = true;
            continue;
        }
        if (!active) {
            continue;
        }
        const std::string_view trimmed = Trim(code);
        if (trimmed.empty()) {
            continue;
        }
        if (StartsWithNoCase(trimmed, "return")) {
            // A return outside a stream would rebuild a stale or empty stream.
            if (!streamOpen) {
                Fail("return outside a stream on line: ", lineNumber);
            }
            lines.emplace_back(trimmed);
            lineNumbers.push_back(lineNumber);
            try {
                streams.push_back(std::make_shared<StreamContainer>(registers, lines));
            } catch (const StreamLineError& e) {
                throw StreamSourceError(e.what(), lineNumbers.at(e.index));
            } catch (const std::invalid_argument& e) {
                // A fault of the stream as a whole (an LDLC never closed).
                throw StreamSourceError(e.what(), streamLine);
            }
            streamOpen = false;
        } else if (StartsWithNoCase(trimmed, "stream")) {
            // Starting anew would drop the open stream without a word.
            if (streamOpen) {
                Fail("stream without return before line: ", lineNumber);
            }
            lines.assign(1, std::string(trimmed));
            lineNumbers.assign(1, lineNumber);
            streamOpen = true;
            streamLine = lineNumber;
        } else if (streamOpen) {
            lines.emplace_back(trimmed);
            lineNumbers.push_back(lineNumber);
        }
    }
    if (blockOpen) {
        Fail("Could not find %endif for %ifdef on line: ", blockLine);
    }
    if (streamOpen) {
        Fail("stream without return, started on line: ", streamLine);
    }
    return streams;
}

void ReadStreamFile(ProcessorInfo& processor, std::istream& in, const SpiRegisterMap& registers,
                    const StreamSettings& settings, const std::vector<std::uint8_t>& extraHeader)
{
    for (auto& stream : ReadStreams(in, registers, settings)) {
        processor.AddStream(std::move(stream));
    }
    processor.Layout(extraHeader);
    processor.read = true;
}

}  // namespace Veltrix::Runnel
