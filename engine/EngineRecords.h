#pragma once
// The plain records of the design engine's five entries. The engine reads
// rates and selector bytes from these and writes stage codes, coefficients,
// ripples and status numbers back; it never sees a profile or blueprint.

#include <array>
#include <cstdint>

namespace Veltrix::Marlin::Native {

// One code a hardware stage, position 0 nearest the converter, 15 nearest the
// baseband interface. The chain's rate-change ratio is the product of all 16.
using StageCodes = std::array<double, 16>;

inline constexpr std::uint32_t EngineReferenceRate_Hz = 100000000;

// Built by the filter designer for channel index 1 and 2 (fields in the order the engine reads them).
struct ChannelDesignRecord {
    std::uint8_t rxEnabled = 0;
    std::uint8_t txEnabled = 0;
    std::uint32_t rxReferenceRate_Hz = EngineReferenceRate_Hz;
    std::uint32_t txReferenceRate_Hz = EngineReferenceRate_Hz;
    std::uint32_t rxBandwidth_Hz = 0;
    std::uint32_t txBandwidth_Hz = 0;
    std::uint32_t rxSampleRate_Hz = 0;
    std::uint32_t txSampleRate_Hz = 0;
    std::uint8_t rxHead0 = 0;
    std::uint8_t rxHead1 = 0;
    std::uint8_t txHead0 = 0;
    std::uint8_t txHead1 = 0;
    std::uint8_t txSpecialMode = 0;
    std::uint8_t lifSelect = 0;          // 0 or 1 (1 = low-IF receive); 2 = engine decides
    std::uint8_t rxHb22WblpfSelect = 2;  // 0, 1, or 2 = engine decides
    std::uint8_t txHb22WblpfSelect = 2;
};

// What Engine_DesignChains writes for one channel record (zeroed by the caller).
struct ChannelDesignOutput {
    std::array<std::uint8_t, 18> rxStages{};
    std::array<std::uint8_t, 18> txStages{};
    double rxRipple_dB = 0.0;
    double txRipple_dB = 0.0;
    std::uint8_t rxStage21 = 0;  // first converter half-band variant
    std::uint8_t rxStage22 = 0;  // second converter half-band variant
    std::uint8_t rxStage23 = 0;  // HB22 or WBLPF for the last wideband stage
    std::uint8_t txStage21 = 0;  // HB22 or WBLPF for the last wideband stage
    std::int8_t status = 0;
};

// Engine_DesignChains statuses; the filter designer turns them into messages.
enum ChainStatus : std::int8_t {
    ChainStatusSuccess = 0,
    ChainStatusTargetRippleNotMet = -1,
    ChainStatusNoClockInBounds = -2,
    ChainStatusAlgorithmConstraints = -3,
    ChainStatusDirectionsDisagree = -4,
    ChainStatusModeNotPossible = -5,
    ChainStatusMimoRefused = -6,
    ChainStatusUnknownSelector = -7,
};

// Built by the Rx channel code; read by Engine_RxResponse and Engine_RxMagComp.
struct RxFilterRequest {
    std::uint32_t analogBandwidth_Hz = 0;
    std::uint32_t channelBandwidth_Hz = 0;
    std::uint32_t converterRate_Hz = 0;
    std::uint8_t highPowerAdc = 0;  // "HighPower" converter model when non-zero, else "LowPower"
    std::uint8_t tiaFilter = 0;     // "TIA" analog filter when non-zero, else "Biquad"
    const std::uint8_t* stages = nullptr;  // the Rx chain's stage bytes; the first 18 are read
    std::uint8_t mode0 = 0;
    std::uint8_t mode1 = 0;
    std::uint8_t mode2 = 0;
    std::uint8_t mode3 = 0;
    std::uint8_t mode4 = 0;  // 2 requests the low-rate compensation filter
    std::uint8_t mode5 = 0;
    float rippleTarget_dB = 0.1f;
};

// Built by the Tx channel code; read by Engine_TxResponse and Engine_TxMagComp.
struct TxFilterRequest {
    std::uint32_t analogBandwidth_Hz = 0;
    std::uint32_t channelBandwidth_Hz = 0;
    std::uint32_t converterRate_Hz = 0;
    const std::uint8_t* stages = nullptr;  // the Tx chain's stage bytes; the first 18 are read
    std::uint8_t option0 = 0;
    std::uint8_t option1 = 0;
    std::uint8_t option2 = 0;
    std::uint8_t narrowband = 0;
    float rippleTarget_dB = 0.1f;
};

// Response buffers: the analysis grid has 2^22 points.
inline constexpr std::size_t ResponseGridPoints = 4194304;

}  // namespace Veltrix::Marlin::Native
