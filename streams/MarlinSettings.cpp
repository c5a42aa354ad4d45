#include "streams/MarlinSettings.h"

#include <fstream>
#include <stdexcept>

#include "streams/AtomicFile.h"
#include "streams/HexText.h"
#include "streams/InputFile.h"
#include "streams/JsonInput.h"

namespace Veltrix::Runnel {

std::string StreamSettings::SaveToString() const
{
    nlohmann::json json = nlohmann::json::object();
    ToJson(json);
    return json.dump(4) + "\n";
}

void StreamSettings::Save(const std::string& path) const
{
    WriteFileAtomically(path, SaveToString());
}

MarlinSettings::MarlinSettings()
{
    // Through the setters, so that the token table is complete from the start.
    tx1IntLo(false);
    tx1FMDM(false);
    tx2IntLo(false);
    tx2FMDM(false);
    rx1IntLo(false);
    rx1A(false);
    rx2IntLo(false);
    rx2A(false);
    pll1LockWait(0x82EE);      // 750 us
    pll2LockWait(0x82EE);      // 750 us
    pllPhaseSyncWait(0x80C8);  // 200 us
    ldoPowerUpWait(0x80C8);    // 200 us
    delay_80ns(15);            // cycles of a 184.32 MHz processor clock
    delay_1us(184);
    rx1PortImpedanceControl(false);
    rx2PortImpedanceControl(false);
}

void MarlinSettings::SetFlag(bool& field, bool value, const std::string& ifToken, const std::string& ifNoToken)
{
    field = value;
    tokens->RemoveToken(ifToken);
    tokens->RemoveToken(ifNoToken);
    tokens->AddToken(ifToken, value ? "" : "#");
    tokens->AddToken(ifNoToken, value ? "#" : "");
}

void MarlinSettings::SetDelay(std::uint16_t& field, std::uint16_t value, const std::string& token)
{
    field = value;
    tokens->RemoveToken(token);
    tokens->AddToken(token, Hex(value));
}

void MarlinSettings::tx1IntLo(bool v) { SetFlag(tx1IntLo_, v, "$IfTx1IntLo$", "$IfNoTx1IntLo$"); }
void MarlinSettings::tx1FMDM(bool v) { SetFlag(tx1FMDM_, v, "$IfTx1FMDM$", "$IfNoTx1FMDM$"); }
void MarlinSettings::tx2IntLo(bool v) { SetFlag(tx2IntLo_, v, "$IfTx2IntLo$", "$IfNoTx2IntLo$"); }
void MarlinSettings::tx2FMDM(bool v) { SetFlag(tx2FMDM_, v, "$IfTx2FMDM$", "$IfNoTx2FMDM$"); }
void MarlinSettings::rx1IntLo(bool v) { SetFlag(rx1IntLo_, v, "$IfRx1IntLo$", "$IfNoRx1IntLo$"); }
void MarlinSettings::rx1A(bool v) { SetFlag(rx1A_, v, "$IfRx1A$", "$IfNoRx1A$"); }
void MarlinSettings::rx2IntLo(bool v) { SetFlag(rx2IntLo_, v, "$IfRx2IntLo$", "$IfNoRx2IntLo$"); }
void MarlinSettings::rx2A(bool v) { SetFlag(rx2A_, v, "$IfRx2A$", "$IfNoRx2A$"); }
void MarlinSettings::pll1LockWait(std::uint16_t v) { SetDelay(pll1LockWait_, v, "$Pll1LockWait$"); }
void MarlinSettings::pll2LockWait(std::uint16_t v) { SetDelay(pll2LockWait_, v, "$Pll2LockWait$"); }
void MarlinSettings::pllPhaseSyncWait(std::uint16_t v) { SetDelay(pllPhaseSyncWait_, v, "$PllPhaseSyncWait$"); }
void MarlinSettings::ldoPowerUpWait(std::uint16_t v) { SetDelay(ldoPowerUpWait_, v, "$LdoPowerUpWait$"); }
void MarlinSettings::delay_80ns(std::uint16_t v) { SetDelay(delay_80ns_, v, "$Delay_80ns$"); }
void MarlinSettings::delay_1us(std::uint16_t v) { SetDelay(delay_1us_, v, "$Delay_1us$"); }
void MarlinSettings::rx1PortImpedanceControl(bool v)
{
    SetFlag(rx1PortImpedanceControl_, v, "$IfRx1PortImpedanceControl$", "$IfNoRx1PortImpedanceControl$");
}
void MarlinSettings::rx2PortImpedanceControl(bool v)
{
    SetFlag(rx2PortImpedanceControl_, v, "$IfRx2PortImpedanceControl$", "$IfNoRx2PortImpedanceControl$");
}

void MarlinSettings::Load(const std::string& path)
{
    nlohmann::json json;
    if (!path.empty()) {
        json = Json_Parse(InputFile_ReadOrThrow(path, "Can't open template file!"));
    }
    FromJson(json);
}

namespace {

// The library would cast 70000 or -1 silently to a different delay; a delay
// code that does not fit 16 bits is a bad file, not a value to wrap.
std::uint16_t Delay16(const nlohmann::json& json, const char* key)
{
    const nlohmann::json& value = json.at(key);
    if (value.is_number_integer()) {
        const auto number = value.get<std::int64_t>();
        if (number < 0 || number > 0xFFFF) {
            throw std::invalid_argument(std::string("Stream settings value \"") + key +
                                        "\" is not an unsigned 16-bit number: " + value.dump());
        }
    }
    return value.get<std::uint16_t>();
}

}  // namespace

namespace {

// One entry a settings field: its file key and how it reads and writes. The
// reader, the writer and the schema all walk this list, so a field added here
// is complete everywhere.
struct SettingsField {
    const char* key;
    bool isDelay;
    nlohmann::json (*get)(const MarlinSettings&);
    void (*set)(MarlinSettings&, const nlohmann::json& parent, const char* key);
};

#define PLOVER_SETTINGS_FLAG(key, name)                                                            \
    SettingsField{key, false, [](const MarlinSettings& s) { return nlohmann::json(s.name()); },  \
                  [](MarlinSettings& s, const nlohmann::json& j, const char* k) { s.name(j.at(k).get<bool>()); }}
#define PLOVER_SETTINGS_DELAY(key, name)                                                           \
    SettingsField{key, true, [](const MarlinSettings& s) { return nlohmann::json(s.name()); },   \
                  [](MarlinSettings& s, const nlohmann::json& j, const char* k) { s.name(Delay16(j, k)); }}

const SettingsField settingsFields[] = {
    PLOVER_SETTINGS_FLAG("Tx1IntLo", tx1IntLo),
    PLOVER_SETTINGS_FLAG("Tx1FMDM", tx1FMDM),
    PLOVER_SETTINGS_FLAG("Tx2IntLo", tx2IntLo),
    PLOVER_SETTINGS_FLAG("Tx2FMDM", tx2FMDM),
    PLOVER_SETTINGS_FLAG("Rx1IntLo", rx1IntLo),
    PLOVER_SETTINGS_FLAG("Rx1A", rx1A),
    PLOVER_SETTINGS_FLAG("Rx2IntLo", rx2IntLo),
    PLOVER_SETTINGS_FLAG("Rx2A", rx2A),
    PLOVER_SETTINGS_DELAY("Pll1LockWait", pll1LockWait),
    PLOVER_SETTINGS_DELAY("Pll2LockWait", pll2LockWait),
    PLOVER_SETTINGS_DELAY("PllPhaseSyncWait", pllPhaseSyncWait),
    PLOVER_SETTINGS_DELAY("LdoPowerUpWait", ldoPowerUpWait),
    PLOVER_SETTINGS_DELAY("Delay_80ns", delay_80ns),
    PLOVER_SETTINGS_DELAY("Delay_1us", delay_1us),
    PLOVER_SETTINGS_FLAG("Rx1PortImpedanceControl", rx1PortImpedanceControl),
    PLOVER_SETTINGS_FLAG("Rx2PortImpedanceControl", rx2PortImpedanceControl),
};

#undef PLOVER_SETTINGS_FLAG
#undef PLOVER_SETTINGS_DELAY

}  // namespace

void MarlinSettings::FromJson(const nlohmann::json& json)
{
    // at() and get<> keep the JSON library's own errors for a missing key or a wrong type.
    for (const SettingsField& field : settingsFields) {
        field.set(*this, json, field.key);
    }
}

void MarlinSettings::ToJson(nlohmann::json& json) const
{
    for (const SettingsField& field : settingsFields) {
        json[field.key] = field.get(*this);
    }
}

nlohmann::json MarlinSettings::JsonSchema()
{
    nlohmann::json properties = nlohmann::json::object();
    nlohmann::json required = nlohmann::json::array();
    for (const SettingsField& field : settingsFields) {
        properties[field.key] = field.isDelay
                                    ? nlohmann::json{{"type", "integer"}, {"minimum", 0}, {"maximum", 0xFFFF},
                                                     {"description", "unsigned 16-bit stream delay code"}}
                                    : nlohmann::json{{"type", "boolean"}};
        required.push_back(field.key);
    }
    return {{"$schema", "https://json-schema.org/draft/2020-12/schema"},
            {"title", "plover stream settings"},
            {"type", "object"},
            {"properties", properties},
            {"required", required},
            {"additionalProperties", false}};
}

}  // namespace Veltrix::Runnel
