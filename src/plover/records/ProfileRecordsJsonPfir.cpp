// JSON conversions of the programmable-FIR bank records.

#include "plover/records/ProfileRecordsJsonFields.h"

namespace Veltrix::Marlin::Native {

using ProfileJson::Reader;
using ProfileJson::Writer;

namespace {

template <typename V, typename R>
void PfirWbNbBufferFields(V& v, R& r)
{
    v("numCoeff", r.numCoeff);
    v.Enum("symmetricSel", r.symmetricSel);
    v.Enum("tapsSel", r.tapsSel);
    v.Enum("gainSel", r.gainSel);
    v("coefficients", r.coefficients);
}

template <typename V, typename R>
void PfirPulseBufferFields(V& v, R& r)
{
    v("numCoeff", r.numCoeff);
    v.Enum("symmetricSel", r.symmetricSel);
    v("taps", r.taps);
    v.Enum("gainSel", r.gainSel);
    v("coefficients", r.coefficients);
}

template <typename V, typename R>
void PfirMag21BufferFields(V& v, R& r)
{
    v("numCoeff", r.numCoeff);
    v("coefficients", r.coefficients);
}

template <typename V, typename R>
void PfirMag13BufferFields(V& v, R& r)
{
    v("numCoeff", r.numCoeff);
    v("coefficients", r.coefficients);
}

template <typename V, typename R>
void PfirBufferFields(V& v, R& r)
{
    v("pfirRxWbNbChFilterCoeff_A", r.pfirRxWbNbChFilterCoeff_A);
    v("pfirRxWbNbChFilterCoeff_B", r.pfirRxWbNbChFilterCoeff_B);
    v("pfirRxWbNbChFilterCoeff_C", r.pfirRxWbNbChFilterCoeff_C);
    v("pfirRxWbNbChFilterCoeff_D", r.pfirRxWbNbChFilterCoeff_D);
    v("pfirTxWbNbPulShpCoeff_A", r.pfirTxWbNbPulShpCoeff_A);
    v("pfirTxWbNbPulShpCoeff_B", r.pfirTxWbNbPulShpCoeff_B);
    v("pfirTxWbNbPulShpCoeff_C", r.pfirTxWbNbPulShpCoeff_C);
    v("pfirTxWbNbPulShpCoeff_D", r.pfirTxWbNbPulShpCoeff_D);
    v("pfirRxNbPulShp", r.pfirRxNbPulShp);
    v("pfirRxMagLowTiaLowSRHp", r.pfirRxMagLowTiaLowSRHp);
    v("pfirRxMagLowTiaHighSRHp", r.pfirRxMagLowTiaHighSRHp);
    v("pfirRxMagHighTiaHighSRHp", r.pfirRxMagHighTiaHighSRHp);
    v("pfirRxMagLowTiaLowSRLp", r.pfirRxMagLowTiaLowSRLp);
    v("pfirRxMagLowTiaHighSRLp", r.pfirRxMagLowTiaHighSRLp);
    v("pfirRxMagHighTiaHighSRLp", r.pfirRxMagHighTiaHighSRLp);
    v("pfirTxMagComp1", r.pfirTxMagComp1);
    v("pfirTxMagComp2", r.pfirTxMagComp2);
    v("pfirTxMagCompNb", r.pfirTxMagCompNb);
    v("pfirRxMagCompNb", r.pfirRxMagCompNb);
}

}  // namespace

void to_json(json& j, const marlin_PfirWbNbBuffer_t& r)
{
    Writer<json> w(j);
    PfirWbNbBufferFields(w, r);
}

void to_json(ordered_json& j, const marlin_PfirWbNbBuffer_t& r)
{
    Writer<ordered_json> w(j);
    PfirWbNbBufferFields(w, r);
}

void from_json(const json& j, marlin_PfirWbNbBuffer_t& r)
{
    Reader reader(j);
    PfirWbNbBufferFields(reader, r);
}

void to_json(json& j, const marlin_PfirPulseBuffer_t& r)
{
    Writer<json> w(j);
    PfirPulseBufferFields(w, r);
}

void to_json(ordered_json& j, const marlin_PfirPulseBuffer_t& r)
{
    Writer<ordered_json> w(j);
    PfirPulseBufferFields(w, r);
}

void from_json(const json& j, marlin_PfirPulseBuffer_t& r)
{
    Reader reader(j);
    PfirPulseBufferFields(reader, r);
}

void to_json(json& j, const marlin_PfirMag21Buffer_t& r)
{
    Writer<json> w(j);
    PfirMag21BufferFields(w, r);
}

void to_json(ordered_json& j, const marlin_PfirMag21Buffer_t& r)
{
    Writer<ordered_json> w(j);
    PfirMag21BufferFields(w, r);
}

void from_json(const json& j, marlin_PfirMag21Buffer_t& r)
{
    Reader reader(j);
    PfirMag21BufferFields(reader, r);
}

void to_json(json& j, const marlin_PfirMag13Buffer_t& r)
{
    Writer<json> w(j);
    PfirMag13BufferFields(w, r);
}

void to_json(ordered_json& j, const marlin_PfirMag13Buffer_t& r)
{
    Writer<ordered_json> w(j);
    PfirMag13BufferFields(w, r);
}

void from_json(const json& j, marlin_PfirMag13Buffer_t& r)
{
    Reader reader(j);
    PfirMag13BufferFields(reader, r);
}

void to_json(json& j, const marlin_PfirBuffer_t& r)
{
    Writer<json> w(j);
    PfirBufferFields(w, r);
}

void to_json(ordered_json& j, const marlin_PfirBuffer_t& r)
{
    Writer<ordered_json> w(j);
    PfirBufferFields(w, r);
}

void from_json(const json& j, marlin_PfirBuffer_t& r)
{
    Reader reader(j);
    PfirBufferFields(reader, r);
}

}  // namespace Veltrix::Marlin::Native
