#include "plover/design/Utilities.h"

#include "plover/base/ErrorHandler.h"
#include "plover/base/SourceUnit.h"

namespace Veltrix::Marlin::Native {

namespace {

constexpr const char* ChannelNumberUnresolved = "Unable to resolve the channel number";

// SSI data formats the rules name.
constexpr vx_marlin_SsiDataFormat Format16BitIOnly = 2;
constexpr vx_marlin_SsiDataFormat Format12BitIq = 3;

}  // namespace

namespace Decode {

std::uint8_t ChannelNumberToIndex(std::uint8_t channelNumber)
{
    if (channelNumber == 1 || channelNumber == 2) {
        return static_cast<std::uint8_t>(channelNumber - 1);
    }
    ErrorHandler::Error(ChannelNumberUnresolved, SourceUnit::Utilities, 31);
}

std::uint8_t PortChannelToIndex(std::uint8_t port, std::uint8_t channelNumber)
{
    std::uint8_t first = 0;
    switch (port) {
    case PortOrx: first = 2; break;
    case PortIlb: first = 4; break;
    case PortElb: first = 6; break;
    default: first = 0; break;
    }
    return static_cast<std::uint8_t>(first + ChannelNumberToIndex(channelNumber));
}

ChannelType PortChannelToRxChannelType(std::uint8_t port, std::uint8_t channelNumber)
{
    const bool first = channelNumber == 1;
    if (channelNumber == 1 || channelNumber == 2) {
        switch (port) {
        case PortRx: return first ? ChannelType::RX1 : ChannelType::RX2;
        case PortOrx: return first ? ChannelType::ORX1 : ChannelType::ORX2;
        case PortIlb: return first ? ChannelType::ILB1 : ChannelType::ILB2;
        case PortElb: return first ? ChannelType::ELB1 : ChannelType::ELB2;
        default: break;
        }
    }
    ErrorHandler::Error("Cannot convert given port and channelNumber to an RxChannel type", SourceUnit::Utilities, 68);
}

std::uint8_t RxChannelTypeToSlot(ChannelType type)
{
    switch (type) {
    case ChannelType::RX1: return 0;
    case ChannelType::RX2: return 1;
    case ChannelType::ORX1: return 2;
    case ChannelType::ORX2: return 3;
    case ChannelType::ILB1: return 4;
    case ChannelType::ILB2: return 5;
    case ChannelType::ELB1: return 6;
    case ChannelType::ELB2: return 7;
    default: break;
    }
    ErrorHandler::Error("Channel type not recognized", SourceUnit::Utilities, 92);
}

std::uint8_t RxChannelTypeToPort(ChannelType type)
{
    switch (type) {
    case ChannelType::RX1:
    case ChannelType::RX2: return PortRx;
    case ChannelType::ORX1:
    case ChannelType::ORX2: return PortOrx;
    case ChannelType::ILB1:
    case ChannelType::ILB2: return PortIlb;
    case ChannelType::ELB1:
    case ChannelType::ELB2: return PortElb;
    default: break;
    }
    ErrorHandler::Error("Unrecognized channelType", SourceUnit::Utilities, 117);
}

std::uint8_t TxChannelNumberToIndex(std::uint8_t channelNumber)
{
    if (channelNumber == 1 || channelNumber == 2) {
        return static_cast<std::uint8_t>(channelNumber - 1);
    }
    ErrorHandler::Error(ChannelNumberUnresolved, SourceUnit::Utilities, 131);
}

ChannelType TxChannelNumberToChannelType(std::uint8_t channelNumber)
{
    if (channelNumber == 1) {
        return ChannelType::TX1;
    }
    if (channelNumber == 2) {
        return ChannelType::TX2;
    }
    ErrorHandler::Error(ChannelNumberUnresolved, SourceUnit::Utilities, 142);
}

std::uint8_t LoSelToIndex(vx_marlin_LoSel loSelect)
{
    if (loSelect == 1 || loSelect == 2) {
        return static_cast<std::uint8_t>(loSelect - 1);
    }
    ErrorHandler::Error("Unsupported vx_marlin_LoSel_e", SourceUnit::Utilities, 153);
}

}  // namespace Decode

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
