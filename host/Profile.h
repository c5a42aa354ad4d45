#pragma once
// The profile handle: a designed profile, its file operations, responses,
// dynamic profiles, stream operations and the host's records of it.

#include <cstdint>
#include <string>
#include <vector>

#include "host/Managed.h"
#include "host/MarlinBlueprint.h"
#include "host/ProfileSections.h"
#include "host/StreamSettings.h"
#include "host/Types.h"
#include "plover/records/DynamicProfile.h"
#include "plover/profile/Profile.h"

namespace Veltrix::Marlin {

using Native::DynamicProfiles;

// Port codes of FrequencyResponse_Get.
inline constexpr std::int32_t PortRx = 0;
inline constexpr std::int32_t PortTx = 1;

class Profile : public Managed<Native::Profile> {
public:
    Profile() = default;
    explicit Profile(const Native::Profile* profile) : Managed(profile) {}

    // The host record as of the last ToInit(); empty until then.
    const InitRecord& init() const { return init_; }
    MarlinBlueprint marlinBlueprint() const { return MarlinBlueprint(&Object().marlinBlueprint); }
    std::uint32_t systemClockFrequency_Hz() const { return Object().systemClockFrequency_Hz; }
    std::uint32_t processorClockFrequency_Hz() const { return Object().processorClockFrequency_Hz; }
    std::uint16_t pllLockWait_us() const { return Object().pllLockWait_us; }
    std::uint16_t pllPhaseSyncWait_us() const { return Object().pllPhaseSyncWait_us; }

    // Copies of the sections; channel numbers 1 and 2, others throw
    // std::invalid_argument "Channel number not recognized.".
    RxChannel RxChannels_Get(std::int32_t channelNumber) const;
    TxChannel TxChannels_Get(std::int32_t channelNumber) const;
    Clocks Clocks_Get() const { return Clocks(&Object().clocks); }
    DeviceSystem DeviceSystem_Get() const { return DeviceSystem(&Object().deviceSystem); }
    Pfir Pfir_Get() const { return Pfir(&Object().pfir); }

    // JSON_NATIVE: the profile file. JSON_NET: the host record of ToInit(),
    // indented. 0, or -1 after an ERROR line when the file cannot be written.
    std::int8_t Save(const std::string& filename, ProfileSaveMethod method = ProfileSaveMethod::JSON_NATIVE);
    void Load(const std::string& filename);
    // The text of the profile file (JSON_NATIVE), for a host that keeps it in memory.
    std::string SaveToString() const { return Object().SaveToString(); }

    // Magnitudes in dB on the engine's grid from initialFrequency in steps of
    // deltaFrequency; responseMagnitudes is replaced only on success.
    std::int8_t FrequencyResponse_Get(std::vector<double>& responseMagnitudes, double& initialFrequency,
                                      double& deltaFrequency, std::int32_t port, std::int32_t channelNumber) const;
    std::int8_t DynamicProfiles_Get(DynamicProfiles& dynamicProfiles) const;
    // The first count records as a JSON array (indent 2), as the tool prints them.
    static std::string DynamicProfiles_ToJson(const DynamicProfiles& dynamicProfiles, std::size_t count);

    // Stream operations; silicon version "c0" unless given. Template, resource
    // and build faults are the stream generator's exceptions; the saves return
    // -1 after an ERROR line when the file cannot be written.
    std::vector<std::uint8_t> StreamImage_Get(const std::string& topLevelPath) const
    {
        return StreamImage_Get(topLevelPath, "c0");
    }
    std::vector<std::uint8_t> StreamImage_Get(const std::string& topLevelPath, const std::string& siVersion) const
    {
        return Object().StreamImage_Get(topLevelPath, siVersion);
    }
    std::int8_t StreamImage_Save(const std::string& filename, const std::string& topLevelPath) const
    {
        return StreamImage_Save(filename, topLevelPath, "c0");
    }
    std::int8_t StreamImage_Save(const std::string& filename, const std::string& topLevelPath,
                                 const std::string& siVersion) const
    {
        return Object().StreamImage_Save(filename, topLevelPath, siVersion);
    }
    void StreamSettings_Get(StreamSettings& settings) const
    {
        settings = StreamSettings(Object().GenerateMarlinStreamSettings().get());
    }
    std::int8_t StreamSettings_Save(const std::string& filename) const { return Object().StreamSettings_Save(filename); }
    std::uint16_t NanoSecondsToStreamDelay(std::uint32_t targetTime_ns) const
    {
        return Object().NanoSecondsToStreamDelay(targetTime_ns);
    }

    void InternalLoMapping_Swap() { Object().InternalLoMapping_Swap(); }
    void FrequencyHoppingEnable(bool enable) { Object().FrequencyHoppingEnable(enable); }
    void InternalPowerSettings_Configure(std::int32_t auxPllPower, std::int32_t clkPllPower, std::int32_t tiaPower,
                                         std::int32_t tiaPowerLp, std::int32_t txBbfPower)
    {
        Object().InternalPowerSettings_Configure(auxPllPower, clkPllPower, tiaPower, tiaPowerLp, txBbfPower);
    }

    const InitRecord& ToInit();

private:
    InitRecord init_{};
};

}  // namespace Veltrix::Marlin
