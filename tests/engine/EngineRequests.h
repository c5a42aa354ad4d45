#pragma once
// Engine requests read from the data files under tests/data/engine: fields
// named as the records' own, a field left out keeping its default, stage
// bytes as space-separated text.

#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/Files.h"
#include "engine/EngineRecords.h"

namespace EngineTest {

using namespace Veltrix::Marlin::Native;
using Json = nlohmann::ordered_json;

inline Json EngineData(const std::string& name)
{
    return Json::parse(PloverTest::ReadText(PloverTest::SourcePath("tests/data/engine/" + name)));
}

// The "stages" text as the 24 bytes a request may point to.
inline std::vector<std::uint8_t> Bytes(const Json& j)
{
    std::vector<std::uint8_t> bytes(24, 0);
    std::istringstream in(j.value("stages", std::string()));
    for (std::size_t i = 0, v = 0; in >> v; ++i) bytes.at(i) = static_cast<std::uint8_t>(v);
    return bytes;
}

template <typename T>
void Read(const Json& j, const char* key, T& field)
{
    if (j.contains(key)) field = j[key].get<T>();
}
#define READ(j, record, field) EngineTest::Read(j, #field, record.field)

inline RxFilterRequest RxRequestOf(const Json& j, const std::vector<std::uint8_t>& stages)
{
    RxFilterRequest r;
    READ(j, r, analogBandwidth_Hz); READ(j, r, channelBandwidth_Hz); READ(j, r, converterRate_Hz); READ(j, r, highPowerAdc);
    READ(j, r, tiaFilter); READ(j, r, mode0); READ(j, r, mode1); READ(j, r, mode2); READ(j, r, mode3); READ(j, r, mode4);
    READ(j, r, rippleTarget_dB);
    r.stages = j.contains("stages") ? stages.data() : nullptr;
    return r;
}

inline TxFilterRequest TxRequestOf(const Json& j, const std::vector<std::uint8_t>& stages)
{
    TxFilterRequest r;
    READ(j, r, analogBandwidth_Hz); READ(j, r, channelBandwidth_Hz); READ(j, r, converterRate_Hz); READ(j, r, option0);
    READ(j, r, option1); READ(j, r, option2); READ(j, r, narrowband); READ(j, r, rippleTarget_dB);
    r.stages = j.contains("stages") ? stages.data() : nullptr;
    return r;
}

}  // namespace EngineTest
