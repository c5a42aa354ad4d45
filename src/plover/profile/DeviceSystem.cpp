#include "plover/profile/DeviceSystem.h"

#include "plover/base/ErrorHandler.h"
#include "plover/base/SourceUnit.h"

namespace Veltrix::Marlin::Native {

DeviceSystem::DeviceSystem() : DeviceSystem(Duplex::TDD, false)
{
}

DeviceSystem::DeviceSystem(Duplex duplexChoice, bool warmBoot) : marlin_DeviceSysConfig_t{}, duplex(duplexChoice)
{
    // Time-division FDD switches like TDD as far as the device is concerned.
    switch (duplexChoice) {
    case Duplex::FDD: duplexMode = 1; break;
    case Duplex::TDD:
    case Duplex::TDM_FDD: duplexMode = 0; break;
    default: ErrorHandler::Error("Unrecognized duplex.", SourceUnit::DeviceSystemHeader, 61);
    }
    fhModeOn = 0;
    numDynamicProfiles = 1;
    mcsMode = 0;
    mcsInterfaceType = 0;
    adcTypeMonitor = 1;
    pllLockTime_us = DefaultPllLockTime_us;
    pllPhaseSyncWait_us = 0;
    pllModulus.modulus.fill(DefaultPllModulus);
    pllModulus.dmModulus.fill(DefaultPllModulus);
    warmBootEnable = warmBoot;
}

}  // namespace Veltrix::Marlin::Native
