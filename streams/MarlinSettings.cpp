#include "streams/MarlinSettings.h"

#include <fstream>
#include <stdexcept>

#include "streams/AtomicFile.h"
#include "streams/HexText.h"
#include "streams/InputFile.h"
#include "streams/JsonInput.h"

namespace Veltrix::Runnel {

void StreamSettings::Save(const std::string& path) const
{
    nlohmann::json json = nlohmann::json::object();
    ToJson(json);
    WriteFileAtomically(path, json.dump(4) + "\n");
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

void MarlinSettings::FromJson(const nlohmann::json& json)
{
    // at() and get<> keep the JSON library's own errors for a missing key or a wrong type.
    tx1IntLo(json.at("Tx1IntLo").get<bool>());
    tx1FMDM(json.at("Tx1FMDM").get<bool>());
    tx2IntLo(json.at("Tx2IntLo").get<bool>());
    tx2FMDM(json.at("Tx2FMDM").get<bool>());
    rx1IntLo(json.at("Rx1IntLo").get<bool>());
    rx1A(json.at("Rx1A").get<bool>());
    rx2IntLo(json.at("Rx2IntLo").get<bool>());
    rx2A(json.at("Rx2A").get<bool>());
    pll1LockWait(Delay16(json, "Pll1LockWait"));
    pll2LockWait(Delay16(json, "Pll2LockWait"));
    pllPhaseSyncWait(Delay16(json, "PllPhaseSyncWait"));
    ldoPowerUpWait(Delay16(json, "LdoPowerUpWait"));
    delay_80ns(Delay16(json, "Delay_80ns"));
    delay_1us(Delay16(json, "Delay_1us"));
    rx1PortImpedanceControl(json.at("Rx1PortImpedanceControl").get<bool>());
    rx2PortImpedanceControl(json.at("Rx2PortImpedanceControl").get<bool>());
}

void MarlinSettings::ToJson(nlohmann::json& json) const
{
    json["Tx1IntLo"] = tx1IntLo_;
    json["Tx1FMDM"] = tx1FMDM_;
    json["Tx2IntLo"] = tx2IntLo_;
    json["Tx2FMDM"] = tx2FMDM_;
    json["Rx1IntLo"] = rx1IntLo_;
    json["Rx1A"] = rx1A_;
    json["Rx2IntLo"] = rx2IntLo_;
    json["Rx2A"] = rx2A_;
    json["Pll1LockWait"] = pll1LockWait_;
    json["Pll2LockWait"] = pll2LockWait_;
    json["PllPhaseSyncWait"] = pllPhaseSyncWait_;
    json["LdoPowerUpWait"] = ldoPowerUpWait_;
    json["Delay_80ns"] = delay_80ns_;
    json["Delay_1us"] = delay_1us_;
    json["Rx1PortImpedanceControl"] = rx1PortImpedanceControl_;
    json["Rx2PortImpedanceControl"] = rx2PortImpedanceControl_;
}

}  // namespace Veltrix::Runnel
