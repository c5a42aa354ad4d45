#pragma once
// The numbers of a designed profile that the stream settings are derived from.
// The profile fills this record, so that stream generation needs nothing from
// the design layer.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "streams/MarlinSettings.h"

namespace Veltrix::Runnel {

struct StreamTxFacts {
    bool enabled = false;
    std::int32_t channelNumber = 0;    // 1 or 2; other numbers are ignored
    std::int32_t outputSignaling = 0;  // 2 is direct FM/FSK
};

struct StreamProfileFacts {
    std::uint32_t processorClockFrequency_Hz = 0;
    std::array<StreamTxFacts, 2> txChannels{};  // the profile's transmit slots in order
    // LO sources in the profile's order: receive 1, receive 2, transmit 1, transmit 2.
    std::array<std::int32_t, 4> channelLoSource{};
    std::int32_t rx1RfInputSel = 0;
    std::int32_t rx2RfInputSel = 0;
    std::array<bool, 2> rxPortImpedanceControl{};  // by channel index
    std::int32_t rfPll1LoMode = 0;
    std::int32_t rfPll2LoMode = 0;
    std::uint16_t pllLockWait_us = 0;
    std::uint16_t pllPhaseSyncWait_us = 0;
};

inline constexpr std::int32_t kLoSourceInternal = 0;

// Throws std::invalid_argument for a processor clock below 1000 Hz.
std::shared_ptr<MarlinSettings> GenerateMarlinStreamSettings(const StreamProfileFacts& facts);

// Derives the settings and writes them as JSON (indent 4, trailing line break)
// through a temporary file; FileWriteError when the file cannot be written.
void StreamSettings_Save(const StreamProfileFacts& facts, const std::string& filename);

}  // namespace Veltrix::Runnel
