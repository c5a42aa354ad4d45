#pragma once
// The engine's public enumerations and device-interface types under the
// host namespace, so a host spells them Veltrix::Marlin::Duplex and so on.

#include <array>
#include <cstdint>

#include "plover/records/CalibrationMasks.h"
#include "plover/base/Enums.h"
#include "plover/blueprint/LoMapping.h"

namespace Veltrix::Marlin {

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

using ChannelFilterCoefficients = std::array<std::int32_t, 128>;
using InitCalMask = Native::vx_marlin_InitCals;
using TrackingCalMask = Native::vx_marlin_TrackingCals;

}  // namespace Veltrix::Marlin
