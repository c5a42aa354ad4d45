#pragma once
// The blueprint's serialised fields, listed once. Each record's list names its
// fields in reading order with the values the file accepts; the file writer and
// reader, the copy of a loaded blueprint, the host handles' properties and the
// field descriptions (key checks, schemas) all expand the same list.
//
// A list is a macro taking three macros, one for each kind of entry:
//   VALUE(name, shape)     a public member of the record
//   PROPERTY(name, shape)  a getter/setter pair; the setter runs the coupling
//                         rules (sampling and interface rate, the ADC rate's
//                         data path selections, the direct FM/FSK mark)
//   RECORD(name)          a nested record (the top level's LOs and channels)
// shape says what the file accepts beyond the field's C++ type:
//   Whole()               any value of the field's type (bool, integer range,
//                         array length, data path stages 0..255)
//   Range(lo, hi)         an integer in lo..hi (the device-interface
//                         enumerations: the values the device defines)
//   Values(a, b, ...)     one of the enumerators listed
// Reading order matters where a setter couples fields: the interface rate is
// read after the sampling rate, a transmitter's signal type after its data
// path, and the ADC rate after the channels.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

#include "plover/blueprint/Blueprint.h"

#define PLOVER_LO_EXTERNAL_FIELDS(VALUE, PROPERTY, RECORD) \
    VALUE(loDivisor, Whole())                              \
    VALUE(loSignalingType, Range(0, 1))

#define PLOVER_CHANNEL_FIELDS(VALUE, PROPERTY, RECORD)                                                    \
    VALUE(channelFilter, Whole())                                                                         \
    VALUE(channelFilterType, Values(ChannelFilterType::DISABLED, ChannelFilterType::CUSTOM,               \
                                    ChannelFilterType::LOOK_UP))                                          \
    VALUE(enabled, Whole())                                                                               \
    VALUE(frequencyOffsetCorrectionEnable, Whole())                                                       \
    VALUE(loSource, Values(LoSource::INTERNAL, LoSource::EXTERNAL))                                       \
    VALUE(lowPassFilterPower, Range(0, 2))                                                                \
    VALUE(rfChannelBandwidth_Hz, Whole())                                                                 \
    VALUE(ssiDataFormat, Range(0, 6))                                                                     \
    VALUE(ssiDataRate, Values(SsiDataRate::SINGLE, SsiDataRate::DOUBLE))                                  \
    VALUE(ssiNumLane, Range(0, 2))                                                                        \
    VALUE(ssiStrobeType, Range(0, 1))                                                                     \
    VALUE(ssiType, Range(0, 2))                                                                           \
    PROPERTY(samplingRate_Hz, Whole())                                                                    \
    PROPERTY(ssiInterfaceRate_Hz, Whole())

#define PLOVER_RX_CHANNEL_FIELDS(VALUE, PROPERTY, RECORD)                                              \
    PLOVER_CHANNEL_FIELDS(VALUE, PROPERTY, RECORD)                                                     \
    VALUE(adcType, Range(0, 1))                                                                        \
    VALUE(analogFilterCorner_kHz, Whole())                                                             \
    VALUE(analogFilterOrder, Values(AnalogFilterOrder::ORDER_1, AnalogFilterOrder::ORDER_2))           \
    VALUE(channelSignalSetup, Values(RxChannelSignalSetup::NONE, RxChannelSignalSetup::DMR,            \
                                     RxChannelSignalSetup::ANALOG_FM, RxChannelSignalSetup::P25))      \
    VALUE(channelSignalType, Range(0, 2))                                                              \
    VALUE(dataPath, Whole())                                                                           \
    VALUE(frequencyDeviation_Hz, Whole())                                                              \
    VALUE(gainTableType, Range(0, 1))                                                                  \
    VALUE(intermediateFrequency_Hz, Whole())                                                           \
    VALUE(ncoEnable, Whole())                                                                          \
    VALUE(rfInput, Range(0, 1))

#define PLOVER_TX_CHANNEL_FIELDS(VALUE, PROPERTY, RECORD)                                                  \
    PLOVER_CHANNEL_FIELDS(VALUE, PROPERTY, RECORD)                                                         \
    VALUE(channelFilterInterpolation,                                                                      \
          Values(ChannelFilterInterpolation::INTERPOLATE_BY_1, ChannelFilterInterpolation::INTERPOLATE_BY_2, \
                 ChannelFilterInterpolation::INTERPOLATE_BY_3))                                            \
    VALUE(dataPath, Whole())                                                                               \
    PROPERTY(channelSignalType, Range(0, 2))                                                               \
    VALUE(elbType, Values(ElbType::DISABLED, ElbType::BEFORE_PA, ElbType::AFTER_PA))                       \
    VALUE(frequencyDeviation_Hz, Whole())                                                                  \
    VALUE(orxEnabled, Whole())                                                                             \
    VALUE(peakLoopbackPower_dBm, Whole())                                                                  \
    VALUE(ssiRefClockPin, Range(0, 1))

#define PLOVER_BLUEPRINT_FIELDS(VALUE, PROPERTY, RECORD)                                                  \
    RECORD(loExternal1)                                                                                   \
    RECORD(loExternal2)                                                                                   \
    RECORD(rxChannel1)                                                                                    \
    RECORD(rxChannel2)                                                                                    \
    RECORD(txChannel1)                                                                                    \
    RECORD(txChannel2)                                                                                    \
    PROPERTY(adcRate, Values(AdcRate::LOW, AdcRate::MED, AdcRate::HIGH))                                  \
    VALUE(allowPllRetuning, Whole())                                                                      \
    VALUE(clockPllMode, Values(ClockPllMode::HIGH_PERFORMANCE, ClockPllMode::LOW_POWER))                  \
    VALUE(clockPllPower, Range(0, 2))                                                                     \
    VALUE(deviceClockInput_kHz, Whole())                                                                  \
    VALUE(diversity, Whole())                                                                             \
    VALUE(duplex, Values(Duplex::TDD, Duplex::FDD, Duplex::TDM_FDD))                                      \
    VALUE(pllCalibration, Range(0, 1))                                                                    \
    VALUE(processorClockDivisor,                                                                          \
          Values(ProcessorClockDivisor::DIVISOR_1, ProcessorClockDivisor::DIVISOR_2,                      \
                 ProcessorClockDivisor::DIVISOR_4, ProcessorClockDivisor::DIVISOR_8,                      \
                 ProcessorClockDivisor::DIVISOR_16, ProcessorClockDivisor::DIVISOR_32,                    \
                 ProcessorClockDivisor::DIVISOR_64, ProcessorClockDivisor::DIVISOR_128,                   \
                 ProcessorClockDivisor::DIVISOR_256))                                                     \
    VALUE(swapExternalLoMapping, Whole())                                                                 \
    VALUE(warmBootEnable, Whole())

// Expansion helpers for list entries a consumer does not use.
#define PLOVER_FIELDS_SKIP(...)

namespace Veltrix::Marlin::Native {

// --- field descriptions ---------------------------------------------------------

enum class FieldKind {
    Boolean,
    Integer,       // min..max, or one of values when values is not empty
    IntegerArray,  // exactly length entries, each an Integer as above
    Record,
};

struct RecordShape;

struct FieldShape {
    std::string key;
    FieldKind kind = FieldKind::Integer;
    std::int64_t min = 0;
    std::int64_t max = 0;
    std::vector<std::int64_t> values;
    std::size_t length = 0;
    const RecordShape* record = nullptr;
};

struct RecordShape {
    std::string name;  // the C++ record: "MarlinBlueprint", "RxChannelBlueprint", ...
    std::vector<FieldShape> fields;

    const FieldShape* Find(const std::string& key) const;
};

// The blueprint file's top-level object; its Record fields lead to the others.
const RecordShape& BlueprintFileShape();

// --- shape arguments of the lists ---------------------------------------------------

struct ValueRule {
    bool whole = true;
    std::int64_t min = 0;
    std::int64_t max = 0;
    std::vector<std::int64_t> values;
};

inline ValueRule Whole()
{
    return {};
}

inline ValueRule Range(std::int64_t min, std::int64_t max)
{
    return {false, min, max, {}};
}

template <typename... E>
ValueRule Values(E... values)
{
    return {false, 0, 0, {static_cast<std::int64_t>(values)...}};
}

// --- copying the serialised settings ------------------------------------------------

// Copies what the blueprint file holds, in reading order: both LOs, the four
// channels (whole, data paths included), then the ADC rate through its
// setter, then the scalar settings. Features, the LO-mapping override and
// expandedSearchEnable stay as they were in `to`.
void BlueprintSettings_Copy(const MarlinBlueprint& from, MarlinBlueprint& to);

}  // namespace Veltrix::Marlin::Native
