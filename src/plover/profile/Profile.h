#pragma once
// A designed device profile: the device sections (clocks, eight receive-side
// channels, two transmitters, device system, PFIR banks), the blueprint it was
// developed from and the clock figures derived on the way. It converts to the
// device initialisation record, which is also the content of its file.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "plover/blueprint/Blueprint.h"
#include "plover/profile/Clocks.h"
#include "plover/profile/DeviceSystem.h"
#include "plover/records/DynamicProfile.h"
#include "plover/base/Enums.h"
#include "plover/profile/Pfir.h"
#include "plover/records/ProfileRecords.h"
#include "plover/profile/RxChannel.h"
#include "plover/profile/TxChannel.h"

namespace Veltrix::Runnel {
class MarlinSettings;
}

namespace Veltrix::Marlin::Native {

// Receive-side slots in record order: RX1, RX2, ORX1, ORX2, ILB1, ILB2, ELB1, ELB2.
inline constexpr std::size_t RxSlotCount = 8;
inline constexpr std::size_t TxSlotCount = 2;

class Profile {
public:
    // An undesigned profile: default clocks (38.4 MHz device clock), unused
    // channels, Unity receive channel filters, a default blueprint.
    Profile();

    // The device initialisation record of this profile; computes nothing.
    marlin_Init_t ToInit() const;

    // Writes the record as JSON (indent 2, no trailing line break) through a
    // temporary file renamed over the target, so a failed write leaves any
    // earlier file intact. 0 on success; -1 after an ERROR line.
    std::int8_t Save(const std::string& filename) const;
    // The text Save writes.
    std::string SaveToString() const;

    // Replaces the device sections with those of a profile file; the
    // blueprint and the clock figures stay. A missing file throws "Error: File
    // not found."; malformed JSON, a wrong value type or a short array throws
    // the JSON library's exception. The profile is unchanged when it throws.
    void Load(const std::string& filename);

    // PLL lock wait for the device clock, from the lock-time table.
    void PllLockWait_us_Calculate();
    // Phase-sync wait for multi-chip sync, for the lowest operating
    // frequency in kHz; 0 unless the device runs MCS mode 2 and can retune
    // its PLLs (frequency hopping, or a blueprint allowing retuning).
    void PllPhaseSyncWait_us_Calculate(std::uint32_t minimumFrequency_kHz);
    // Exchanges LO1 and LO2 in the four LO selections, leaving channels on
    // an external LO where they are.
    void InternalLoMapping_Swap();
    // Writes the power levels as given, unchecked.
    void InternalPowerSettings_Configure(vx_marlin_ComponentPowerLevel_e auxPllPower,
                                         vx_marlin_ComponentPowerLevel_e clkPllPower,
                                         vx_marlin_ComponentPowerLevel_e tiaPower,
                                         vx_marlin_ComponentPowerLevel_e tiaPowerLp,
                                         vx_marlin_ComponentPowerLevel_e txBbfPower);
    void FrequencyHoppingEnable(bool enable);

    // Magnitude response (dB) of a designed Rx (port 0) or Tx (port 1)
    // channel on the engine's analysis grid, with the grid's first frequency
    // and step. 0, the engine's status, or -1 after an ERROR line.
    std::int8_t FrequencyResponse_Get(std::vector<double>& responseMagnitudes, double& initialFrequency,
                                      double& deltaFrequency, std::int32_t port,
                                      vx_common_ChannelNumber channelNumber) const;
    // Fills the first numDynamicProfiles records; -1 after an ERROR line when
    // the feature is off or the count is out of range, nothing written.
    std::int8_t DynamicProfiles_Get(DynamicProfiles& dynamicProfiles) const;

    // Stream generation for this profile (ProfileStreams.cpp). A processor
    // clock below 1000 Hz (an undesigned profile) and every template, resource
    // or build fault throw std::invalid_argument (a few std::out_of_range).
    std::shared_ptr<Veltrix::Runnel::MarlinSettings> GenerateMarlinStreamSettings() const;
    std::uint16_t NanoSecondsToStreamDelay(std::uint32_t targetTime_ns) const;
    // The settings as JSON (indent 4, trailing line break) and the image of the
    // resource folder found from topLevelPath, each written through a temporary
    // file: 0, or -1 after an ERROR line when the file cannot be written (any
    // earlier file is left as it was).
    std::int8_t StreamSettings_Save(const std::string& filename) const;
    std::vector<std::uint8_t> StreamImage_Get(const std::string& topLevelPath, const std::string& siVersion) const;
    std::vector<std::uint8_t> StreamImage_Get(const std::string& topLevelPath) const;  // silicon "c0"
    std::int8_t StreamImage_Save(const std::string& filename, const std::string& topLevelPath,
                                 const std::string& siVersion) const;
    std::int8_t StreamImage_Save(const std::string& filename, const std::string& topLevelPath) const;

    Clocks clocks;
    std::array<RxChannel, RxSlotCount> rxChannels;
    std::array<TxChannel, TxSlotCount> txChannels;
    std::uint32_t rxInitChannelMask = 0;  // OR of the ChannelType bits in use
    std::uint32_t txInitChannelMask = 0;
    DeviceSystem deviceSystem;
    Pfir pfir;
    MarlinBlueprint marlinBlueprint;
    std::array<LoSource, 4> channelLoSource{};  // Rx1, Rx2, Tx1, Tx2
    std::uint32_t systemClockFrequency_Hz = 0;
    std::uint32_t processorClockFrequency_Hz = 0;
    // Copies of the device system's waits, kept when a file is loaded.
    std::uint16_t pllLockWait_us = 0;
    std::uint16_t pllPhaseSyncWait_us = 0;
    // The blueprint's retuning and diversity choices, kept beside the sections.
    bool allowPllRetuning = false;
    bool diversity = false;
};

}  // namespace Veltrix::Marlin::Native
