// Stock chains: proven chains for a few overall ratios. A row applies only
// while the requested bandwidth ÷ sample rate stays within its limit (0: none).

#include "engine/StockLookup.h"

#include <array>
#include <cmath>
#include <cstdint>

#include "engine/PrintSink.h"

namespace Veltrix::Marlin::Native {
namespace {

using Codes = std::array<std::int8_t, 16>;

struct StockRow {
    int ratio;
    bool hasRx;
    Codes rx;
    double rxLimit;
    Codes tx;
    double txLimit;
};

// clang-format off
constexpr std::array<StockRow, 16> StockTable = {{
    {3,    true,  {3,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1},  0.6510416666666666, {3,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1},  0.6510416666666666},
    {4,    true,  {1,2,2,1,1,1,1,1,1,1,1,1,1,1,1,1},  0.8246527777777778, {1,2,2,1,1,1,1,1,1,1,1,1,1,1,1,1},  0.8246527777777778},
    {6,    true,  {3,1,1,1,1,1,1,2,1,1,1,1,1,1,1,1},  0.6510416666666666, {3,1,1,1,1,1,1,2,1,1,1,1,1,1,1,1},  0.6510416666666666},
    {8,    true,  {1,2,2,1,1,1,1,2,1,1,1,1,1,1,1,1},  0.5859375,          {1,2,2,1,1,1,1,2,1,1,1,1,1,1,1,1},  0.5859375},
    {12,   true,  {3,1,1,1,1,1,2,2,1,1,1,1,1,1,1,1},  0.6510416666666666, {3,1,1,1,1,1,2,2,1,1,1,1,1,1,1,1},  0.6510416666666666},
    {16,   false, {},                                 0.0,                {1,1,1,1,1,1,1,1,1,1,1,2,2,2,1,2},  0.0},
    {24,   true,  {3,1,1,1,1,2,2,2,1,1,1,1,1,1,1,1},  0.5859375,          {3,1,1,1,1,2,2,2,1,1,1,1,1,1,1,1},  0.5859375},
    {48,   true,  {3,1,1,1,2,2,2,2,1,1,1,1,1,1,1,1},  0.703125,           {3,1,1,1,2,2,2,2,1,1,1,1,1,1,1,1},  0.703125},
    {96,   true,  {3,1,1,2,2,2,2,2,1,1,1,1,1,1,1,1},  0.7291666666666666, {3,1,1,2,2,2,2,2,1,1,1,1,1,1,1,1},  0.7291666666666666},
    {192,  true,  {3,1,1,2,2,2,2,2,1,1,1,1,2,1,1,1},  0.0,                {3,1,1,2,2,2,2,2,1,1,1,1,2,1,1,1},  0.0},
    {640,  true,  {1,2,2,1,1,1,1,1,10,2,2,2,1,1,1,2}, 0.5208333333333334, {1,2,2,1,1,1,1,1,10,2,2,2,1,1,1,2}, 0.3472222222222222},
    {960,  true,  {1,2,2,1,1,1,1,1,10,2,2,2,1,1,3,1}, 0.13020833333333334,{1,2,2,1,1,1,1,1,10,2,2,2,1,1,3,1}, 0.13020833333333334},
    {1280, true,  {1,2,2,1,1,1,1,1,10,2,2,2,2,1,1,2}, 0.3472222222222222, {1,2,2,1,1,1,1,1,10,2,2,2,2,1,1,2}, 0.3472222222222222},
    {1920, false, {},                                 0.0,                {1,2,2,1,1,1,1,1,10,2,2,2,2,1,3,1}, 0.0},
    {3840, true,  {1,2,2,1,1,1,1,1,10,2,2,2,2,1,3,2}, 0.2604166666666667, {1,2,2,1,1,1,1,1,10,2,2,2,2,1,3,2}, 0.2604166666666667},
    {7680, true,  {1,2,2,1,1,1,1,1,10,2,2,2,2,2,3,2}, 0.5208333333333334, {1,2,2,1,1,1,1,1,10,2,2,2,2,2,3,2}, 0.5208333333333334},
}};
// clang-format on

// Direct FM/FSK transmission interpolates by 4 only; its clock still runs at 1920 × rate.
constexpr int DirectModulationRatio = 1920;
constexpr Codes DirectModulationTx = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 1, 2};

StageCodes ToStageCodes(const Codes& codes)
{
    StageCodes out{};
    for (std::size_t i = 0; i < codes.size(); ++i) out[i] = codes[i];
    return out;
}

const StockRow* FindRow(int ratio)
{
    for (const StockRow& row : StockTable)
        if (row.ratio == ratio) return &row;
    return nullptr;
}

bool WithinLimit(double bandwidthRatio, double limit) { return !(limit > 0.0 && bandwidthRatio > limit); }

// The converter-side agreement test of the stock chains compares sums of codes
// 0..2 (every stock row has 5 there); results built on it are kept as they are.
double ConverterSum(const StageCodes& codes) { return codes[0] + codes[1] + codes[2]; }

// Ratios r in lo..hi with rate × r == clock exactly. rate × r grows with r, so
// at most one matches unless the rate is 0.
struct RatioRange {
    int lo;
    int hi;
};

RatioRange MatchingRatios(double rate, double clock)
{
    if (rate == 0.0) return clock == 0.0 ? RatioRange{MinClockRatio, MaxClockRatio} : RatioRange{1, 0};
    const double r = std::round(clock / rate);
    if (!(r >= MinClockRatio && r <= MaxClockRatio) || rate * r != clock) return {1, 0};
    return {static_cast<int>(r), static_cast<int>(r)};
}

RatioRange AllRatios(bool enabled) { return enabled ? RatioRange{MinClockRatio, MaxClockRatio} : RatioRange{0, 0}; }

}  // namespace

std::optional<StageCodes> RxStockTable_Find(int ratio, double bandwidthRatio)
{
    const StockRow* row = FindRow(ratio);
    if (row == nullptr || !row->hasRx || !WithinLimit(bandwidthRatio, row->rxLimit)) return std::nullopt;
    return ToStageCodes(row->rx);
}

std::optional<StageCodes> TxStockTable_Find(int ratio, double bandwidthRatio, bool txSpecialMode)
{
    if (txSpecialMode && ratio == DirectModulationRatio) return ToStageCodes(DirectModulationTx);
    const StockRow* row = FindRow(ratio);
    if (row == nullptr || !WithinLimit(bandwidthRatio, row->txLimit)) return std::nullopt;
    return ToStageCodes(row->tx);
}

double StockLookup(const EngineContext& context,
                   const ChannelDesignRecord& first,
                   const ChannelDesignRecord& second,
                   ChainSelection& chains)
{
    const bool firstRx = !context.firstRxDisabled;
    const bool firstTx = !context.firstTxDisabled;
    const bool secondRx = !context.secondRxDisabled;
    const bool secondTx = !context.secondTxDisabled;
    const double firstRxRate = first.rxSampleRate_Hz;
    const double firstTxRate = first.txSampleRate_Hz;
    const double secondRxRate = second.rxSampleRate_Hz;
    const double secondTxRate = second.txSampleRate_Hz;
    auto inBounds = [&](double clock) {
        return clock >= context.minSystemClock_Hz && clock <= context.maxSystemClock_Hz;
    };

    double status = -2;
    bool found = false;
    const RatioRange tRange = AllRatios(firstTx);
    for (int t = tRange.lo; t <= tRange.hi && !found; ++t) {
        const double ct = firstTxRate * t;
        if (firstTx && !inBounds(ct)) continue;

        // With both first directions enabled only the ratio landing on Ct can pass.
        const RatioRange rRange = firstRx && firstTx ? MatchingRatios(firstRxRate, ct) : AllRatios(firstRx);
        bool settled = false;
        double cr = 0.0;
        for (int r = rRange.lo; r <= rRange.hi; ++r) {
            cr = firstRxRate * r;
            if (firstRx && !inBounds(cr)) continue;
            if (firstRx && firstTx && cr != ct) continue;
            if (firstRx) {
                const auto rx = RxStockTable_Find(r, first.rxBandwidth_Hz / firstRxRate);
                if (!rx) continue;
                chains.firstRx = *rx;
            }
            if (firstTx) {
                const auto tx = TxStockTable_Find(t, first.txBandwidth_Hz / firstTxRate, first.txSpecialMode != 0);
                if (!tx) continue;
                chains.firstTx = *tx;
            }
            if (firstRx && firstTx && first.txSpecialMode == 0) {
                status = -3;
                if (ConverterSum(chains.firstTx) != ConverterSum(chains.firstRx)) continue;
            }
            status = 0;
            settled = true;
            break;
        }
        if (!settled) continue;
        if (!context.secondChannelUsed) {
            found = true;
            break;
        }

        // The second channel must land on the first channel's clock.
        const double target = firstTx ? ct : cr;
        const RatioRange uRange = secondTx ? MatchingRatios(secondTxRate, target) : AllRatios(false);
        const RatioRange vRange = secondRx ? MatchingRatios(secondRxRate, target) : AllRatios(false);
        status = -4;
        for (int u = uRange.lo; u <= uRange.hi && !found; ++u) {
            status = -4;
            const double cu = secondTxRate * u;
            if (secondTx && firstTx && cu != ct) continue;
            if (firstRx && secondTx && cu != cr) continue;
            for (int v = vRange.lo; v <= vRange.hi; ++v) {
                const double cv = secondRxRate * v;
                if (secondRx && firstTx) {
                    if (cv != ct) continue;
                } else if (secondRx && firstRx && cv != cr) {
                    continue;
                }
                if (secondRx) {
                    const auto rx = RxStockTable_Find(v, second.rxBandwidth_Hz / secondRxRate);
                    if (!rx) continue;
                    chains.secondRx = *rx;
                }
                if (secondTx) {
                    const auto tx =
                        TxStockTable_Find(u, second.txBandwidth_Hz / secondTxRate, second.txSpecialMode != 0);
                    if (!tx) continue;
                    chains.secondTx = *tx;
                }
                status = -3;
                if (firstTx && secondRx && first.txSpecialMode == 0 &&
                    ConverterSum(chains.firstTx) != ConverterSum(chains.secondRx))
                    continue;
                if (secondTx && firstRx && second.txSpecialMode == 0 &&
                    ConverterSum(chains.secondTx) != ConverterSum(chains.firstRx))
                    continue;
                if (secondTx && secondRx && second.txSpecialMode == 0 &&
                    ConverterSum(chains.secondTx) != ConverterSum(chains.secondRx))
                    continue;
                status = 0;
                found = true;
                break;
            }
        }
    }

    if (found) {
        if (context.isDebug) Print("Pre-existing profile found\n");
    } else {
        chains.firstRx = {};
        chains.firstTx = {};
        chains.secondRx = {};
        chains.secondTx = {};
    }
    return status;
}

}  // namespace Veltrix::Marlin::Native
