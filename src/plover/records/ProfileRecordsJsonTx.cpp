// JSON conversions of the transmit-section records.

#include "plover/records/ProfileRecordsJsonFields.h"

namespace Veltrix::Marlin::Native {

using ProfileJson::Reader;
using ProfileJson::Writer;

namespace {

template <typename V, typename R>
void TxPreProcFields(V& v, R& r)
{
    v("txPreProcSymbol0", r.txPreProcSymbol0);
    v("txPreProcSymbol1", r.txPreProcSymbol1);
    v("txPreProcSymbol2", r.txPreProcSymbol2);
    v("txPreProcSymbol3", r.txPreProcSymbol3);
    v("txPreProcSymMapDivFactor", r.txPreProcSymMapDivFactor);
    v.Enum("txPreProcMode", r.txPreProcMode);
    v.Enum("txPreProcWbNbPfirIBankSel", r.txPreProcWbNbPfirIBankSel);
    v.Enum("txPreProcWbNbPfirQBankSel", r.txPreProcWbNbPfirQBankSel);
}

template <typename V, typename R>
void TxWbIntTopFields(V& v, R& r)
{
    v("txInterpBy2Blk30En", r.txInterpBy2Blk30En);
    v("txInterpBy2Blk28En", r.txInterpBy2Blk28En);
    v("txInterpBy2Blk26En", r.txInterpBy2Blk26En);
    v("txInterpBy2Blk24En", r.txInterpBy2Blk24En);
    v("txInterpBy2Blk22En", r.txInterpBy2Blk22En);
    v("txWbLpfBlk22p1En", r.txWbLpfBlk22p1En);
}

template <typename V, typename R>
void TxNbIntTopFields(V& v, R& r)
{
    v("txInterpBy2Blk20En", r.txInterpBy2Blk20En);
    v("txInterpBy2Blk18En", r.txInterpBy2Blk18En);
    v("txInterpBy2Blk16En", r.txInterpBy2Blk16En);
    v("txInterpBy2Blk14En", r.txInterpBy2Blk14En);
    v("txInterpBy2Blk12En", r.txInterpBy2Blk12En);
    v("txInterpBy3Blk10En", r.txInterpBy3Blk10En);
    v("txInterpBy2Blk8En", r.txInterpBy2Blk8En);
    v("txScicBlk32En", r.txScicBlk32En);
    v("txScicBlk32DivFactor", r.txScicBlk32DivFactor);
}

template <typename V, typename R>
void TxIntTopFields(V& v, R& r)
{
    v("interpBy3Blk44p1En", r.interpBy3Blk44p1En);
    v("sinc3Blk44En", r.sinc3Blk44En);
    v("sinc2Blk42En", r.sinc2Blk42En);
    v("interpBy3Blk40En", r.interpBy3Blk40En);
    v("interpBy2Blk38En", r.interpBy2Blk38En);
    v("interpBy2Blk36En", r.interpBy2Blk36En);
}

template <typename V, typename R>
void TxIntTopFreqDevMapFields(V& v, R& r)
{
    v("rrc2Frac", r.rrc2Frac);
    v("mpll", r.mpll);
    v("nchLsw", r.nchLsw);
    v("nchMsb", r.nchMsb);
    v("freqDevMapEn", r.freqDevMapEn);
    v("txRoundEn", r.txRoundEn);
}

template <typename V, typename R>
void TxIqdmDucFields(V& v, R& r)
{
    v.Enum("iqdmDucMode", r.iqdmDucMode);
    v("iqdmDev", r.iqdmDev);
    v("iqdmDevOffset", r.iqdmDevOffset);
    v("iqdmScalar", r.iqdmScalar);
    v("iqdmThreshold", r.iqdmThreshold);
    v("iqdmNco", r.iqdmNco);
}

template <typename V, typename R>
void TxDpProfileFields(V& v, R& r)
{
    v("txPreProc", r.txPreProc);
    v("txWbIntTop", r.txWbIntTop);
    v("txNbIntTop", r.txNbIntTop);
    v("txIntTop", r.txIntTop);
    v("txIntTopFreqDevMap", r.txIntTopFreqDevMap);
    v("txIqdmDuc", r.txIqdmDuc);
}

template <typename V, typename R>
void TxProfileFields(V& v, R& r)
{
    v("primarySigBandwidth_Hz", r.primarySigBandwidth_Hz);
    v("txInputRate_Hz", r.txInputRate_Hz);
    v("txInterfaceSampleRate_Hz", r.txInterfaceSampleRate_Hz);
    v("txOffsetLo_kHz", r.txOffsetLo_kHz);
    v("validDataDelay", r.validDataDelay);
    v("txBbf3dBCorner_kHz", r.txBbf3dBCorner_kHz);
    v.Enum("outputSignaling", r.outputSignaling);
    v("txPdBiasCurrent", r.txPdBiasCurrent);
    v("txPdGainEnable", r.txPdGainEnable);
    v("txPrePdRealPole_kHz", r.txPrePdRealPole_kHz);
    v("txPostPdRealPole_kHz", r.txPostPdRealPole_kHz);
    v.Enum("txBbfPower", r.txBbfPower);
    v("txExtLoopBackType", r.txExtLoopBackType);
    v("txExtLoopBackForInitCal", r.txExtLoopBackForInitCal);
    v("txPeakLoopBackPower", r.txPeakLoopBackPower);
    v("frequencyDeviation_Hz", r.frequencyDeviation_Hz);
    v("txDpProfile", r.txDpProfile);
    v("txSsiConfig", r.txSsiConfig);
}

template <typename V, typename R>
void TxSettingsFields(V& v, R& r)
{
    v("txInitChannelMask", r.txInitChannelMask);
    v("txProfile", r.txProfile);
}

}  // namespace

void to_json(json& j, const marlin_TxPreProc_t& r)
{
    Writer<json> w(j);
    TxPreProcFields(w, r);
}

void to_json(ordered_json& j, const marlin_TxPreProc_t& r)
{
    Writer<ordered_json> w(j);
    TxPreProcFields(w, r);
}

void from_json(const json& j, marlin_TxPreProc_t& r)
{
    Reader reader(j);
    TxPreProcFields(reader, r);
}

void to_json(json& j, const marlin_TxWbIntTop_t& r)
{
    Writer<json> w(j);
    TxWbIntTopFields(w, r);
}

void to_json(ordered_json& j, const marlin_TxWbIntTop_t& r)
{
    Writer<ordered_json> w(j);
    TxWbIntTopFields(w, r);
}

void from_json(const json& j, marlin_TxWbIntTop_t& r)
{
    Reader reader(j);
    TxWbIntTopFields(reader, r);
}

void to_json(json& j, const marlin_TxNbIntTop_t& r)
{
    Writer<json> w(j);
    TxNbIntTopFields(w, r);
}

void to_json(ordered_json& j, const marlin_TxNbIntTop_t& r)
{
    Writer<ordered_json> w(j);
    TxNbIntTopFields(w, r);
}

void from_json(const json& j, marlin_TxNbIntTop_t& r)
{
    Reader reader(j);
    TxNbIntTopFields(reader, r);
}

void to_json(json& j, const marlin_TxIntTop_t& r)
{
    Writer<json> w(j);
    TxIntTopFields(w, r);
}

void to_json(ordered_json& j, const marlin_TxIntTop_t& r)
{
    Writer<ordered_json> w(j);
    TxIntTopFields(w, r);
}

void from_json(const json& j, marlin_TxIntTop_t& r)
{
    Reader reader(j);
    TxIntTopFields(reader, r);
}

void to_json(json& j, const marlin_TxIntTopFreqDevMap_t& r)
{
    Writer<json> w(j);
    TxIntTopFreqDevMapFields(w, r);
}

void to_json(ordered_json& j, const marlin_TxIntTopFreqDevMap_t& r)
{
    Writer<ordered_json> w(j);
    TxIntTopFreqDevMapFields(w, r);
}

void from_json(const json& j, marlin_TxIntTopFreqDevMap_t& r)
{
    Reader reader(j);
    TxIntTopFreqDevMapFields(reader, r);
}

void to_json(json& j, const marlin_TxIqdmDuc_t& r)
{
    Writer<json> w(j);
    TxIqdmDucFields(w, r);
}

void to_json(ordered_json& j, const marlin_TxIqdmDuc_t& r)
{
    Writer<ordered_json> w(j);
    TxIqdmDucFields(w, r);
}

void from_json(const json& j, marlin_TxIqdmDuc_t& r)
{
    Reader reader(j);
    TxIqdmDucFields(reader, r);
}

void to_json(json& j, const marlin_TxDpProfile_t& r)
{
    Writer<json> w(j);
    TxDpProfileFields(w, r);
}

void to_json(ordered_json& j, const marlin_TxDpProfile_t& r)
{
    Writer<ordered_json> w(j);
    TxDpProfileFields(w, r);
}

void from_json(const json& j, marlin_TxDpProfile_t& r)
{
    Reader reader(j);
    TxDpProfileFields(reader, r);
}

void to_json(json& j, const marlin_TxProfile_t& r)
{
    Writer<json> w(j);
    TxProfileFields(w, r);
}

void to_json(ordered_json& j, const marlin_TxProfile_t& r)
{
    Writer<ordered_json> w(j);
    TxProfileFields(w, r);
}

void from_json(const json& j, marlin_TxProfile_t& r)
{
    Reader reader(j);
    TxProfileFields(reader, r);
}

void to_json(json& j, const marlin_TxSettings_t& r)
{
    Writer<json> w(j);
    TxSettingsFields(w, r);
}

void to_json(ordered_json& j, const marlin_TxSettings_t& r)
{
    Writer<ordered_json> w(j);
    TxSettingsFields(w, r);
}

void from_json(const json& j, marlin_TxSettings_t& r)
{
    Reader reader(j);
    TxSettingsFields(reader, r);
}

}  // namespace Veltrix::Marlin::Native
