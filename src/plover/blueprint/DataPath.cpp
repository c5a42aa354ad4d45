#include "plover/blueprint/DataPath.h"

#include <string>

#include "plover/base/ErrorHandler.h"
#include "plover/base/SourceUnit.h"

namespace Veltrix::Marlin::Native {

namespace {

bool IsOverrideIndex(unsigned char index)
{
    return index >= FirstOverrideStage && index <= LastOverrideStage;
}

unsigned char EntryIndex(std::uint16_t entry) { return static_cast<unsigned char>(entry & 0xFF); }
unsigned char EntryFactor(std::uint16_t entry) { return static_cast<unsigned char>(entry >> 8); }

// Preprocessor search runs from the input end towards the DAC; the SCIC
// (stage 10) takes part like any other stage.
constexpr std::size_t PreprocessorSearchFirst = 17;
constexpr std::size_t PreprocessorSearchLast = 5;

}  // namespace

std::int8_t DecimationOverride_Set(RxPath& path, unsigned char index, unsigned char value)
{
    if (!IsOverrideIndex(index)) {
        ErrorHandler::Message(LogLevel::ERROR, "Decimation override index out of range.",
                              SourceUnit::DataPathHeader, 108);
        return -1;
    }
    path.stages[index] = value;
    return 0;
}

std::int8_t InterpolationOverride_Set(TxPath& path, unsigned char index, unsigned char value)
{
    if (!IsOverrideIndex(index)) {
        ErrorHandler::Message(LogLevel::ERROR, "Interpolation override index out of range.",
                              SourceUnit::DataPathHeader, 181);
        return -1;
    }
    path.stages[index] = value;
    return 0;
}

std::int8_t DecimationOverrides_Set(RxPath& path, const OverrideList& overrides)
{
    std::int8_t status = 0;
    for (std::uint16_t entry : overrides) {
        if (DecimationOverride_Set(path, EntryIndex(entry), EntryFactor(entry)) != 0) {
            status = -1;
        }
    }
    return status;
}

std::int8_t InterpolationOverrides_Set(TxPath& path, const OverrideList& overrides)
{
    std::int8_t status = 0;
    for (std::uint16_t entry : overrides) {
        if (InterpolationOverride_Set(path, EntryIndex(entry), EntryFactor(entry)) != 0) {
            status = -1;
        }
    }
    return status;
}

std::int8_t PreprocessorInterpolation_Set(TxPath& path, unsigned char factor)
{
    if (!path.isDesigned()) {
        return 0;
    }
    if (path.isDirty) {
        ErrorHandler::Message(LogLevel::ERROR, "Unable to set the preprocessor interpolation.",
                              SourceUnit::DataPathHeader, 322);
        return -1;
    }
    path.stages[TxPath::PreprocessorStage] = factor;
    if (factor == 1) {
        return 0;
    }
    for (std::size_t stage = PreprocessorSearchFirst; stage >= PreprocessorSearchLast; --stage) {
        if (path.stages[stage] == factor) {
            path.stages[stage] = 1;
            path.isDirty = true;
            return 0;
        }
    }
    ErrorHandler::Message(LogLevel::ERROR,
                          "Current configuration does not support a preprocessor interpolation of " +
                              std::to_string(factor) + ".",
                          SourceUnit::DataPathHeader, 333);
    return -1;
}

unsigned char SincFactor_Get(AdcRate rate)
{
    switch (rate) {
    case AdcRate::LOW:
        return 3;
    case AdcRate::MED:
        return 4;
    case AdcRate::HIGH:
        return 6;
    }
    return 0;
}

RxPath LoopbackDataPath_Derive(const TxPath& tx, AdcRate adcRate)
{
    RxPath rx;
    if (tx.stages[TxPath::DirectFmFskStage] != 0) {
        return rx;
    }
    const unsigned char sinc = SincFactor_Get(adcRate);
    rx.stages[RxPath::SincStage] = sinc;
    rx.stages[RxPath::Hb012Stage] = 2;
    for (std::size_t stage = 2; stage <= 18; ++stage) {
        rx.stages[stage] = tx.stages[stage];
    }
    rx.stages[RxPath::SincMuxStage] = sinc;
    rx.stages[RxPath::Hb012SelectStage] = static_cast<unsigned char>(RxHb012::HB2);
    rx.stages[RxPath::Hb34SelectStage] = 3;
    rx.stages[RxPath::Hb56SelectStage] = 5;
    rx.stages[RxPath::WblpfStage] = static_cast<unsigned char>(WidebandFilterSelect::BW_80);
    return rx;
}

}  // namespace Veltrix::Marlin::Native
