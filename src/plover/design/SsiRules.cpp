#include "plover/design/SsiRules.h"

#include <string>

#include "plover/base/ErrorHandler.h"
#include "plover/base/SourceUnit.h"
#include "plover/design/SsiFormat.h"

namespace Veltrix::Marlin::Native {

namespace {

// Receive-only data formats (32 and 64 bits per sample).
constexpr vx_marlin_SsiDataFormat Format32BitRxOnly = 5;
constexpr vx_marlin_SsiDataFormat Format64BitRxOnly = 6;
constexpr vx_marlin_SsiNumLane FourLanes = 2;

std::uint8_t Fail(const std::string& text, int line)
{
    ErrorHandler::Message(LogLevel::ERROR, text, SourceUnit::FilterDesigner, line);
    return 255;
}

// The channel's SSI clock, as SsiClock_Get defines it but in 64 bits: an
// interface rate times 64 bits per sample can exceed 32 bits, and a wrapped
// clock would pass the speed limits it in fact breaks.
std::uint64_t SsiClock(const ChannelBlueprint& channel)
{
    std::uint64_t clock = std::uint64_t{channel.ssiInterfaceRate_Hz()} * SsiBitsPerSample_Get(channel.ssiDataFormat);
    clock >>= channel.ssiNumLane;
    if (channel.ssiType == SsiTypeCmos && channel.ssiDataRate == SsiDataRate::DOUBLE) {
        clock /= 2;
    }
    return clock;
}

// Fastest sampling or interface rate an LVDS link carries at this system clock.
std::uint32_t LvdsSpeedLimit(std::uint32_t systemClock_Hz, SsiDataRate dataRate)
{
    const std::uint32_t limit = systemClock_Hz / 3;
    return dataRate == SsiDataRate::DOUBLE ? limit : limit / 2;
}

bool IsMultiple(std::uint64_t value, std::uint64_t divisor) { return value % divisor == 0; }

struct ChannelLines {
    const char* name;  // "Rx" or "Tx"
    int lanes;
    int cmosLimit;
    int cmosSource;
    int lvdsLimit;
    int lvdsSource;
    int samplingSpeed;
    int interfaceSpeed;
    int zeroRate;
    int ratio;
};

constexpr ChannelLines RxLines{"Rx", 459, 463, 468, 484, 487, 494, 498, 516, 518};
constexpr ChannelLines TxLines{"Tx", 530, 534, 540, 548, 551, 558, 562, 588, 590};

// The rules both directions share. `cmosSource_Hz` is the clock a CMOS
// interface divides down (2 x system clock for Rx, int3Factor x system clock
// for Tx). Returns 0 or the reported failure.
std::uint8_t CheckClocking(const ChannelBlueprint& channel, const std::string& n, const ChannelLines& lines,
                           std::uint64_t cmosSource_Hz, std::uint32_t systemClock_Hz, std::uint64_t vco_Hz)
{
    const std::string dir = lines.name;
    if (channel.ssiType != SsiTypeCmos && channel.ssiType != SsiTypeLvds) {
        return 0;
    }
    if (channel.ssiNumLane < 0 || channel.ssiNumLane > SsiNumLaneMax) {
        return Fail("SSI number of lanes requested for " + dir + n + " is not supported.", lines.lanes);
    }
    const std::uint64_t clock = SsiClock(channel);
    const std::string cannotGenerate =
        "SSI clock cannot be generated for the requested " + dir + n + " interface rate.";
    if (channel.ssiType == SsiTypeCmos) {
        if (clock > SsiCmosClockMax_Hz) {
            return Fail("CMOS SSI interface requested for " + dir + n + " cannot exceed " +
                            std::to_string(SsiCmosClockMax_Hz) + ".",
                        lines.cmosLimit);
        }
        // A zero clock (a zero or tiny interface rate) cannot be generated either.
        if (clock == 0 || !IsMultiple(cmosSource_Hz, clock)) {
            return Fail(cannotGenerate, lines.cmosSource);
        }
        return 0;
    }
    if (clock > SsiLvdsClockMax_Hz) {
        return Fail("LVDS SSI interface requested for " + dir + n + " cannot exceed " +
                        std::to_string(SsiLvdsClockMax_Hz) + ".",
                    lines.lvdsLimit);
    }
    if (clock == 0 || !IsMultiple(vco_Hz, clock)) {
        return Fail(cannotGenerate, lines.lvdsSource);
    }
    const std::uint32_t limit = LvdsSpeedLimit(systemClock_Hz, channel.ssiDataRate);
    if (channel.samplingRate_Hz() > limit) {
        return Fail("SSI configuration requested " + dir + n +
                        " is not fast enough to support the requested sampling rate.",
                    lines.samplingSpeed);
    }
    if (channel.ssiInterfaceRate_Hz() > limit) {
        return Fail("SSI configuration requested " + dir + n +
                        " is not fast enough to support the requested interface rate.",
                    lines.interfaceSpeed);
    }
    return 0;
}

// Interface and sampling rate must be whole multiples of one another.
std::uint8_t CheckRatio(const ChannelBlueprint& channel, const std::string& n, const ChannelLines& lines)
{
    const std::uint32_t interface = channel.ssiInterfaceRate_Hz();
    const std::uint32_t sampling = channel.samplingRate_Hz();
    if (interface == sampling) {
        return 0;
    }
    const std::string dir = lines.name;
    const std::uint32_t smaller = interface < sampling ? interface : sampling;
    const std::uint32_t larger = interface < sampling ? sampling : interface;
    if (smaller == 0) {
        return Fail("SSI interface rate and sampling rate specified for " + dir + n + " must not be 0.",
                    lines.zeroRate);
    }
    if (!IsMultiple(larger, smaller)) {
        return Fail("SSI interface rate and sampling rate specified for " + dir + n + " must have an integer ratio.",
                    lines.ratio);
    }
    return 0;
}

std::uint8_t CheckRx(const RxChannelBlueprint& rx, const std::string& n, std::uint32_t systemClock_Hz,
                     std::uint64_t vco_Hz)
{
    const std::uint64_t cmosSource_Hz = 2 * std::uint64_t{systemClock_Hz};
    if (const std::uint8_t status = CheckClocking(rx, n, RxLines, cmosSource_Hz, systemClock_Hz, vco_Hz)) {
        return status;
    }
    if (rx.ssiType == SsiTypeCmos && rx.ssiDataFormat == Format64BitRxOnly && rx.ssiNumLane == FourLanes) {
        return Fail("The SSI data format requested for Rx" + n + "does not support 4-lane interface.", 475);
    }
    return CheckRatio(rx, n, RxLines);
}

std::uint8_t CheckTx(const TxChannelBlueprint& tx, const std::string& n, std::uint32_t systemClock_Hz,
                     std::uint64_t vco_Hz)
{
    const std::uint64_t cmosSource_Hz = std::uint64_t{tx.int3Factor} * systemClock_Hz;
    if (const std::uint8_t status = CheckClocking(tx, n, TxLines, cmosSource_Hz, systemClock_Hz, vco_Hz)) {
        return status;
    }
    if (tx.ssiDataFormat == Format32BitRxOnly || tx.ssiDataFormat == Format64BitRxOnly) {
        return Fail("The SSI data format requested for Tx" + n + "is only valid for Rx channels.", 571);
    }
    return CheckRatio(tx, n, TxLines);
}

}  // namespace

std::uint8_t Ssi_Check(const MarlinBlueprint& blueprint, std::uint32_t systemClock_Hz, std::uint64_t vco_Hz)
{
    for (std::size_t index = 0; index < 2; ++index) {
        const std::string n = std::to_string(index + 1);
        const RxChannelBlueprint& rx = blueprint.rxChannel(index);
        if (rx.enabled) {
            if (const std::uint8_t status = CheckRx(rx, n, systemClock_Hz, vco_Hz)) {
                return status;
            }
        }
        const TxChannelBlueprint& tx = blueprint.txChannel(index);
        if (tx.enabled) {
            if (const std::uint8_t status = CheckTx(tx, n, systemClock_Hz, vco_Hz)) {
                return status;
            }
        }
    }
    return 0;
}

}  // namespace Veltrix::Marlin::Native
