#pragma once
/// @file
/// Handles of a profile's sections. GetManaged hands a section out as the
/// host's own device-interface record: the plain record without the engine's
/// working fields.

#include "host/Managed.h"
#include "plover/profile/Clocks.h"
#include "plover/profile/DeviceSystem.h"
#include "plover/profile/Pfir.h"
#include "plover/records/ProfileRecords.h"
#include "plover/profile/RxChannel.h"
#include "plover/profile/TxChannel.h"

namespace Veltrix::Marlin {

/// The host's device-interface record of a whole profile (Profile::ToInit()).
/// The records carry the same information as the profile file, so the
/// engine's record types serve the host unchanged.
using InitRecord = Native::marlin_Init_t;
/// The device-interface record of the clock section.
using ClockSettingsRecord = Native::marlin_ClockSettings_t;
/// The device-interface record of the device-system section.
using DeviceSysConfigRecord = Native::marlin_DeviceSysConfig_t;
/// The device-interface record of the programmable FIR buffer.
using PfirBufferRecord = Native::marlin_PfirBuffer_t;
/// The device-interface record of a receive channel.
using RxProfileRecord = Native::marlin_RxProfile_t;
/// The device-interface record of a transmit channel.
using TxProfileRecord = Native::marlin_TxProfile_t;

/// A copy of one profile section; Record is its device-interface record.
template <typename Engine, typename Record>
class SectionHandle : public Managed<Engine> {
public:
    using Managed<Engine>::Managed;
    /// The section as its plain record, without the engine's working fields;
    /// std::logic_error on a disposed handle.
    Record GetManaged() const { return static_cast<const Record&>(this->Object()); }
};

/// The clock section: clock PLL, converter and SSI clocking (Profile::Clocks_Get).
class Clocks : public SectionHandle<Native::Clocks, ClockSettingsRecord> {
public:
    using SectionHandle::SectionHandle;
};

/// The device-system section (Profile::DeviceSystem_Get).
class DeviceSystem : public SectionHandle<Native::DeviceSystem, DeviceSysConfigRecord> {
public:
    using SectionHandle::SectionHandle;
};

/// The programmable FIR buffer: channel, pulse-shape and compensation
/// filters (Profile::Pfir_Get).
class Pfir : public SectionHandle<Native::Pfir, PfirBufferRecord> {
public:
    using SectionHandle::SectionHandle;
};

/// One receive channel of a profile (Profile::RxChannels_Get).
class RxChannel : public SectionHandle<Native::RxChannel, RxProfileRecord> {
public:
    using SectionHandle::SectionHandle;
};

/// One transmit channel of a profile (Profile::TxChannels_Get).
class TxChannel : public SectionHandle<Native::TxChannel, TxProfileRecord> {
public:
    using SectionHandle::SectionHandle;
};

}  // namespace Veltrix::Marlin
