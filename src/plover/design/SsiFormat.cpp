#include "plover/design/SsiFormat.h"

#include "plover/base/ErrorHandler.h"
#include "plover/base/SourceUnit.h"

namespace Veltrix::Marlin::Native {

namespace {

// SSI data formats the rules name.
constexpr vx_marlin_SsiDataFormat Format16BitIOnly = 2;
constexpr vx_marlin_SsiDataFormat Format12BitIq = 3;

}  // namespace

std::int8_t Ssi_Validate(vx_marlin_SsiType ssiType, vx_marlin_SsiDataFormat ssiDataFormat,
                         vx_marlin_SsiNumLane ssiNumLane, SsiDataRate /*ssiDataRate*/)
{
    const auto fail = [](const char* text, int line) -> std::int8_t {
        ErrorHandler::Message(LogLevel::ERROR, text, SourceUnit::Utilities, line);
        return -1;
    };

    if (ssiType == SsiTypeLvds) {
        // LVDS carries I/Q words only, always on the two-lane setting.
        if (ssiDataFormat < Format12BitIq || ssiDataFormat > 6) {
            return fail("LVDS must have a data format of 16-bit or 12-bit I/Q data.", 171);
        }
        if (ssiNumLane != 1) {
            return fail("LVDS must have number of lanes set to 2.", 176);
        }
        return 0;
    }
    if (ssiType == SsiTypeCmos) {
        if (ssiDataFormat == Format12BitIq) {
            return fail("CMOS cannot have a data format of 12-bit I/Q data.", 184);
        }
        if (ssiNumLane == 1) {
            return fail("CMOS cannot have number of lanes set to 2.", 189);
        }
        if (ssiDataFormat == Format16BitIOnly && ssiNumLane != 0) {
            return fail("CMOS must have number of lanes set to 1 if data format is 16-bit I only data.", 196);
        }
        // The lane count is 2 to the power of the setting; only 1 and 4 lanes exist.
        if (ssiNumLane < 0 || ssiNumLane > SsiNumLaneMax) {
            return fail("CMOS must have number of lanes set to 1 or 4.", 201);
        }
        return 0;
    }
    return 0;
}

std::int8_t SsiConfig_Set(marlin_SsiConfig_t& ssi, vx_marlin_SsiType ssiType, vx_marlin_SsiDataFormat ssiDataFormat,
                          vx_marlin_SsiNumLane ssiNumLane, SsiDataRate ssiDataRate,
                          vx_marlin_SsiStrobeType ssiStrobeType)
{
    const std::int8_t status = Ssi_Validate(ssiType, ssiDataFormat, ssiNumLane, ssiDataRate);
    if (status != 0) {
        return status;
    }
    ssi.ssiType = ssiType;
    ssi.ssiDataFormatSel = ssiDataFormat;
    ssi.numLaneSel = ssiNumLane;
    ssi.strobeType = ssiStrobeType;
    ssi.ddrEn = ssiDataRate == SsiDataRate::DOUBLE;
    ssi.lsbFirst = 0;
    ssi.qFirst = 0;
    ssi.lvdsIBitInversion = false;
    ssi.lvdsQBitInversion = false;
    ssi.lvdsStrobeBitInversion = false;
    ssi.lvdsUseLsbIn12bitMode = 0;
    ssi.lvdsRxClkInversionEn = false;
    ssi.cmosDdrPosClkEn = false;
    ssi.cmosClkInversionEn = false;
    return 0;
}

}  // namespace Veltrix::Marlin::Native
