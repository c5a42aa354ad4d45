#pragma once
// Transmit section of the device initialisation record: two transmitter
// entries with their interpolation block enables, pre-processor, frequency
// deviation mapping and up-converter settings. Enumeration fields are held as
// their 32-bit device-interface values.

#include <array>
#include <cstddef>
#include <cstdint>

#include "plover/base/Enums.h"
#include "plover/records/ProfileRecordsShared.h"

namespace Veltrix::Marlin::Native {

struct marlin_TxPreProc_t {
    std::uint32_t txPreProcSymbol0{};
    std::uint32_t txPreProcSymbol1{};
    std::uint32_t txPreProcSymbol2{};
    std::uint32_t txPreProcSymbol3{};
    std::uint8_t txPreProcSymMapDivFactor{};
    std::int32_t txPreProcMode{};
    std::int32_t txPreProcWbNbPfirIBankSel{};
    std::int32_t txPreProcWbNbPfirQBankSel{};

    bool operator==(const marlin_TxPreProc_t&) const = default;
};

struct marlin_TxWbIntTop_t {
    std::uint8_t txInterpBy2Blk30En{};
    std::uint8_t txInterpBy2Blk28En{};
    std::uint8_t txInterpBy2Blk26En{};
    std::uint8_t txInterpBy2Blk24En{};
    std::uint8_t txInterpBy2Blk22En{};
    std::uint8_t txWbLpfBlk22p1En{};

    bool operator==(const marlin_TxWbIntTop_t&) const = default;
};

struct marlin_TxNbIntTop_t {
    std::uint8_t txInterpBy2Blk20En{};
    std::uint8_t txInterpBy2Blk18En{};
    std::uint8_t txInterpBy2Blk16En{};
    std::uint8_t txInterpBy2Blk14En{};
    std::uint8_t txInterpBy2Blk12En{};
    std::uint8_t txInterpBy3Blk10En{};
    std::uint8_t txInterpBy2Blk8En{};
    std::uint8_t txScicBlk32En{};
    std::uint8_t txScicBlk32DivFactor{};

    bool operator==(const marlin_TxNbIntTop_t&) const = default;
};

struct marlin_TxIntTop_t {
    std::uint8_t interpBy3Blk44p1En{};
    std::uint8_t sinc3Blk44En{};
    std::uint8_t sinc2Blk42En{};
    std::uint8_t interpBy3Blk40En{};
    std::uint8_t interpBy2Blk38En{};
    std::uint8_t interpBy2Blk36En{};

    bool operator==(const marlin_TxIntTop_t&) const = default;
};

struct marlin_TxIntTopFreqDevMap_t {
    std::uint32_t rrc2Frac{};
    std::uint32_t mpll{};
    std::uint32_t nchLsw{};
    std::uint8_t nchMsb{};
    std::uint8_t freqDevMapEn{};
    std::uint8_t txRoundEn{};

    bool operator==(const marlin_TxIntTopFreqDevMap_t&) const = default;
};

struct marlin_TxIqdmDuc_t {
    std::int32_t iqdmDucMode{};
    std::uint32_t iqdmDev{};
    std::uint32_t iqdmDevOffset{};
    std::uint32_t iqdmScalar{};
    std::uint32_t iqdmThreshold{};
    marlin_NcoDpConfig_t iqdmNco{};

    bool operator==(const marlin_TxIqdmDuc_t&) const = default;
};

struct marlin_TxDpProfile_t {
    marlin_TxPreProc_t txPreProc{};
    marlin_TxWbIntTop_t txWbIntTop{};
    marlin_TxNbIntTop_t txNbIntTop{};
    marlin_TxIntTop_t txIntTop{};
    marlin_TxIntTopFreqDevMap_t txIntTopFreqDevMap{};
    marlin_TxIqdmDuc_t txIqdmDuc{};

    bool operator==(const marlin_TxDpProfile_t&) const = default;
};

struct marlin_TxProfile_t {
    std::uint32_t primarySigBandwidth_Hz{};
    std::uint32_t txInputRate_Hz{};
    std::uint32_t txInterfaceSampleRate_Hz{};
    std::int32_t txOffsetLo_kHz{};
    std::uint32_t validDataDelay{};
    std::uint32_t txBbf3dBCorner_kHz{};
    vx_marlin_TxSignalType outputSignaling{};
    std::uint8_t txPdBiasCurrent{};
    std::uint8_t txPdGainEnable{};
    std::uint32_t txPrePdRealPole_kHz{};
    std::uint32_t txPostPdRealPole_kHz{};
    vx_marlin_ComponentPowerLevel_e txBbfPower{};
    std::uint8_t txExtLoopBackType{};
    std::uint8_t txExtLoopBackForInitCal{};
    std::int16_t txPeakLoopBackPower{};
    std::uint32_t frequencyDeviation_Hz{};
    marlin_TxDpProfile_t txDpProfile{};
    marlin_SsiConfig_t txSsiConfig{};

    bool operator==(const marlin_TxProfile_t&) const = default;
};

inline constexpr std::size_t TxProfileCount = 2;

struct marlin_TxSettings_t {
    std::uint32_t txInitChannelMask{};
    std::array<marlin_TxProfile_t, TxProfileCount> txProfile{};

    bool operator==(const marlin_TxSettings_t&) const = default;
};

}  // namespace Veltrix::Marlin::Native
