// The library's enumerations as Python IntEnums, built from the C++ values so
// the two can never disagree. Their home is the plover package (pickling and
// repr name them there).

#include <initializer_list>
#include <utility>

#include "Binding.h"
#include "host/Types.h"

namespace Veltrix::Marlin::Python {

namespace {

template <typename E>
std::pair<const char*, std::int32_t> Member(const char* name, E value)
{
    return {name, static_cast<std::int32_t>(value)};
}

void AddEnum(py::module_& module, const char* name, const char* doc,
             std::initializer_list<std::pair<const char*, std::int32_t>> members)
{
    py::list items;
    for (const auto& [member, value] : members) {
        items.append(py::make_tuple(member, value));
    }
    const py::object type = py::module_::import("enum").attr("IntEnum")(name, items, py::arg("module") = "plover");
    type.attr("__doc__") = doc;
    module.attr(name) = type;
}

}  // namespace

void BindEnums(py::module_& module)
{
#define PLOVER_MEMBER(Enum, name) Member(#name, Enum::name)
    AddEnum(module, "Duplex", "Duplex mode of the device.",
            {PLOVER_MEMBER(Duplex, TDD), PLOVER_MEMBER(Duplex, FDD), PLOVER_MEMBER(Duplex, TDM_FDD)});
    AddEnum(module, "ClockPllMode", "Clock PLL operating mode.",
            {PLOVER_MEMBER(ClockPllMode, HIGH_PERFORMANCE), PLOVER_MEMBER(ClockPllMode, LOW_POWER)});
    AddEnum(module, "AdcRate", "ADC clock rate class.",
            {PLOVER_MEMBER(AdcRate, LOW), PLOVER_MEMBER(AdcRate, MED), PLOVER_MEMBER(AdcRate, HIGH)});
    AddEnum(module, "ProcessorClockDivisor", "Divisor from the system clock to the stream processor clock.",
            {PLOVER_MEMBER(ProcessorClockDivisor, DIVISOR_1), PLOVER_MEMBER(ProcessorClockDivisor, DIVISOR_2),
             PLOVER_MEMBER(ProcessorClockDivisor, DIVISOR_4), PLOVER_MEMBER(ProcessorClockDivisor, DIVISOR_8),
             PLOVER_MEMBER(ProcessorClockDivisor, DIVISOR_16), PLOVER_MEMBER(ProcessorClockDivisor, DIVISOR_32),
             PLOVER_MEMBER(ProcessorClockDivisor, DIVISOR_64), PLOVER_MEMBER(ProcessorClockDivisor, DIVISOR_128),
             PLOVER_MEMBER(ProcessorClockDivisor, DIVISOR_256)});
    AddEnum(module, "AnalogFilterOrder", "Order of a receiver's analog low-pass filter.",
            {PLOVER_MEMBER(AnalogFilterOrder, ORDER_1), PLOVER_MEMBER(AnalogFilterOrder, ORDER_2)});
    AddEnum(module, "ChannelFilterType", "Where a channel's filter comes from.",
            {PLOVER_MEMBER(ChannelFilterType, DISABLED), PLOVER_MEMBER(ChannelFilterType, CUSTOM),
             PLOVER_MEMBER(ChannelFilterType, LOOK_UP)});
    AddEnum(module, "ChannelFilterInterpolation", "Interpolation of a transmitter's channel filter.",
            {PLOVER_MEMBER(ChannelFilterInterpolation, INTERPOLATE_BY_1),
             PLOVER_MEMBER(ChannelFilterInterpolation, INTERPOLATE_BY_2),
             PLOVER_MEMBER(ChannelFilterInterpolation, INTERPOLATE_BY_3)});
    AddEnum(module, "RxChannelSignalSetup", "Signal setup of a narrow-band receiver.",
            {PLOVER_MEMBER(RxChannelSignalSetup, NONE), PLOVER_MEMBER(RxChannelSignalSetup, DMR),
             PLOVER_MEMBER(RxChannelSignalSetup, ANALOG_FM), PLOVER_MEMBER(RxChannelSignalSetup, P25)});
    AddEnum(module, "SsiDataRate", "SSI data rate.",
            {PLOVER_MEMBER(SsiDataRate, SINGLE), PLOVER_MEMBER(SsiDataRate, DOUBLE)});
    AddEnum(module, "LoSource", "LO source of a channel.",
            {PLOVER_MEMBER(LoSource, INTERNAL), PLOVER_MEMBER(LoSource, EXTERNAL)});
    AddEnum(module, "ElbType", "External loop-back of a transmitter.",
            {PLOVER_MEMBER(ElbType, DISABLED), PLOVER_MEMBER(ElbType, BEFORE_PA), PLOVER_MEMBER(ElbType, AFTER_PA)});
    AddEnum(module, "OperationalBandwidth", "Bandwidth class a channel falls in.",
            {PLOVER_MEMBER(OperationalBandwidth, WIDE), PLOVER_MEMBER(OperationalBandwidth, NARROW)});
    AddEnum(module, "MonitorModeSyncOverSamplingRatio", "Oversampling ratio of monitor-mode sync.",
            {PLOVER_MEMBER(MonitorModeSyncOverSamplingRatio, OSR_2),
             PLOVER_MEMBER(MonitorModeSyncOverSamplingRatio, OSR_4),
             PLOVER_MEMBER(MonitorModeSyncOverSamplingRatio, OSR_8)});
#undef PLOVER_MEMBER
    AddEnum(module, "Port", "Signal direction of a channel: receive or transmit.", {{"RX", 0}, {"TX", 1}});
}

}  // namespace Veltrix::Marlin::Python
