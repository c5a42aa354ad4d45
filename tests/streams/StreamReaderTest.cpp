// Stream sources read with settings: tests/data/streams/stream-sources.json
// holds each source, the settings and defines it is read with, and the streams
// (number, opcodes, operand bytes) or the message it must give.
#include <gtest/gtest.h>

#include <sstream>
#include <unordered_map>

#include "StreamData.h"
#include "support/Throws.h"
#include "streams/MarlinSettings.h"
#include "streams/StreamReader.h"

namespace Veltrix::Runnel {
namespace {

TEST(StreamReader, SourcesGiveTheirStreamsOrTheirMessage)
{
    SpiRegisterMap registers;
    registers.Add("CORE_REG_CORE_A", 0x0210);
    for (const auto& c : StreamData("stream-sources.json")) {
        SCOPED_TRACE(c["source"].get<std::string>());
        MarlinSettings settings;
        nlohmann::json json;
        settings.ToJson(json);
        json.update(c.value("settings", nlohmann::json::object()));
        settings.FromJson(json);
        settings.defines = c.value("defines", decltype(settings.defines){});
        std::istringstream in(c["source"].get<std::string>());
        nlohmann::json streams = nlohmann::json::array();
        const std::string error = PloverTest::ThrownText<std::invalid_argument>([&] {
            for (const auto& stream : ReadStreams(in, registers, settings)) {
                std::vector<std::uint8_t> opcodes;
                for (const auto& instruction : stream->Instructions()) opcodes.push_back(instruction->opcode);
                streams.push_back({stream->StreamNumber(), HexBytes(opcodes), HexBytes(stream->OperandBytes())});
            }
        });
        EXPECT_EQ(c.contains("error") ? c["error"] : c["streams"], c.contains("error") ? nlohmann::json(error) : streams);
    }
}

}  // namespace
}  // namespace Veltrix::Runnel
