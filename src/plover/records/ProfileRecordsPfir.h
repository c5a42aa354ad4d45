#pragma once
// Programmable-FIR coefficient banks of the device initialisation record.
// Coefficient arrays are always held at full length whatever numCoeff says;
// coefficients are fixed point with unity at 2^23.

#include <array>
#include <cstddef>
#include <cstdint>

namespace Veltrix::Marlin::Native {

inline constexpr std::size_t PfirBankLength = 128;

struct marlin_PfirWbNbBuffer_t {
    std::uint8_t numCoeff{};
    std::int32_t symmetricSel{};
    std::int32_t tapsSel{};
    std::int32_t gainSel{};
    std::array<std::int32_t, PfirBankLength> coefficients{};

    bool operator==(const marlin_PfirWbNbBuffer_t&) const = default;
};

struct marlin_PfirPulseBuffer_t {
    std::uint8_t numCoeff{};
    std::int32_t symmetricSel{};
    std::uint8_t taps{};
    std::int32_t gainSel{};
    std::array<std::int32_t, PfirBankLength> coefficients{};

    bool operator==(const marlin_PfirPulseBuffer_t&) const = default;
};

struct marlin_PfirMag21Buffer_t {
    std::uint8_t numCoeff{};
    std::array<std::int32_t, 21> coefficients{};

    bool operator==(const marlin_PfirMag21Buffer_t&) const = default;
};

struct marlin_PfirMag13Buffer_t {
    std::uint8_t numCoeff{};
    std::array<std::int32_t, 13> coefficients{};

    bool operator==(const marlin_PfirMag13Buffer_t&) const = default;
};

struct marlin_PfirBuffer_t {
    marlin_PfirWbNbBuffer_t pfirRxWbNbChFilterCoeff_A{};
    marlin_PfirWbNbBuffer_t pfirRxWbNbChFilterCoeff_B{};
    marlin_PfirWbNbBuffer_t pfirRxWbNbChFilterCoeff_C{};
    marlin_PfirWbNbBuffer_t pfirRxWbNbChFilterCoeff_D{};
    marlin_PfirWbNbBuffer_t pfirTxWbNbPulShpCoeff_A{};
    marlin_PfirWbNbBuffer_t pfirTxWbNbPulShpCoeff_B{};
    marlin_PfirWbNbBuffer_t pfirTxWbNbPulShpCoeff_C{};
    marlin_PfirWbNbBuffer_t pfirTxWbNbPulShpCoeff_D{};
    std::array<marlin_PfirPulseBuffer_t, 2> pfirRxNbPulShp{};
    std::array<marlin_PfirMag21Buffer_t, 2> pfirRxMagLowTiaLowSRHp{};
    std::array<marlin_PfirMag21Buffer_t, 2> pfirRxMagLowTiaHighSRHp{};
    std::array<marlin_PfirMag21Buffer_t, 2> pfirRxMagHighTiaHighSRHp{};
    std::array<marlin_PfirMag21Buffer_t, 2> pfirRxMagLowTiaLowSRLp{};
    std::array<marlin_PfirMag21Buffer_t, 2> pfirRxMagLowTiaHighSRLp{};
    std::array<marlin_PfirMag21Buffer_t, 2> pfirRxMagHighTiaHighSRLp{};
    marlin_PfirMag21Buffer_t pfirTxMagComp1{};
    marlin_PfirMag21Buffer_t pfirTxMagComp2{};
    std::array<marlin_PfirMag13Buffer_t, 2> pfirTxMagCompNb{};
    std::array<marlin_PfirMag13Buffer_t, 2> pfirRxMagCompNb{};

    bool operator==(const marlin_PfirBuffer_t&) const = default;
};

}  // namespace Veltrix::Marlin::Native
