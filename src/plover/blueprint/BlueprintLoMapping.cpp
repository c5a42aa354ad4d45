// LO assignment of a blueprint: which internal LO drives each channel, and
// whether each LO is fed from an external input.

#include <array>
#include <string>

#include "plover/blueprint/Blueprint.h"
#include "plover/base/ErrorHandler.h"
#include "plover/base/SourceUnit.h"

namespace Veltrix::Marlin::Native {

namespace {

enum class MappingRow { A, B, C, D };

struct RowSelection {
    vx_marlin_LoSel rx1, rx2, tx1, tx2;
};

// A: receivers on LO2, transmitters on LO1; B: channel 1 on LO1, channel 2 on
// LO2; C: receivers on LO1, transmitters on LO2; D: everything on LO1.
bool RowSelection_Get(MappingRow row, RowSelection& out)
{
    switch (row) {
    case MappingRow::A:
        out = {LO2, LO2, LO1, LO1};
        return true;
    case MappingRow::B:
        out = {LO1, LO2, LO1, LO2};
        return true;
    case MappingRow::C:
        out = {LO1, LO1, LO2, LO2};
        return true;
    case MappingRow::D:
        out = {LO1, LO1, LO1, LO1};
        return true;
    }
    return false;
}

vx_marlin_LoSel SwappedLo(vx_marlin_LoSel lo)
{
    if (lo == LO1) {
        return LO2;
    }
    if (lo == LO2) {
        return LO1;
    }
    if (lo == LO3) {
        return lo;
    }
    ErrorHandler::Error("Unsupported vx_marlin_LoSel_e", SourceUnit::Blueprint, 361);
}

}  // namespace

std::int8_t MarlinBlueprint::LoMapping_Get(LoMapping& out) const
{
    if (loMappingOverridden && loMappingOverride) {
        out = *loMappingOverride;
        return 0;
    }

    const bool rx1 = rxChannel1.enabled;
    const bool rx2 = rxChannel2.enabled;
    const bool tx1 = txChannel1.enabled;
    const bool tx2 = txChannel2.enabled;
    const bool paired = (rx1 && rx2) || (tx1 && tx2);
    const bool rxNcoInUse = (rx1 && rxChannel1.ncoEnable) || (rx2 && rxChannel2.ncoEnable);

    MappingRow row = MappingRow::B;
    if (duplex == Duplex::FDD) {
        if (paired || (rx1 && tx1)) {
            row = MappingRow::A;
        } else if (rx2 && tx2) {
            row = MappingRow::C;
        } else {
            row = MappingRow::B;
        }
    } else if (duplex == Duplex::TDD && !rxNcoInUse) {
        row = (paired && diversity) ? MappingRow::D : MappingRow::B;
    } else if (duplex == Duplex::TDD || duplex == Duplex::TDM_FDD) {
        if (!allowPllRetuning) {
            row = tx1 ? MappingRow::A : MappingRow::C;
        } else if (paired && rx1 && rx2 && diversity &&
                   rxChannel1.intermediateFrequency_Hz == rxChannel2.intermediateFrequency_Hz) {
            row = MappingRow::D;
        } else {
            row = MappingRow::B;
        }
    } else {
        ErrorHandler::Message(LogLevel::ERROR, "Invalid System Duplex.  Must be TDD, FDD or TDM_FDD.",
                              SourceUnit::Blueprint, 268);
        return -1;
    }

    RowSelection selection{};
    if (!RowSelection_Get(row, selection)) {
        ErrorHandler::Message(LogLevel::ERROR, "Invalid LO Mapping.", SourceUnit::Blueprint, 291);
        return -1;
    }
    out.rxLoSelect = {selection.rx1, selection.rx2};
    out.txLoSelect = {selection.tx1, selection.tx2};

    // Every enabled channel on one LO must agree on whether that LO is
    // external. An LO no enabled channel uses counts as internal, so a reused
    // mapping never carries a stale external flag into the swap below.
    struct Participant {
        bool enabled;
        vx_marlin_LoSel lo;
        LoSource source;
    };
    const std::array<Participant, 4> participants{{
        {rx1, out.rxLoSelect[0], rxChannel1.loSource},
        {rx2, out.rxLoSelect[1], rxChannel2.loSource},
        {tx1, out.txLoSelect[0], txChannel1.loSource},
        {tx2, out.txLoSelect[1], txChannel2.loSource},
    }};
    out.loIsExternal = {false, false};
    for (vx_marlin_LoSel lo : {LO1, LO2}) {
        bool seen = false;
        bool& external = out.loIsExternal[static_cast<std::size_t>(lo - LO1)];
        for (const Participant& p : participants) {
            if (!p.enabled || p.lo != lo) {
                continue;
            }
            const bool isExternal = p.source == LoSource::EXTERNAL;
            if (!seen) {
                external = isExternal;
                seen = true;
            } else if (external != isExternal) {
                auto number = [](vx_marlin_LoSel sel) {
                    return std::to_string(static_cast<std::uint32_t>(sel) + 1u);
                };
                ErrorHandler::Message(LogLevel::ERROR,
                                      "External LO Sources are conflicting.  RX1 = " + number(selection.rx1) +
                                          ", RX2 = " + number(selection.rx2) + ", TX1 = " +
                                          number(selection.tx1) + ", TX2 = " + number(selection.tx2),
                                      SourceUnit::Blueprint, 333);
                return -1;
            }
        }
    }

    if (swapExternalLoMapping && (out.loIsExternal[0] || out.loIsExternal[1])) {
        std::swap(out.loIsExternal[0], out.loIsExternal[1]);
        for (auto* select : {&out.rxLoSelect, &out.txLoSelect}) {
            for (vx_marlin_LoSel& lo : *select) {
                lo = SwappedLo(lo);
            }
        }
    }

    for (const auto& feature : features()) {
        const std::int8_t status = feature->LoMapping_Get(out);
        if (status != 0) {
            return status;
        }
    }
    return 0;
}

}  // namespace Veltrix::Marlin::Native
