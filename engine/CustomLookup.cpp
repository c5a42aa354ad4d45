// Custom lookup: rows whose window holds a direction's rate and whose chain
// passes its bandwidth are combined across the four directions until one
// combination puts every enabled direction on the same in-bounds clock with
// the same converter-side ratio.

#include "engine/CustomLookup.h"

#include <array>
#include <vector>

#include "engine/CustomLookupTables.h"
#include "engine/PrintSink.h"

namespace Veltrix::Marlin::Native {
namespace {

// Every selector value 0, 1 and 2 is served by the same rows.
bool KnownSelector(std::uint8_t value) { return value <= 2; }

// Row indices of one direction. A disabled direction takes part through one
// neutral entry (-1): it matches every combination and is never compared, so a
// direction disabled on both channels cannot empty the walk.
std::vector<int> MarkRows(const std::array<CustomLookupRow, CustomLookupRows>& table,
                          bool enabled,
                          double rate,
                          double bandwidth)
{
    if (!enabled) return {-1};
    std::vector<int> rows;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const CustomLookupRow& row = table[i];
        if (row.windowLower_Hz <= rate && rate <= row.windowUpper_Hz && row.maxBandwidth_Hz >= bandwidth)
            rows.push_back(static_cast<int>(i));
    }
    return rows;
}

struct Direction {
    const std::array<CustomLookupRow, CustomLookupRows>* table;
    bool enabled;
    double rate;
    std::vector<int> rows;
};

// Products in double arithmetic: a chain's ratio times a rate never wraps.
double CodeProduct(const CustomLookupRow& row, std::size_t count)
{
    double product = 1.0;
    for (std::size_t i = 0; i < count; ++i) product *= row.codes[i];
    return product;
}

StageCodes ToStageCodes(const Direction& direction, int row)
{
    StageCodes out{};
    if (row < 0) return out;
    const CustomLookupRow& r = (*direction.table)[static_cast<std::size_t>(row)];
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = r.codes[i];
    return out;
}

}  // namespace

double CustomLookup(const EngineContext& context,
                    const ChannelDesignRecord& first,
                    const ChannelDesignRecord& second,
                    ChainSelection& chains)
{
    const bool rxKnown = KnownSelector(first.lifSelect) && KnownSelector(first.rxHb22WblpfSelect) &&
                         KnownSelector(second.lifSelect) && KnownSelector(second.rxHb22WblpfSelect);
    const bool txKnown = KnownSelector(first.txHb22WblpfSelect) && KnownSelector(second.txHb22WblpfSelect);
    if (!rxKnown) Print("Unknown WBLPF/HB22 or LIF/VLIF configuration selected\n");
    if (!txKnown) Print("Unknown TX WBLPF/HB22 configuration selected\n");
    if (!rxKnown || !txKnown) return -7;

    // Walk order: first Tx (outermost), first Rx, second Tx, second Rx.
    std::array<Direction, 4> directions = {{
        {&TxCustomLookupTable, !context.firstTxDisabled, static_cast<double>(first.txSampleRate_Hz), {}},
        {&RxCustomLookupTable, !context.firstRxDisabled, static_cast<double>(first.rxSampleRate_Hz), {}},
        {&TxCustomLookupTable, !context.secondTxDisabled, static_cast<double>(second.txSampleRate_Hz), {}},
        {&RxCustomLookupTable, !context.secondRxDisabled, static_cast<double>(second.rxSampleRate_Hz), {}},
    }};
    const std::array<double, 4> bandwidths = {static_cast<double>(first.txBandwidth_Hz),
                                              static_cast<double>(first.rxBandwidth_Hz),
                                              static_cast<double>(second.txBandwidth_Hz),
                                              static_cast<double>(second.rxBandwidth_Hz)};
    for (std::size_t d = 0; d < directions.size(); ++d)
        directions[d].rows = MarkRows(*directions[d].table, directions[d].enabled, directions[d].rate, bandwidths[d]);

    double status = -2;
    for (int a : directions[0].rows)
        for (int b : directions[1].rows)
            for (int c : directions[2].rows)
                for (int d : directions[3].rows) {
                    const std::array<int, 4> rows = {a, b, c, d};
                    bool seen = false;
                    bool sameConverter = true;
                    bool sameClock = true;
                    double converter = 0.0;
                    double clock = 0.0;
                    for (std::size_t k = 0; k < rows.size(); ++k) {
                        if (rows[k] < 0) continue;
                        const CustomLookupRow& row = (*directions[k].table)[static_cast<std::size_t>(rows[k])];
                        const double conv = CodeProduct(row, 3);
                        const double clk = CodeProduct(row, 16) * directions[k].rate;
                        if (!seen) {
                            converter = conv;
                            clock = clk;
                            seen = true;
                            continue;
                        }
                        sameConverter = sameConverter && conv == converter;
                        sameClock = sameClock && clk == clock;
                    }
                    if (!sameConverter) {
                        status = -3;
                        continue;
                    }
                    if (!sameClock) {
                        status = -4;
                        continue;
                    }
                    // The shared clock of the enabled directions must lie in the bounds.
                    if (clock < context.minSystemClock_Hz || clock > context.maxSystemClock_Hz) {
                        status = -2;
                        continue;
                    }
                    chains.firstTx = ToStageCodes(directions[0], a);
                    chains.firstRx = ToStageCodes(directions[1], b);
                    chains.secondTx = ToStageCodes(directions[2], c);
                    chains.secondRx = ToStageCodes(directions[3], d);
                    return 0;
                }
    return status;
}

}  // namespace Veltrix::Marlin::Native
