#pragma once
// The Marlin chip's stream settings. Each boolean drives an If/IfNo token pair
// ("" keeps a template line, "#" comments it out); each delay drives one token
// replaced by its delay code in hexadecimal.

#include <cstdint>
#include <string>

#include "streams/StreamSettings.h"

namespace Veltrix::Runnel {

class MarlinSettings : public StreamSettings {
public:
    MarlinSettings();

    void Load(const std::string& path) override;
    void FromJson(const nlohmann::json& json) override;
    void ToJson(nlohmann::json& json) const override;
    // A JSON Schema of the settings file, from the same field list the reader uses.
    static nlohmann::json JsonSchema();

    bool tx1IntLo() const { return tx1IntLo_; }
    bool tx1FMDM() const { return tx1FMDM_; }
    bool tx2IntLo() const { return tx2IntLo_; }
    bool tx2FMDM() const { return tx2FMDM_; }
    bool rx1IntLo() const { return rx1IntLo_; }
    bool rx1A() const { return rx1A_; }
    bool rx2IntLo() const { return rx2IntLo_; }
    bool rx2A() const { return rx2A_; }
    std::uint16_t pll1LockWait() const { return pll1LockWait_; }
    std::uint16_t pll2LockWait() const { return pll2LockWait_; }
    std::uint16_t pllPhaseSyncWait() const { return pllPhaseSyncWait_; }
    std::uint16_t ldoPowerUpWait() const { return ldoPowerUpWait_; }
    std::uint16_t delay_80ns() const { return delay_80ns_; }
    std::uint16_t delay_1us() const { return delay_1us_; }
    bool rx1PortImpedanceControl() const { return rx1PortImpedanceControl_; }
    bool rx2PortImpedanceControl() const { return rx2PortImpedanceControl_; }

    void tx1IntLo(bool value);
    void tx1FMDM(bool value);
    void tx2IntLo(bool value);
    void tx2FMDM(bool value);
    void rx1IntLo(bool value);
    void rx1A(bool value);
    void rx2IntLo(bool value);
    void rx2A(bool value);
    void pll1LockWait(std::uint16_t value);
    void pll2LockWait(std::uint16_t value);
    void pllPhaseSyncWait(std::uint16_t value);
    void ldoPowerUpWait(std::uint16_t value);
    void delay_80ns(std::uint16_t value);
    void delay_1us(std::uint16_t value);
    void rx1PortImpedanceControl(bool value);
    void rx2PortImpedanceControl(bool value);

private:
    void SetFlag(bool& field, bool value, const std::string& ifToken, const std::string& ifNoToken);
    void SetDelay(std::uint16_t& field, std::uint16_t value, const std::string& token);

    bool tx1IntLo_ = false;
    bool tx1FMDM_ = false;
    bool tx2IntLo_ = false;
    bool tx2FMDM_ = false;
    bool rx1IntLo_ = false;
    bool rx1A_ = false;
    bool rx2IntLo_ = false;
    bool rx2A_ = false;
    std::uint16_t pll1LockWait_ = 0;
    std::uint16_t pll2LockWait_ = 0;
    std::uint16_t pllPhaseSyncWait_ = 0;
    std::uint16_t ldoPowerUpWait_ = 0;
    std::uint16_t delay_80ns_ = 0;
    std::uint16_t delay_1us_ = 0;
    bool rx1PortImpedanceControl_ = false;
    bool rx2PortImpedanceControl_ = false;
};

}  // namespace Veltrix::Runnel
