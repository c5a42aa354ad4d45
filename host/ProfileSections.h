#pragma once
// Handles of a profile's sections. GetManaged hands a section out as the
// host's own device-interface record: the plain record without the engine's
// working fields.

#include "host/Managed.h"
#include "plover/profile/Clocks.h"
#include "plover/profile/DeviceSystem.h"
#include "plover/profile/Pfir.h"
#include "plover/records/ProfileRecords.h"
#include "plover/profile/RxChannel.h"
#include "plover/profile/TxChannel.h"

namespace Veltrix::Marlin {

// The host's device-interface records. They carry the same information as the
// profile file, so the engine's record types serve the host unchanged.
using InitRecord = Native::marlin_Init_t;
using ClockSettingsRecord = Native::marlin_ClockSettings_t;
using DeviceSysConfigRecord = Native::marlin_DeviceSysConfig_t;
using PfirBufferRecord = Native::marlin_PfirBuffer_t;
using RxProfileRecord = Native::marlin_RxProfile_t;
using TxProfileRecord = Native::marlin_TxProfile_t;

template <typename Engine, typename Record>
class SectionHandle : public Managed<Engine> {
public:
    using Managed<Engine>::Managed;
    Record GetManaged() const { return static_cast<const Record&>(this->Object()); }
};

class Clocks : public SectionHandle<Native::Clocks, ClockSettingsRecord> {
public:
    using SectionHandle::SectionHandle;
};

class DeviceSystem : public SectionHandle<Native::DeviceSystem, DeviceSysConfigRecord> {
public:
    using SectionHandle::SectionHandle;
};

class Pfir : public SectionHandle<Native::Pfir, PfirBufferRecord> {
public:
    using SectionHandle::SectionHandle;
};

class RxChannel : public SectionHandle<Native::RxChannel, RxProfileRecord> {
public:
    using SectionHandle::SectionHandle;
};

class TxChannel : public SectionHandle<Native::TxChannel, TxProfileRecord> {
public:
    using SectionHandle::SectionHandle;
};

}  // namespace Veltrix::Marlin
