#pragma once
// The data path record: one channel's rate-change chain, one byte per hardware
// stage (the stage's rate-change factor, 1 = bypassed) followed by selection
// bytes that pick a variant of a stage. Receive paths run from the ADC towards
// the output (24 bytes), transmit paths from the DAC back towards the input
// (26 bytes). Stages 2 to 17 of both directions are the chain the design
// engine plans.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "plover/base/Enums.h"

namespace Veltrix::Marlin::Native {

template <typename T, std::size_t N>
class DataPath {
public:
    static constexpr std::size_t StageCount = N;

    DataPath() = default;
    DataPath(const DataPath&) = default;
    DataPath& operator=(const DataPath&) = default;
    virtual ~DataPath() = default;

    virtual bool isDesigned() const = 0;
    void clean() { isDirty = false; }

    // Set when a designed stage was moved out of the chain afterwards.
    bool isDirty = false;
    std::array<T, N> stages{};
};

// Every design writes a factor of at least 1 into stage 2; a fresh path holds 0.
inline constexpr std::size_t DesignedMarkStage = 2;

template <typename T>
class RxDataPath : public DataPath<T, 24> {
public:
    static constexpr std::size_t SincStage = 0;
    static constexpr std::size_t Hb012Stage = 1;
    static constexpr std::size_t SincMuxStage = 19;
    static constexpr std::size_t Hb012SelectStage = 20;
    static constexpr std::size_t Hb34SelectStage = 21;
    static constexpr std::size_t Hb56SelectStage = 22;
    static constexpr std::size_t WblpfStage = 23;

    bool isDesigned() const override { return this->stages[DesignedMarkStage] != 0; }

    void sincMux(T value) { this->stages[SincMuxStage] = value; }
    void hb012(T value) { this->stages[Hb012SelectStage] = value; }
    void wblpf(T value) { this->stages[WblpfStage] = value; }
    void wblpfEnum(WidebandFilterSelect value) { wblpf(static_cast<T>(value)); }
};

template <typename T>
class TxDataPath : public DataPath<T, 26> {
public:
    static constexpr std::size_t Int3Sinc3SelectStage = 19;
    static constexpr std::size_t Sinc2SelectStage = 20;
    static constexpr std::size_t WblpfStage = 21;
    static constexpr std::size_t DirectFmFskStage = 24;
    static constexpr std::size_t PreprocessorStage = 25;

    bool isDesigned() const override { return this->stages[DesignedMarkStage] != 0; }

    void wblpf(T value) { this->stages[WblpfStage] = value; }
    void wblpfEnum(WidebandFilterSelect value) { wblpf(static_cast<T>(value)); }
    void isDirectFmFsk(bool value) { this->stages[DirectFmFskStage] = value ? 1 : 0; }
};

using RxPath = RxDataPath<unsigned char>;
using TxPath = TxDataPath<unsigned char>;

// The stages a caller may pin: everything after the SINC and HB012 stages up
// to the last decimator/interpolator.
inline constexpr unsigned char FirstOverrideStage = 2;
inline constexpr unsigned char LastOverrideStage = 17;

// Pins one chain stage. 0 on success; -1 (reported, path unchanged) for an
// index outside 2..17.
std::int8_t DecimationOverride_Set(RxPath& path, unsigned char index, unsigned char value);
std::int8_t InterpolationOverride_Set(TxPath& path, unsigned char index, unsigned char value);

// An override list entry: low byte the stage index, high byte the factor.
using OverrideList = std::vector<std::uint16_t>;
constexpr std::uint16_t OverrideEntry(unsigned char index, unsigned char factor)
{
    return static_cast<std::uint16_t>((factor << 8) | index);
}

// Apply every entry in list order; a failing entry only reports and the walk
// goes on. Returns 0 when every entry applied, -1 otherwise.
std::int8_t DecimationOverrides_Set(RxPath& path, const OverrideList& overrides);
std::int8_t InterpolationOverrides_Set(TxPath& path, const OverrideList& overrides);

// Moves one interpolation stage of a designed transmit chain into the
// transmit preprocessor (stage 25 records the factor). 0 or -1 (reported).
std::int8_t PreprocessorInterpolation_Set(TxPath& path, unsigned char factor);

// The SINC factor the ADC rate demands: 3 LOW, 4 MED, 6 HIGH, 0 otherwise.
unsigned char SincFactor_Get(AdcRate rate);

// The receive chain that observes a transmitter. A direct FM/FSK transmitter
// yields an all-zero (undesigned) path, so no loop-back receiver is built.
RxPath LoopbackDataPath_Derive(const TxPath& tx, AdcRate adcRate);

}  // namespace Veltrix::Marlin::Native
