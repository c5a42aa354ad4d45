#pragma once
/// @file
/// The profile handle: a designed profile, its file operations, responses,
/// dynamic profiles, stream operations and the host's records of it.

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

/// The dynamic profiles of a designed profile: six entries, the first
/// numDynamicProfiles of which Profile::DynamicProfiles_Get fills.
using Native::DynamicProfiles;

/// Port codes of FrequencyResponse_Get.
inline constexpr std::int32_t PortRx = 0;
/// Port code of a transmit channel (see PortRx).
inline constexpr std::int32_t PortTx = 1;

/// A designed device profile: clocks, channels, filters and device-system
/// settings, as ProfileArchitect::Profile_Develop makes it or Load reads it.
///
/// @code
/// using namespace Veltrix::Marlin;
/// std::vector<double> magnitude_dB;
/// double start_Hz = 0.0, step_Hz = 0.0;
/// if (profile.FrequencyResponse_Get(magnitude_dB, start_Hz, step_Hz, PortRx, 1) == 0) {
///     // magnitude_dB[i] is the response at start_Hz + i * step_Hz
/// }
/// profile.StreamImage_Save("mine.bin", "resources/streams");  // -1 when the file cannot be written
/// @endcode
class Profile : public Managed<Native::Profile> {
public:
    /// An empty, undesigned profile.
    Profile() = default;
    /// A copy of the engine profile (a default one for a null pointer).
    explicit Profile(const Native::Profile* profile) : Managed(profile) {}

    /// The host record as of the last ToInit(); empty until then.
    const InitRecord& init() const { return init_; }
    /// A copy of the blueprint the profile was designed from (designed data
    /// paths included); edits of the copy do not reach the profile.
    MarlinBlueprint marlinBlueprint() const { return MarlinBlueprint(&Object().marlinBlueprint); }
    /// The system clock in Hz (0 until designed).
    std::uint32_t systemClockFrequency_Hz() const { return Object().systemClockFrequency_Hz; }
    /// The processor clock in Hz (0 until designed).
    std::uint32_t processorClockFrequency_Hz() const { return Object().processorClockFrequency_Hz; }
    /// RF PLL lock wait in µs.
    std::uint16_t pllLockWait_us() const { return Object().pllLockWait_us; }
    /// PLL phase-sync wait in µs.
    std::uint16_t pllPhaseSyncWait_us() const { return Object().pllPhaseSyncWait_us; }

    /// Copies of the sections; channel numbers 1 and 2, others throw
    /// std::invalid_argument "Channel number not recognized.".
    RxChannel RxChannels_Get(std::int32_t channelNumber) const;
    /// A copy of transmit channel 1 or 2; others throw std::invalid_argument
    /// "Channel number not recognized.".
    TxChannel TxChannels_Get(std::int32_t channelNumber) const;
    /// A copy of the clock section.
    Clocks Clocks_Get() const { return Clocks(&Object().clocks); }
    /// A copy of the device-system section.
    DeviceSystem DeviceSystem_Get() const { return DeviceSystem(&Object().deviceSystem); }
    /// A copy of the programmable FIR buffer.
    Pfir Pfir_Get() const { return Pfir(&Object().pfir); }

    /// JSON_NATIVE: the profile file. JSON_NET: the host record of ToInit(),
    /// indented. 0, or -1 after an ERROR line when the file cannot be written.
    std::int8_t Save(const std::string& filename, ProfileSaveMethod method = ProfileSaveMethod::JSON_NATIVE);
    /// Reads a profile file (JSON_NATIVE); the profile changes all at once or
    /// not at all. A file that cannot be opened, is not a regular file or is
    /// too large (MaxInputFileBytes) records an ERROR line and throws
    /// std::runtime_error; text that is not a profile throws the JSON
    /// reader's exception (a std::exception).
    void Load(const std::string& filename);
    /// The text of the profile file (JSON_NATIVE), for a host that keeps it in memory.
    std::string SaveToString() const { return Object().SaveToString(); }

    /// Magnitudes in dB on the engine's grid (4,194,304 points from 0 up to the
    /// converter clock) from initialFrequency in steps of deltaFrequency, both
    /// in Hz; the outputs are replaced only on success (status 0). -1 after an
    /// ERROR line for a disabled channel, a channel without a designed path,
    /// or a port other than PortRx and PortTx; a channel number other than 1
    /// or 2 records an ERROR line and throws std::runtime_error. For windows
    /// and figures, see Analysis::Response_Get.
    std::int8_t FrequencyResponse_Get(std::vector<double>& responseMagnitudes, double& initialFrequency,
                                      double& deltaFrequency, std::int32_t port, std::int32_t channelNumber) const;
    /// Derives the dynamic profiles: entry j runs at 1/2^(5-j) of the designed
    /// rates. 0 on success; -1 after an ERROR line when the feature is not
    /// enabled ("Dynamic profile feature is not enabled.") or the profile's
    /// count is out of range.
    std::int8_t DynamicProfiles_Get(DynamicProfiles& dynamicProfiles) const;
    /// The first count records (at most six) as a JSON array (indent 2), as
    /// the tool prints them.
    static std::string DynamicProfiles_ToJson(const DynamicProfiles& dynamicProfiles, std::size_t count);

    /// Stream operations; silicon version "c0" unless given. Template, resource
    /// and build faults are the stream generator's exceptions; the saves return
    /// -1 after an ERROR line when the file cannot be written.
    ///
    /// The binary stream image built from the templates under topLevelPath
    /// (the folder holding top_level.txt), silicon version "c0".
    std::vector<std::uint8_t> StreamImage_Get(const std::string& topLevelPath) const
    {
        return StreamImage_Get(topLevelPath, "c0");
    }
    /// The binary stream image for silicon version siVersion.
    std::vector<std::uint8_t> StreamImage_Get(const std::string& topLevelPath, const std::string& siVersion) const
    {
        return Object().StreamImage_Get(topLevelPath, siVersion);
    }
    /// Writes the stream image (silicon version "c0") to filename; 0, or -1
    /// after an ERROR line when the file cannot be written.
    std::int8_t StreamImage_Save(const std::string& filename, const std::string& topLevelPath) const
    {
        return StreamImage_Save(filename, topLevelPath, "c0");
    }
    /// Writes the stream image for silicon version siVersion; statuses as above.
    std::int8_t StreamImage_Save(const std::string& filename, const std::string& topLevelPath,
                                 const std::string& siVersion) const
    {
        return Object().StreamImage_Save(filename, topLevelPath, siVersion);
    }
    /// The stream settings derived from the profile (LO sources, RF inputs,
    /// PLL waits as delay codes at the processor clock). A profile without a
    /// processor clock throws std::invalid_argument.
    void StreamSettings_Get(StreamSettings& settings) const
    {
        settings = StreamSettings(Object().GenerateMarlinStreamSettings().get());
    }
    /// Writes the stream settings file; 0, or -1 after an ERROR line when the
    /// file cannot be written. A profile without a processor clock throws
    /// std::invalid_argument and writes nothing.
    std::int8_t StreamSettings_Save(const std::string& filename) const { return Object().StreamSettings_Save(filename); }
    /// The stream delay code for targetTime_ns at the profile's processor
    /// clock: 10 µs and more as microseconds with bit 15 set (held at
    /// 32.767 ms), shorter times as processor-clock cycles.
    /// std::invalid_argument when the processor clock is below 1000 Hz.
    std::uint16_t NanoSecondsToStreamDelay(std::uint32_t targetTime_ns) const
    {
        return Object().NanoSecondsToStreamDelay(targetTime_ns);
    }

    /// Swaps LO1 and LO2 in the LO selection of Rx 1, Rx 2, Tx 1 and Tx 2;
    /// nothing changes unless both LOs are internal.
    void InternalLoMapping_Swap() { Object().InternalLoMapping_Swap(); }
    /// Switches the device system's frequency-hopping mode flag.
    void FrequencyHoppingEnable(bool enable) { Object().FrequencyHoppingEnable(enable); }
    /// Sets the component power levels: the auxiliary and clock PLLs, the
    /// TIA (normal and low power) of every receive channel and the baseband
    /// filter of every transmit channel. Values are stored as given.
    void InternalPowerSettings_Configure(std::int32_t auxPllPower, std::int32_t clkPllPower, std::int32_t tiaPower,
                                         std::int32_t tiaPowerLp, std::int32_t txBbfPower)
    {
        Object().InternalPowerSettings_Configure(auxPllPower, clkPllPower, tiaPower, tiaPowerLp, txBbfPower);
    }

    /// Builds the host's device-interface record of the profile, keeps it
    /// (see init()) and returns it.
    const InitRecord& ToInit();

private:
    InitRecord init_{};
};

}  // namespace Veltrix::Marlin
