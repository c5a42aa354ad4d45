#pragma once
// The public enumerations of the blueprint and profile model. Their numeric
// values are part of the blueprint and profile file formats: never renumber.

#include <cstdint>

namespace Veltrix::Marlin::Native {

enum class ClockPllMode : std::int32_t {
    HIGH_PERFORMANCE = 0,
    LOW_POWER = 1,
};

enum class ChannelFilterSelect : std::int32_t {
    DMR_24k = 0,
    DMR_48k = 1,
    LTE_1p4M = 2,
    LTE_3M = 3,
    LTE_5M = 4,
    LTE_10M = 5,
    LTE_20M = 6,
    LTE_40M = 7,
    P25 = 8,
    TETRA_25k = 9,
    TETRA_50k = 10,
    TETRA_100k = 11,
    TETRA_150k = 12,
    TETRA_192k = 13,
    CUSTOM1_RX20_5p4M = 14,
    CUSTOM1_RX20_7p3M = 15,
    CUSTOM1_RX20_9p2M = 16,
    CUSTOM2_RX936k_7813 = 17,
    CUSTOM2_RX936k_31250 = 18,
    CUSTOM2_RX936k_62500 = 19,
    CUSTOM2_RX936k_156250 = 20,
    CUSTOM2_RX936k_312500 = 21,
    CUSTOM3_RX42P666M_20M = 22,
    Unity = 23,
};

enum class PulseShapeFilterSelect : std::int32_t {
    DMR_24k = 0,
    DMR_48k = 1,
    ANALOG_FM_24k = 2,
    ANALOG_FM_48k = 3,
    Unity = 4,
};

enum class SsiDataRate : std::int32_t {
    SINGLE = 0,
    DOUBLE = 1,
};

enum class HbSelect : std::int32_t {
    F_100M = 1,
    F_50M = 2,
    F_40p15M = 3,
    F_10M = 4,
};

enum class SystemClockDivisor : std::int32_t {
    NA = 0,
    DIV_3 = 1,
    DIV_4 = 2,
};

enum class AnalogFilterBandwidth : std::int32_t {
    WIDE = 1,
    NARROW = 2,
};

enum class ProfileSaveMethod : std::int32_t {
    JSON_NATIVE = 0,
    JSON_NET = 1,
};

enum class Duplex : std::int32_t {
    TDD = 0,
    FDD = 1,
    TDM_FDD = 2,
};

enum class OperationalBandwidth : std::int32_t {
    WIDE = 1,
    NARROW = 2,
};

enum class WidebandFilterSelect : std::int32_t {
    BYPASSED = 0,
    BW_80 = 1,
    BW_92 = 2,
};

enum class LoSource : std::int32_t {
    INTERNAL = 0,
    EXTERNAL = 1,
};

enum class LoIndex : std::int32_t {
    RX1 = 0,
    RX2 = 1,
    TX1 = 2,
    TX2 = 3,
};

enum class ChannelType : std::int32_t {
    RXOFF = 0,
    RX1 = 1,
    RX2 = 2,
    TX1 = 4,
    TX2 = 8,
    ORX1 = 16,
    ORX2 = 32,
    ILB1 = 64,
    ILB2 = 128,
    ELB1 = 256,
    ELB2 = 512,
};

enum class RxChannelDecimation : std::int32_t {
    M_3 = 3,
    M_4 = 4,
    M_6 = 6,
    M_8 = 8,
    M_12 = 12,
    M_24 = 24,
    M_48 = 48,
    M_96 = 96,
    M_192 = 192,
    M_640 = 640,
    M_960 = 960,
    M_1280 = 1280,
    M_3840 = 3840,
    M_7680 = 7680,
};

enum class RxHb012 : std::int32_t {
    HB0 = 0,
    HB1 = 1,
    HB2 = 2,
};

enum class RxChannelSignalSetup : std::int32_t {
    NONE = 0,
    DMR = 1,
    ANALOG_FM = 2,
    P25 = 3,
};

enum class IntermediateFrequencyFilterSelect : std::int32_t {
    BYPASSED = 0,
    BW_20_MHz = 1,
    BW_5_MHz = 2,
};

enum class AdcRate : std::int32_t {
    LOW = 1,
    MED = 2,
    HIGH = 3,
};

enum class AdcBandwidth : std::int32_t {
    BW_100_MHz = 100,
    BW_50_MHz = 50,
};

enum class AnalogFilterOrder : std::int32_t {
    ORDER_1 = 1,
    ORDER_2 = 2,
};

enum class ChannelFilterType : std::int32_t {
    DISABLED = 0,
    CUSTOM = 1,
    LOOK_UP = 2,
};

enum class ChannelFilterInterpolation : std::int32_t {
    INTERPOLATE_BY_1 = 1,
    INTERPOLATE_BY_2 = 2,
    INTERPOLATE_BY_3 = 3,
};

enum class ElbType : std::int32_t {
    DISABLED = 0,
    BEFORE_PA = 1,
    AFTER_PA = 2,
};

enum class TxChannelInterpolation : std::int32_t {
    L_1 = 1,
    L_2 = 2,
    L_3 = 3,
    L_4 = 4,
    L_6 = 6,
    L_8 = 8,
    L_12 = 12,
    L_16 = 16,
    L_24 = 24,
    L_48 = 48,
    L_96 = 96,
    L_192 = 192,
    L_640 = 640,
    L_960 = 960,
    L_1280 = 1280,
    L_1920 = 1920,
    L_3840 = 3840,
    L_7680 = 7680,
};

enum class TxInt3Sinc3 : std::int32_t {
    BYPASS = 0,
    SINC3 = 1,
    INT3 = 2,
};

enum class TxSinc2 : std::int32_t {
    BYPASS = 0,
    SINC2 = 1,
};

enum class DacRate : std::int32_t {
    LOW = 1,
    HIGH = 3,
};

enum class DacBandwidth : std::int32_t {
    BW_50_MHz = 50,
    BW_100_MHz = 100,
};

enum class DacType : std::int32_t {
    LOW_POWER = 0,
    HIGH_PERFORMANCE = 1,
};

enum class DacFilterOrder : std::int32_t {
    ORDER_1 = 1,
    ORDER_2 = 2,
};

enum class ProcessorClockDivisor : std::int32_t {
    DIVISOR_1 = 1,
    DIVISOR_2 = 2,
    DIVISOR_4 = 4,
    DIVISOR_8 = 8,
    DIVISOR_16 = 16,
    DIVISOR_32 = 32,
    DIVISOR_64 = 64,
    DIVISOR_128 = 128,
    DIVISOR_256 = 256,
};

enum class MonitorModeSyncOverSamplingRatio : std::int32_t {
    OSR_2 = 2,
    OSR_4 = 4,
    OSR_8 = 8,
};

// Enumerations are stored and serialised as their 32-bit values.
template <typename E>
constexpr std::int32_t ToInt(E value)
{
    return static_cast<std::int32_t>(value);
}

}  // namespace Veltrix::Marlin::Native
