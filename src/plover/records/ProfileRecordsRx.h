#pragma once
// Receive section of the device initialisation record: eight channel entries
// (two main receivers, then the observation and loop-back paths), each with its
// data-path block enables, LNA and SSI settings. Enumeration fields are held
// as their 32-bit device-interface values.

#include <array>
#include <cstddef>
#include <cstdint>

#include "plover/base/Enums.h"
#include "plover/records/ProfileRecordsShared.h"

namespace Veltrix::Marlin::Native {

struct marlin_RxNbDecTop_t {
    std::uint8_t scicBlk23En{};
    std::uint8_t scicBlk23DivFactor{};
    std::uint8_t scicBlk23LowRippleEn{};
    std::uint8_t decBy2Blk35En{};
    std::uint8_t decBy2Blk37En{};
    std::uint8_t decBy2Blk39En{};
    std::uint8_t decBy2Blk41En{};
    std::uint8_t decBy2Blk43En{};
    std::uint8_t decBy3Blk45En{};
    std::uint8_t decBy2Blk47En{};

    bool operator==(const marlin_RxNbDecTop_t&) const = default;
};

struct marlin_RxWbDecTop_t {
    std::uint8_t decBy2Blk25En{};
    std::uint8_t decBy2Blk27En{};
    std::uint8_t decBy2Blk29En{};
    std::uint8_t decBy2Blk31En{};
    std::uint8_t decBy2Blk33En{};
    std::uint8_t wbLpfBlk33p1En{};

    bool operator==(const marlin_RxWbDecTop_t&) const = default;
};

struct marlin_RxDecTop_t {
    std::uint8_t decBy3Blk15En{};
    std::uint8_t decBy2Hb3Blk17p1En{};
    std::uint8_t decBy2Hb4Blk17p2En{};
    std::uint8_t decBy2Hb5Blk19p1En{};
    std::uint8_t decBy2Hb6Blk19p2En{};

    bool operator==(const marlin_RxDecTop_t&) const = default;
};

struct marlin_RxSincHbTop_t {
    std::int32_t sincGainMux{};
    std::int32_t sincMux{};
    std::int32_t hbMux{};
    std::uint8_t isGainCompEnabled{};
    std::array<std::int16_t, 6> gainComp9GainI{};
    std::array<std::int16_t, 6> gainComp9GainQ{};

    bool operator==(const marlin_RxSincHbTop_t&) const = default;
};

struct marlin_RxDpInFifoConfig_t {
    std::uint8_t dpInFifoEn{};
    std::int32_t dpInFifoMode{};
    std::int32_t dpInFifoTestDataSel{};

    bool operator==(const marlin_RxDpInFifoConfig_t&) const = default;
};

struct marlin_RxNbNcoConfig_t {
    std::uint8_t rxNbNcoEn{};
    marlin_NcoDpConfig_t rxNbNcoConfig{};

    bool operator==(const marlin_RxNbNcoConfig_t&) const = default;
};

struct marlin_RxWbNbCompPFir_t {
    std::int32_t bankSel{};
    std::int32_t rxWbNbCompPFirInMuxSel{};
    std::uint8_t rxWbNbCompPFirEn{};

    bool operator==(const marlin_RxWbNbCompPFir_t&) const = default;
};

struct marlin_RxResampConfig_t {
    std::uint8_t rxResampEn{};
    std::uint32_t resampPhaseI{};
    std::uint32_t resampPhaseQ{};

    bool operator==(const marlin_RxResampConfig_t&) const = default;
};

struct marlin_RxNbDemConfig_t {
    marlin_RxDpInFifoConfig_t dpInFifo{};
    marlin_RxNbNcoConfig_t rxNbNco{};
    marlin_RxWbNbCompPFir_t rxWbNbCompPFir{};
    marlin_RxResampConfig_t resamp{};
    std::int32_t gsOutMuxSel{};
    std::int32_t rxOutSel{};
    std::int32_t rxRoundMode{};
    std::int32_t dpArmSel{};

    bool operator==(const marlin_RxNbDemConfig_t&) const = default;
};

struct marlin_RxDpProfile_t {
    marlin_RxNbDecTop_t rxNbDecTop{};
    marlin_RxWbDecTop_t rxWbDecTop{};
    marlin_RxDecTop_t rxDecTop{};
    marlin_RxSincHbTop_t rxSincHBTop{};
    marlin_RxNbDemConfig_t rxNbDem{};

    bool operator==(const marlin_RxDpProfile_t&) const = default;
};

struct marlin_RxLnaConfig_t {
    bool externalLnaPresent{};
    std::int32_t gpioSourceSel{};
    std::int32_t externalLnaPinSel{};
    std::uint8_t settlingDelay{};
    std::uint8_t numberLnaGainSteps{};
    std::array<std::uint16_t, 4> lnaGainSteps_mdB{};
    std::uint16_t lnaDigitalGainDelay{};
    std::uint8_t minGainIndex{};
    std::int32_t lnaType{};

    bool operator==(const marlin_RxLnaConfig_t&) const = default;
};

struct marlin_RxProfile_t {
    std::uint32_t primarySigBandwidth_Hz{};
    std::uint32_t rxOutputRate_Hz{};
    std::uint32_t rxInterfaceSampleRate_Hz{};
    std::int32_t rxOffsetLo_kHz{};
    bool rxNcoEnable{};
    vx_marlin_RxSignalType outputSignaling{};
    std::uint8_t filterOrder{};
    std::uint8_t filterOrderLp{};
    std::uint32_t hpAdcCorner{};
    std::uint32_t lpAdcCorner{};
    std::uint32_t adcClk_kHz{};
    std::uint32_t rxCorner3dB_kHz{};
    std::uint32_t rxCorner3dBLp_kHz{};
    vx_marlin_ComponentPowerLevel_e tiaPower{};
    vx_marlin_ComponentPowerLevel_e tiaPowerLp{};
    std::uint32_t channelType{};
    vx_marlin_AdcType adcType{};
    std::int32_t lpAdcCalMode{};
    vx_marlin_RxGainTableType gainTableType{};
    marlin_RxDpProfile_t rxDpProfile{};
    marlin_RxLnaConfig_t lnaConfig{};
    marlin_SsiConfig_t rxSsiConfig{};

    bool operator==(const marlin_RxProfile_t&) const = default;
};

struct marlin_RxChannelCfg_t {
    marlin_RxProfile_t profile{};

    bool operator==(const marlin_RxChannelCfg_t&) const = default;
};

inline constexpr std::size_t RxChannelCfgCount = 8;

struct marlin_RxSettings_t {
    std::uint32_t rxInitChannelMask{};
    std::array<marlin_RxChannelCfg_t, RxChannelCfgCount> rxChannelCfg{};

    bool operator==(const marlin_RxSettings_t&) const = default;
};

}  // namespace Veltrix::Marlin::Native
