// JSON conversions of the receive-section records.

#include "plover/records/ProfileRecordsJsonFields.h"

namespace Veltrix::Marlin::Native {

using ProfileJson::Reader;
using ProfileJson::Writer;

namespace {

template <typename V, typename R>
void RxNbDecTopFields(V& v, R& r)
{
    v("scicBlk23En", r.scicBlk23En);
    v("scicBlk23DivFactor", r.scicBlk23DivFactor);
    v("scicBlk23LowRippleEn", r.scicBlk23LowRippleEn);
    v("decBy2Blk35En", r.decBy2Blk35En);
    v("decBy2Blk37En", r.decBy2Blk37En);
    v("decBy2Blk39En", r.decBy2Blk39En);
    v("decBy2Blk41En", r.decBy2Blk41En);
    v("decBy2Blk43En", r.decBy2Blk43En);
    v("decBy3Blk45En", r.decBy3Blk45En);
    v("decBy2Blk47En", r.decBy2Blk47En);
}

template <typename V, typename R>
void RxWbDecTopFields(V& v, R& r)
{
    v("decBy2Blk25En", r.decBy2Blk25En);
    v("decBy2Blk27En", r.decBy2Blk27En);
    v("decBy2Blk29En", r.decBy2Blk29En);
    v("decBy2Blk31En", r.decBy2Blk31En);
    v("decBy2Blk33En", r.decBy2Blk33En);
    v("wbLpfBlk33p1En", r.wbLpfBlk33p1En);
}

template <typename V, typename R>
void RxDecTopFields(V& v, R& r)
{
    v("decBy3Blk15En", r.decBy3Blk15En);
    v("decBy2Hb3Blk17p1En", r.decBy2Hb3Blk17p1En);
    v("decBy2Hb4Blk17p2En", r.decBy2Hb4Blk17p2En);
    v("decBy2Hb5Blk19p1En", r.decBy2Hb5Blk19p1En);
    v("decBy2Hb6Blk19p2En", r.decBy2Hb6Blk19p2En);
}

template <typename V, typename R>
void RxSincHbTopFields(V& v, R& r)
{
    v.Enum("sincGainMux", r.sincGainMux);
    v.Enum("sincMux", r.sincMux);
    v.Enum("hbMux", r.hbMux);
    v("isGainCompEnabled", r.isGainCompEnabled);
    v("gainComp9GainI", r.gainComp9GainI);
    v("gainComp9GainQ", r.gainComp9GainQ);
}

template <typename V, typename R>
void RxDpInFifoConfigFields(V& v, R& r)
{
    v("dpInFifoEn", r.dpInFifoEn);
    v.Enum("dpInFifoMode", r.dpInFifoMode);
    v.Enum("dpInFifoTestDataSel", r.dpInFifoTestDataSel);
}

template <typename V, typename R>
void RxNbNcoConfigFields(V& v, R& r)
{
    v("rxNbNcoEn", r.rxNbNcoEn);
    v("rxNbNcoConfig", r.rxNbNcoConfig);
}

template <typename V, typename R>
void RxWbNbCompPFirFields(V& v, R& r)
{
    v.Enum("bankSel", r.bankSel);
    v.Enum("rxWbNbCompPFirInMuxSel", r.rxWbNbCompPFirInMuxSel);
    v("rxWbNbCompPFirEn", r.rxWbNbCompPFirEn);
}

template <typename V, typename R>
void RxResampConfigFields(V& v, R& r)
{
    v("rxResampEn", r.rxResampEn);
    v("resampPhaseI", r.resampPhaseI);
    v("resampPhaseQ", r.resampPhaseQ);
}

template <typename V, typename R>
void RxNbDemConfigFields(V& v, R& r)
{
    v("dpInFifo", r.dpInFifo);
    v("rxNbNco", r.rxNbNco);
    v("rxWbNbCompPFir", r.rxWbNbCompPFir);
    v("resamp", r.resamp);
    v.Enum("gsOutMuxSel", r.gsOutMuxSel);
    v.Enum("rxOutSel", r.rxOutSel);
    v.Enum("rxRoundMode", r.rxRoundMode);
    v.Enum("dpArmSel", r.dpArmSel);
}

template <typename V, typename R>
void RxDpProfileFields(V& v, R& r)
{
    v("rxNbDecTop", r.rxNbDecTop);
    v("rxWbDecTop", r.rxWbDecTop);
    v("rxDecTop", r.rxDecTop);
    v("rxSincHBTop", r.rxSincHBTop);
    v("rxNbDem", r.rxNbDem);
}

template <typename V, typename R>
void RxLnaConfigFields(V& v, R& r)
{
    v("externalLnaPresent", r.externalLnaPresent);
    v.Enum("gpioSourceSel", r.gpioSourceSel);
    v.Enum("externalLnaPinSel", r.externalLnaPinSel);
    v("settlingDelay", r.settlingDelay);
    v("numberLnaGainSteps", r.numberLnaGainSteps);
    v("lnaGainSteps_mdB", r.lnaGainSteps_mdB);
    v("lnaDigitalGainDelay", r.lnaDigitalGainDelay);
    v("minGainIndex", r.minGainIndex);
    v.Enum("lnaType", r.lnaType);
}

template <typename V, typename R>
void RxProfileFields(V& v, R& r)
{
    v("primarySigBandwidth_Hz", r.primarySigBandwidth_Hz);
    v("rxOutputRate_Hz", r.rxOutputRate_Hz);
    v("rxInterfaceSampleRate_Hz", r.rxInterfaceSampleRate_Hz);
    v("rxOffsetLo_kHz", r.rxOffsetLo_kHz);
    v("rxNcoEnable", r.rxNcoEnable);
    v.Enum("outputSignaling", r.outputSignaling);
    v("filterOrder", r.filterOrder);
    v("filterOrderLp", r.filterOrderLp);
    v("hpAdcCorner", r.hpAdcCorner);
    v("lpAdcCorner", r.lpAdcCorner);
    v("adcClk_kHz", r.adcClk_kHz);
    v("rxCorner3dB_kHz", r.rxCorner3dB_kHz);
    v("rxCorner3dBLp_kHz", r.rxCorner3dBLp_kHz);
    v.Enum("tiaPower", r.tiaPower);
    v.Enum("tiaPowerLp", r.tiaPowerLp);
    v("channelType", r.channelType);
    v.Enum("adcType", r.adcType);
    v.Enum("lpAdcCalMode", r.lpAdcCalMode);
    v.Enum("gainTableType", r.gainTableType);
    v("rxDpProfile", r.rxDpProfile);
    v("lnaConfig", r.lnaConfig);
    v("rxSsiConfig", r.rxSsiConfig);
}

template <typename V, typename R>
void RxChannelCfgFields(V& v, R& r)
{
    v("profile", r.profile);
}

template <typename V, typename R>
void RxSettingsFields(V& v, R& r)
{
    v("rxInitChannelMask", r.rxInitChannelMask);
    v("rxChannelCfg", r.rxChannelCfg);
}

}  // namespace

void to_json(json& j, const marlin_RxNbDecTop_t& r)
{
    Writer<json> w(j);
    RxNbDecTopFields(w, r);
}

void to_json(ordered_json& j, const marlin_RxNbDecTop_t& r)
{
    Writer<ordered_json> w(j);
    RxNbDecTopFields(w, r);
}

void from_json(const json& j, marlin_RxNbDecTop_t& r)
{
    Reader reader(j);
    RxNbDecTopFields(reader, r);
}

void to_json(json& j, const marlin_RxWbDecTop_t& r)
{
    Writer<json> w(j);
    RxWbDecTopFields(w, r);
}

void to_json(ordered_json& j, const marlin_RxWbDecTop_t& r)
{
    Writer<ordered_json> w(j);
    RxWbDecTopFields(w, r);
}

void from_json(const json& j, marlin_RxWbDecTop_t& r)
{
    Reader reader(j);
    RxWbDecTopFields(reader, r);
}

void to_json(json& j, const marlin_RxDecTop_t& r)
{
    Writer<json> w(j);
    RxDecTopFields(w, r);
}

void to_json(ordered_json& j, const marlin_RxDecTop_t& r)
{
    Writer<ordered_json> w(j);
    RxDecTopFields(w, r);
}

void from_json(const json& j, marlin_RxDecTop_t& r)
{
    Reader reader(j);
    RxDecTopFields(reader, r);
}

void to_json(json& j, const marlin_RxSincHbTop_t& r)
{
    Writer<json> w(j);
    RxSincHbTopFields(w, r);
}

void to_json(ordered_json& j, const marlin_RxSincHbTop_t& r)
{
    Writer<ordered_json> w(j);
    RxSincHbTopFields(w, r);
}

void from_json(const json& j, marlin_RxSincHbTop_t& r)
{
    Reader reader(j);
    RxSincHbTopFields(reader, r);
}

void to_json(json& j, const marlin_RxDpInFifoConfig_t& r)
{
    Writer<json> w(j);
    RxDpInFifoConfigFields(w, r);
}

void to_json(ordered_json& j, const marlin_RxDpInFifoConfig_t& r)
{
    Writer<ordered_json> w(j);
    RxDpInFifoConfigFields(w, r);
}

void from_json(const json& j, marlin_RxDpInFifoConfig_t& r)
{
    Reader reader(j);
    RxDpInFifoConfigFields(reader, r);
}

void to_json(json& j, const marlin_RxNbNcoConfig_t& r)
{
    Writer<json> w(j);
    RxNbNcoConfigFields(w, r);
}

void to_json(ordered_json& j, const marlin_RxNbNcoConfig_t& r)
{
    Writer<ordered_json> w(j);
    RxNbNcoConfigFields(w, r);
}

void from_json(const json& j, marlin_RxNbNcoConfig_t& r)
{
    Reader reader(j);
    RxNbNcoConfigFields(reader, r);
}

void to_json(json& j, const marlin_RxWbNbCompPFir_t& r)
{
    Writer<json> w(j);
    RxWbNbCompPFirFields(w, r);
}

void to_json(ordered_json& j, const marlin_RxWbNbCompPFir_t& r)
{
    Writer<ordered_json> w(j);
    RxWbNbCompPFirFields(w, r);
}

void from_json(const json& j, marlin_RxWbNbCompPFir_t& r)
{
    Reader reader(j);
    RxWbNbCompPFirFields(reader, r);
}

void to_json(json& j, const marlin_RxResampConfig_t& r)
{
    Writer<json> w(j);
    RxResampConfigFields(w, r);
}

void to_json(ordered_json& j, const marlin_RxResampConfig_t& r)
{
    Writer<ordered_json> w(j);
    RxResampConfigFields(w, r);
}

void from_json(const json& j, marlin_RxResampConfig_t& r)
{
    Reader reader(j);
    RxResampConfigFields(reader, r);
}

void to_json(json& j, const marlin_RxNbDemConfig_t& r)
{
    Writer<json> w(j);
    RxNbDemConfigFields(w, r);
}

void to_json(ordered_json& j, const marlin_RxNbDemConfig_t& r)
{
    Writer<ordered_json> w(j);
    RxNbDemConfigFields(w, r);
}

void from_json(const json& j, marlin_RxNbDemConfig_t& r)
{
    Reader reader(j);
    RxNbDemConfigFields(reader, r);
}

void to_json(json& j, const marlin_RxDpProfile_t& r)
{
    Writer<json> w(j);
    RxDpProfileFields(w, r);
}

void to_json(ordered_json& j, const marlin_RxDpProfile_t& r)
{
    Writer<ordered_json> w(j);
    RxDpProfileFields(w, r);
}

void from_json(const json& j, marlin_RxDpProfile_t& r)
{
    Reader reader(j);
    RxDpProfileFields(reader, r);
}

void to_json(json& j, const marlin_RxLnaConfig_t& r)
{
    Writer<json> w(j);
    RxLnaConfigFields(w, r);
}

void to_json(ordered_json& j, const marlin_RxLnaConfig_t& r)
{
    Writer<ordered_json> w(j);
    RxLnaConfigFields(w, r);
}

void from_json(const json& j, marlin_RxLnaConfig_t& r)
{
    Reader reader(j);
    RxLnaConfigFields(reader, r);
}

void to_json(json& j, const marlin_RxProfile_t& r)
{
    Writer<json> w(j);
    RxProfileFields(w, r);
}

void to_json(ordered_json& j, const marlin_RxProfile_t& r)
{
    Writer<ordered_json> w(j);
    RxProfileFields(w, r);
}

void from_json(const json& j, marlin_RxProfile_t& r)
{
    Reader reader(j);
    RxProfileFields(reader, r);
}

void to_json(json& j, const marlin_RxChannelCfg_t& r)
{
    Writer<json> w(j);
    RxChannelCfgFields(w, r);
}

void to_json(ordered_json& j, const marlin_RxChannelCfg_t& r)
{
    Writer<ordered_json> w(j);
    RxChannelCfgFields(w, r);
}

void from_json(const json& j, marlin_RxChannelCfg_t& r)
{
    Reader reader(j);
    RxChannelCfgFields(reader, r);
}

void to_json(json& j, const marlin_RxSettings_t& r)
{
    Writer<json> w(j);
    RxSettingsFields(w, r);
}

void to_json(ordered_json& j, const marlin_RxSettings_t& r)
{
    Writer<ordered_json> w(j);
    RxSettingsFields(w, r);
}

void from_json(const json& j, marlin_RxSettings_t& r)
{
    Reader reader(j);
    RxSettingsFields(reader, r);
}

}  // namespace Veltrix::Marlin::Native
