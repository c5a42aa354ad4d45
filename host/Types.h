#pragma once
/// @file
/// The engine's public enumerations and device-interface types under the
/// host namespace, so a host spells them Veltrix::Marlin::Duplex and so on.

#include <array>
#include <cstdint>

#include "plover/records/CalibrationMasks.h"
#include "plover/base/Enums.h"
#include "plover/blueprint/LoMapping.h"

namespace Veltrix::Marlin {

/// @name Enumerations of the blueprint and the profile
/// Enumerations stored and serialised as their 32-bit values:
/// - `AdcRate`: LOW = 1, MED = 2, HIGH = 3 (the converter clock range).
/// - `AnalogFilterOrder`: ORDER_1 = 1, ORDER_2 = 2 (receive analog filter).
/// - `ChannelFilterInterpolation`: INTERPOLATE_BY_1/2/3 (transmit channel filter).
/// - `ChannelFilterType`: DISABLED = 0, CUSTOM = 1, LOOK_UP = 2.
/// - `ChannelType`: channel bits RXOFF = 0, RX1 = 1, RX2 = 2, TX1 = 4, TX2 = 8,
///   ORX1 = 16, ORX2 = 32, ILB1 = 64, ...
/// - `ClockPllMode`: HIGH_PERFORMANCE = 0, LOW_POWER = 1.
/// - `Duplex`: TDD = 0, FDD = 1, TDM_FDD = 2.
/// - `ElbType`: DISABLED = 0, BEFORE_PA = 1, AFTER_PA = 2 (external loopback).
/// - `LoSource`: INTERNAL = 0, EXTERNAL = 1.
/// - `MonitorModeSyncOverSamplingRatio`: OSR_2 = 2, OSR_4 = 4, OSR_8 = 8.
/// - `OperationalBandwidth`: WIDE = 1, NARROW = 2.
/// - `ProcessorClockDivisor`: DIVISOR_1 = 1 up to DIVISOR_128 = 128.
/// - `ProfileSaveMethod`: JSON_NATIVE = 0 (the profile file), JSON_NET = 1
///   (the host record of Profile::ToInit()).
/// - `RxChannelSignalSetup`: NONE = 0, DMR = 1, ANALOG_FM = 2, P25 = 3.
/// - `SsiDataRate`: SINGLE = 0, DOUBLE = 1.
///
/// `LoMapping` is the assignment of LOs to channels that
/// MarlinBlueprint::LoMapping_Get reports and LoMapping_Overwrite pins.
/// @{
using Native::AdcRate;
using Native::AnalogFilterOrder;
using Native::ChannelFilterInterpolation;
using Native::ChannelFilterType;
using Native::ChannelType;
using Native::ClockPllMode;
using Native::Duplex;
using Native::ElbType;
using Native::LoMapping;
using Native::LoSource;
using Native::MonitorModeSyncOverSamplingRatio;
using Native::OperationalBandwidth;
using Native::ProcessorClockDivisor;
using Native::ProfileSaveMethod;
using Native::RxChannelSignalSetup;
using Native::SsiDataRate;
/// @}

/// The taps of a custom channel filter: 128 fixed-point coefficients.
using ChannelFilterCoefficients = std::array<std::int32_t, 128>;
/// Bit mask of initial calibrations (MarlinBlueprint::SupportedInitCalMask_Get).
using InitCalMask = Native::vx_marlin_InitCals;
/// Bit mask of tracking calibrations (MarlinBlueprint::SupportedTrackingCalMask_Get).
using TrackingCalMask = Native::vx_marlin_TrackingCals;

}  // namespace Veltrix::Marlin
