// JSON conversions of the device initialisation record and of its clock,
// device-system and shared (NCO, SSI) records.

#include "plover/records/ProfileRecordsJsonFields.h"

namespace Veltrix::Marlin::Native {

using ProfileJson::Reader;
using ProfileJson::Writer;

namespace {

template <typename V, typename R>
void InitFields(V& v, R& r)
{
    v("clocks", r.clocks);
    v("rx", r.rx);
    v("tx", r.tx);
    v("sysConfig", r.sysConfig);
    v("pfirBuffer", r.pfirBuffer);
}

template <typename V, typename R>
void ClockSettingsFields(V& v, R& r)
{
    v("deviceClock_kHz", r.deviceClock_kHz);
    v("clkPllVcoFreq_daHz", r.clkPllVcoFreq_daHz);
    v.Enum("clkPllHsDiv", r.clkPllHsDiv);
    v.Enum("clkPllMode", r.clkPllMode);
    v.Enum("clk1105Div", r.clk1105Div);
    v.Enum("armClkDiv", r.armClkDiv);
    v("armPowerSavingClkDiv", r.armPowerSavingClkDiv);
    v("refClockOutEnable", r.refClockOutEnable);
    v.Enum("auxPllPower", r.auxPllPower);
    v.Enum("clkPllPower", r.clkPllPower);
    v("padRefClkDrv", r.padRefClkDrv);
    v("extLo1OutFreq_kHz", r.extLo1OutFreq_kHz);
    v("extLo2OutFreq_kHz", r.extLo2OutFreq_kHz);
    v.Enum("rfPll1LoMode", r.rfPll1LoMode);
    v.Enum("rfPll2LoMode", r.rfPll2LoMode);
    v.Enum("ext1LoType", r.ext1LoType);
    v.Enum("ext2LoType", r.ext2LoType);
    v.Enum("rx1RfInputSel", r.rx1RfInputSel);
    v.Enum("rx2RfInputSel", r.rx2RfInputSel);
    v("extLo1Divider", r.extLo1Divider);
    v("extLo2Divider", r.extLo2Divider);
    v.Enum("rfPllPhaseSyncMode", r.rfPllPhaseSyncMode);
    v.Enum("rx1LoSelect", r.rx1LoSelect);
    v.Enum("rx2LoSelect", r.rx2LoSelect);
    v.Enum("tx1LoSelect", r.tx1LoSelect);
    v.Enum("tx2LoSelect", r.tx2LoSelect);
    v.Enum("rx1LoDivMode", r.rx1LoDivMode);
    v.Enum("rx2LoDivMode", r.rx2LoDivMode);
    v.Enum("tx1LoDivMode", r.tx1LoDivMode);
    v.Enum("tx2LoDivMode", r.tx2LoDivMode);
    v.Enum("loGen1Select", r.loGen1Select);
    v.Enum("loGen2Select", r.loGen2Select);
}

template <typename V, typename R>
void pllModulusFields(V& v, R& r)
{
    v("modulus", r.modulus);
    v("dmModulus", r.dmModulus);
}

template <typename V, typename R>
void DeviceSysConfigFields(V& v, R& r)
{
    v.Enum("duplexMode", r.duplexMode);
    v("fhModeOn", r.fhModeOn);
    v.Enum("numDynamicProfiles", r.numDynamicProfiles);
    v.Enum("mcsMode", r.mcsMode);
    v.Enum("mcsInterfaceType", r.mcsInterfaceType);
    v.Enum("adcTypeMonitor", r.adcTypeMonitor);
    v("pllLockTime_us", r.pllLockTime_us);
    v("pllPhaseSyncWait_us", r.pllPhaseSyncWait_us);
    v("pllModulus", r.pllModulus);
    v("warmBootEnable", r.warmBootEnable);
}

template <typename V, typename R>
void NcoDpConfigFields(V& v, R& r)
{
    v("freq", r.freq);
    v("sampleFreq", r.sampleFreq);
    v("phase", r.phase);
    v("realOut", r.realOut);
}

template <typename V, typename R>
void SsiConfigFields(V& v, R& r)
{
    v.Enum("ssiType", r.ssiType);
    v.Enum("ssiDataFormatSel", r.ssiDataFormatSel);
    v.Enum("numLaneSel", r.numLaneSel);
    v.Enum("strobeType", r.strobeType);
    v("lsbFirst", r.lsbFirst);
    v("qFirst", r.qFirst);
    v.Enum("txRefClockPin", r.txRefClockPin);
    v("lvdsIBitInversion", r.lvdsIBitInversion);
    v("lvdsQBitInversion", r.lvdsQBitInversion);
    v("lvdsStrobeBitInversion", r.lvdsStrobeBitInversion);
    v("lvdsUseLsbIn12bitMode", r.lvdsUseLsbIn12bitMode);
    v("lvdsRxClkInversionEn", r.lvdsRxClkInversionEn);
    v("cmosDdrPosClkEn", r.cmosDdrPosClkEn);
    v("cmosClkInversionEn", r.cmosClkInversionEn);
    v("ddrEn", r.ddrEn);
    v("rxMaskStrobeEn", r.rxMaskStrobeEn);
}

}  // namespace

void to_json(json& j, const marlin_Init_t& r)
{
    Writer<json> w(j);
    InitFields(w, r);
}

void to_json(ordered_json& j, const marlin_Init_t& r)
{
    Writer<ordered_json> w(j);
    InitFields(w, r);
}

void from_json(const json& j, marlin_Init_t& r)
{
    Reader reader(j);
    InitFields(reader, r);
}

void to_json(json& j, const marlin_ClockSettings_t& r)
{
    Writer<json> w(j);
    ClockSettingsFields(w, r);
}

void to_json(ordered_json& j, const marlin_ClockSettings_t& r)
{
    Writer<ordered_json> w(j);
    ClockSettingsFields(w, r);
}

void from_json(const json& j, marlin_ClockSettings_t& r)
{
    Reader reader(j);
    ClockSettingsFields(reader, r);
}

void to_json(json& j, const marlin_pllModulus_t& r)
{
    Writer<json> w(j);
    pllModulusFields(w, r);
}

void to_json(ordered_json& j, const marlin_pllModulus_t& r)
{
    Writer<ordered_json> w(j);
    pllModulusFields(w, r);
}

void from_json(const json& j, marlin_pllModulus_t& r)
{
    Reader reader(j);
    pllModulusFields(reader, r);
}

void to_json(json& j, const marlin_DeviceSysConfig_t& r)
{
    Writer<json> w(j);
    DeviceSysConfigFields(w, r);
}

void to_json(ordered_json& j, const marlin_DeviceSysConfig_t& r)
{
    Writer<ordered_json> w(j);
    DeviceSysConfigFields(w, r);
}

void from_json(const json& j, marlin_DeviceSysConfig_t& r)
{
    Reader reader(j);
    DeviceSysConfigFields(reader, r);
}

void to_json(json& j, const marlin_NcoDpConfig_t& r)
{
    Writer<json> w(j);
    NcoDpConfigFields(w, r);
}

void to_json(ordered_json& j, const marlin_NcoDpConfig_t& r)
{
    Writer<ordered_json> w(j);
    NcoDpConfigFields(w, r);
}

void from_json(const json& j, marlin_NcoDpConfig_t& r)
{
    Reader reader(j);
    NcoDpConfigFields(reader, r);
}

void to_json(json& j, const marlin_SsiConfig_t& r)
{
    Writer<json> w(j);
    SsiConfigFields(w, r);
}

void to_json(ordered_json& j, const marlin_SsiConfig_t& r)
{
    Writer<ordered_json> w(j);
    SsiConfigFields(w, r);
}

void from_json(const json& j, marlin_SsiConfig_t& r)
{
    Reader reader(j);
    SsiConfigFields(reader, r);
}

}  // namespace Veltrix::Marlin::Native
