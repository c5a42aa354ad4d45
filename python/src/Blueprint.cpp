// Blueprint, its six children and the six features. Fields are Python
// properties over the handles' accessors, checked on the way in: a wrong type
// is a TypeError, a value outside the field's range a ValueError naming it.

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>

#include "Binding.h"
#include "host/BlueprintCheck.h"
#include "host/Features.h"
#include "host/Inputs.h"
#include "host/MarlinBlueprint.h"

namespace Veltrix::Marlin::Python {

namespace {

// Read-write properties over a handle's getter/setter pair.
#define PLOVER_INT(cls, Handle, Type, pyName, cppName, doc)                                                  \
    cls.def_property(                                                                                        \
        pyName, [](const Handle& h) { return h.cppName(); },                                                 \
        [](Handle& h, const py::handle& v) { h.cppName(Integer<Type>(v, pyName)); }, doc)
#define PLOVER_BOOL(cls, Handle, pyName, cppName, doc)                                                       \
    cls.def_property(                                                                                        \
        pyName, [](const Handle& h) { return h.cppName(); },                                                 \
        [](Handle& h, const py::handle& v) { h.cppName(Boolean(v, pyName)); }, doc)
#define PLOVER_ENUM(cls, Handle, Enum, pyName, cppName, doc)                                                 \
    cls.def_property(                                                                                        \
        pyName, [](const Handle& h) { return EnumMember(#Enum, static_cast<std::int32_t>(h.cppName())); },   \
        [](Handle& h, const py::handle& v) { h.cppName(static_cast<Enum>(EnumValue(v, #Enum, pyName))); }, doc)

py::array_t<std::int32_t> FilterArray(const ChannelFilterCoefficients& taps)
{
    py::array_t<std::int32_t> out(static_cast<py::ssize_t>(taps.size()));
    std::copy(taps.begin(), taps.end(), out.mutable_data());
    return out;
}

ChannelFilterCoefficients FilterTaps(const py::handle& value)
{
    py::sequence items;
    try {
        items = py::reinterpret_borrow<py::sequence>(py::module_::import("builtins").attr("list")(value));
    } catch (const py::error_already_set&) {
        Raise("TypeError", "channel_filter must be a sequence of integers");
    }
    ChannelFilterCoefficients taps{};
    if (items.size() > taps.size()) {
        Raise("ValueError", "channel_filter: " + std::to_string(items.size()) + " taps, at most " +
                                std::to_string(taps.size()));
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        taps[i] = Integer<std::int32_t>(items[i], "channel_filter tap");
    }
    return taps;
}

template <typename Handle, typename Class>
void AddChannelFields(Class& cls)
{
    PLOVER_BOOL(cls, Handle, "enabled", enabled, "Whether the channel is used.");
    PLOVER_INT(cls, Handle, std::uint32_t, "sampling_rate_hz", samplingRate_Hz, "Rate at the host interface, Hz.");
    PLOVER_INT(cls, Handle, std::uint32_t, "rf_channel_bandwidth_hz", rfChannelBandwidth_Hz,
               "RF channel bandwidth, Hz.");
    PLOVER_INT(cls, Handle, std::uint32_t, "frequency_deviation_hz", frequencyDeviation_Hz,
               "Frequency deviation of an FM signal, Hz.");
    PLOVER_BOOL(cls, Handle, "frequency_offset_correction_enable", frequencyOffsetCorrectionEnable,
                "Frequency offset correction.");
    PLOVER_ENUM(cls, Handle, LoSource, "lo_source", loSource, "Internal or external LO.");
    PLOVER_INT(cls, Handle, std::int32_t, "low_pass_filter_power", lowPassFilterPower,
               "Power level of the analog low-pass filter.");
    PLOVER_ENUM(cls, Handle, ChannelFilterType, "channel_filter_type", channelFilterType,
                "Where the channel filter comes from.");
    PLOVER_INT(cls, Handle, std::int32_t, "channel_signal_type", channelSignalType, "Device signal type code.");
    PLOVER_INT(cls, Handle, std::int32_t, "ssi_data_format", ssiDataFormat, "SSI data format code.");
    PLOVER_ENUM(cls, Handle, SsiDataRate, "ssi_data_rate", ssiDataRate, "SSI single or double data rate.");
    PLOVER_INT(cls, Handle, std::uint32_t, "ssi_interface_rate_hz", ssiInterfaceRate_Hz,
               "SSI interface rate, Hz (0: from the sampling rate).");
    PLOVER_INT(cls, Handle, std::int32_t, "ssi_num_lane", ssiNumLane, "SSI lane count code.");
    PLOVER_INT(cls, Handle, std::int32_t, "ssi_strobe_type", ssiStrobeType, "SSI strobe type code.");
    PLOVER_INT(cls, Handle, std::int32_t, "ssi_type", ssiType, "SSI type code (CMOS, LVDS).");
    cls.def_property(
        "channel_filter", [](const Handle& h) { return FilterArray(h.channelFilter()); },
        [](Handle& h, const py::handle& v) { h.channelFilter(FilterTaps(v)); },
        "The 128 custom channel filter taps (int32; fewer given are padded with zeros). Reading gives a copy.");
    cls.def_property_readonly(
        "operational_bandwidth",
        [](const Handle& h) { return EnumMember("OperationalBandwidth", static_cast<std::int32_t>(h.operationalBandwidth())); },
        "The bandwidth class the channel falls in.");
}

template <typename Child>
void AddChild(py::class_<MarlinBlueprint>& cls, const char* name, Child& (MarlinBlueprint::*get)(),
              void (MarlinBlueprint::*set)(const Child&), const char* doc)
{
    cls.def_property(
        name, [get](MarlinBlueprint& b) -> Child& { return (b.*get)(); },
        [set](MarlinBlueprint& b, const Child& value) { (b.*set)(value); }, py::return_value_policy::reference_internal,
        doc);
}

std::filesystem::path CheckedInputPath(const py::object& path)
{
    const std::string text = py::str(py::module_::import("os").attr("fspath")(path)).cast<std::string>();
    std::error_code error;
    const auto status = std::filesystem::status(text, error);
    if (!std::filesystem::exists(status)) {
        RaiseFileError(ENOENT, "No such file", text);
    }
    if (std::filesystem::is_directory(status)) {
        RaiseFileError(EISDIR, "Is a directory", text);
    }
    if (!std::ifstream(text).good()) {
        RaiseFileError(EACCES, "Cannot be read", text);
    }
    return text;
}

// The features enabled through Python, kept beside the blueprint so that
// pickling (process pools, Dask workers) carries them: the file format does not.
py::dict FeatureRecord(const py::object& self)
{
    py::dict dict = self.attr("__dict__");
    if (!dict.contains("_features")) {
        dict["_features"] = py::dict();
    }
    return dict["_features"];
}

// A person's text: every problem the key check finds is a ValueError line
// (unknown keys only warnings when lenient), then the library reads it.
MarlinBlueprint FromText(const std::string& text, const std::string& origin, bool lenient)
{
    std::vector<std::string> errors;
    for (const BlueprintProblem& problem : Blueprint_CheckKeys(text)) {
        const std::string line = origin.empty() ? problem.text : origin + ": " + problem.text;
        if (lenient && problem.kind == BlueprintProblem::Kind::UnknownKey) {
            py::module_::import("warnings").attr("warn")(line);
        } else {
            errors.push_back(line);
        }
    }
    if (!errors.empty()) {
        std::string message;
        for (const auto& line : errors) {
            message += (message.empty() ? "" : "\n") + line;
        }
        Raise("ValueError", message);
    }
    MarlinBlueprint blueprint;
    try {
        CallReports calls;
        blueprint.LoadFromString(text);
    } catch (const std::exception& error) {
        Raise("ValueError", (origin.empty() ? "" : origin + ": ") + "not a valid blueprint: " + error.what());
    }
    return blueprint;
}

// Designs a copy without the GIL: another thread may edit the caller's object.
bool Viable(const MarlinBlueprint& blueprint)
{
    MarlinBlueprint copy(blueprint);
    py::gil_scoped_release release;
    CallReports calls;
    return copy.isViable();
}

// The same keys as the tool's inspect; a query that fails gives None and its
// status is the first failure's.
py::dict Inspect(MarlinBlueprint& blueprint)
{
    std::int32_t status = 0;
    const auto note = [&status](std::int8_t result) {
        if (status == 0 && result != 0) {
            status = result;
        }
        return result == 0;
    };
    py::dict out;
    {
        out["viable"] = Viable(blueprint);
    }
    CallReports calls;
    out["designed"] = blueprint.isDesigned();
    LoMapping mapping;
    if (note(blueprint.LoMapping_Get(mapping))) {
        py::dict lo;
        lo["rxLoSelect"] = mapping.rxLoSelect;
        lo["txLoSelect"] = mapping.txLoSelect;
        lo["loIsExternal"] = mapping.loIsExternal;
        out["loMapping"] = lo;
    } else {
        out["loMapping"] = py::none();
    }
    InitCalMask init;
    if (note(blueprint.SupportedInitCalMask_Get(init))) {
        py::dict mask;
        mask["systemMask"] = init.systemMask;
        mask["channelMask"] = init.channelMask;
        mask["twoStage"] = init.twoStage;
        out["initCalMask"] = mask;
    } else {
        out["initCalMask"] = py::none();
    }
    TrackingCalMask tracking;
    if (note(blueprint.SupportedTrackingCalMask_Get(tracking))) {
        py::dict mask;
        mask["channelMask"] = tracking.channelMask;
        out["trackingCalMask"] = mask;
    } else {
        out["trackingCalMask"] = py::none();
    }
    bool twoStage = false;
    out["twoStageInitCal"] = note(blueprint.RequiresTwoStageInitCal_Get(twoStage)) ? py::object(py::bool_(twoStage))
                                                                                   : py::object(py::none());
    out["status"] = status;
    return out;
}

void BindFeatures(py::module_& module)
{
    py::class_<Feature>(module, "Feature", "A device feature a blueprint can enable (one per ID).")
        .def_property_readonly("id", &Feature::ID, "The feature's ID, as the tool's --feature option names it.");

    py::class_<FrequencyHoppingFeature, Feature>(module, "FrequencyHopping", "Frequency hopping (ID \"FH\").")
        .def(py::init([](const py::handle& mode, const py::handle& frame, const py::handle& frequency) {
                 return FrequencyHoppingFeature(Integer<std::int32_t>(mode, "mode"),
                                                Integer<std::uint32_t>(frame, "min_frame_duration_us"),
                                                Integer<std::uint32_t>(frequency, "min_operating_frequency_khz"));
             }),
             py::arg("mode") = FrequencyHoppingFeature().mode(),
             py::arg("min_frame_duration_us") = FrequencyHoppingFeature().minFrameDuration_us(),
             py::arg("min_operating_frequency_khz") = FrequencyHoppingFeature().minOperatingFrequency_kHz())
        .def_property_readonly("mode", py::overload_cast<>(&FrequencyHoppingFeature::mode, py::const_))
        .def_property_readonly("min_frame_duration_us",
                               py::overload_cast<>(&FrequencyHoppingFeature::minFrameDuration_us, py::const_))
        .def_property_readonly("min_operating_frequency_khz",
                               py::overload_cast<>(&FrequencyHoppingFeature::minOperatingFrequency_kHz, py::const_))
        .def(py::pickle(
            [](const FrequencyHoppingFeature& f) {
                return py::make_tuple(f.mode(), f.minFrameDuration_us(), f.minOperatingFrequency_kHz());
            },
            [](const py::tuple& t) {
                return FrequencyHoppingFeature(t[0].cast<std::int32_t>(), t[1].cast<std::uint32_t>(),
                                               t[2].cast<std::uint32_t>());
            }));

    py::class_<McsFeature, Feature>(module, "Mcs", "Multi-chip synchronisation (ID \"MCS\").")
        .def(py::init([](const py::handle& mode, const py::handle& interface, const py::handle& frequency) {
                 return McsFeature(Integer<std::int32_t>(mode, "mode"), Integer<std::int32_t>(interface, "interface_type"),
                                   Integer<std::uint32_t>(frequency, "min_operating_frequency_khz"));
             }),
             py::arg("mode") = McsFeature().mode(), py::arg("interface_type") = McsFeature().interfaceType(),
             py::arg("min_operating_frequency_khz") = McsFeature().minOperatingFrequency_kHz())
        .def_property_readonly("mode", py::overload_cast<>(&McsFeature::mode, py::const_))
        .def_property_readonly("interface_type", py::overload_cast<>(&McsFeature::interfaceType, py::const_))
        .def_property_readonly("min_operating_frequency_khz",
                               py::overload_cast<>(&McsFeature::minOperatingFrequency_kHz, py::const_))
        .def(py::pickle(
            [](const McsFeature& f) {
                return py::make_tuple(f.mode(), f.interfaceType(), f.minOperatingFrequency_kHz());
            },
            [](const py::tuple& t) {
                return McsFeature(t[0].cast<std::int32_t>(), t[1].cast<std::int32_t>(), t[2].cast<std::uint32_t>());
            }));

    py::class_<MonitorModeSyncFeature, Feature>(module, "MonitorModeSync", "Monitor-mode sync (ID \"MMSync\").")
        .def(py::init([](const py::handle& ratio) {
                 return MonitorModeSyncFeature(static_cast<MonitorModeSyncOverSamplingRatio>(EnumValue(
                     ratio, "MonitorModeSyncOverSamplingRatio", "monitor_mode_sync_over_sampling_ratio")));
             }),
             py::arg("monitor_mode_sync_over_sampling_ratio") =
                 static_cast<std::int32_t>(MonitorModeSyncFeature().monitorModeSyncOverSamplingRatio()))
        .def_property_readonly("monitor_mode_sync_over_sampling_ratio",
                               [](const MonitorModeSyncFeature& f) {
                                   return EnumMember("MonitorModeSyncOverSamplingRatio",
                                                     static_cast<std::int32_t>(f.monitorModeSyncOverSamplingRatio()));
                               })
        .def(py::pickle(
            [](const MonitorModeSyncFeature& f) {
                return py::make_tuple(static_cast<std::int32_t>(f.monitorModeSyncOverSamplingRatio()));
            },
            [](const py::tuple& t) {
                return MonitorModeSyncFeature(static_cast<MonitorModeSyncOverSamplingRatio>(t[0].cast<std::int32_t>()));
            }));

    py::class_<DynamicProfileFeature, Feature>(module, "DynamicProfile",
                                               "Dynamic profiles (ID \"DynamicProfile\"): reduced-rate variants.")
        .def(py::init([](const py::handle& count) {
                 return DynamicProfileFeature(Integer<std::int32_t>(count, "num_dynamic_profiles"));
             }),
             py::arg("num_dynamic_profiles") = DynamicProfileFeature().numDynamicProfiles())
        .def_property_readonly("num_dynamic_profiles",
                               py::overload_cast<>(&DynamicProfileFeature::numDynamicProfiles, py::const_))
        .def(py::pickle([](const DynamicProfileFeature& f) { return py::make_tuple(f.numDynamicProfiles()); },
                        [](const py::tuple& t) { return DynamicProfileFeature(t[0].cast<std::int32_t>()); }));

    py::class_<RxPortImpedanceControlFeature, Feature>(module, "RxPortImpedanceControl",
                                                       "Rx port impedance control (ID \"RxPortImpedanceControl\").")
        .def(py::init([](const py::handle& rx1, const py::handle& rx2) {
                 return RxPortImpedanceControlFeature(Boolean(rx1, "rx1"), Boolean(rx2, "rx2"));
             }),
             py::arg("rx1") = false, py::arg("rx2") = false)
        .def_property_readonly("rx1", py::overload_cast<>(&RxPortImpedanceControlFeature::rx1PortImpedanceControl, py::const_))
        .def_property_readonly("rx2", py::overload_cast<>(&RxPortImpedanceControlFeature::rx2PortImpedanceControl, py::const_))
        .def(py::pickle(
            [](const RxPortImpedanceControlFeature& f) {
                return py::make_tuple(f.rx1PortImpedanceControl(), f.rx2PortImpedanceControl());
            },
            [](const py::tuple& t) { return RxPortImpedanceControlFeature(t[0].cast<bool>(), t[1].cast<bool>()); }));

    py::class_<ExternalLnaFeature, Feature>(module, "ExternalLna",
                                            "External LNAs in front of Rx1 and Rx2 (ID \"ExternalLna\"), default configurations.")
        .def(py::init<>())
        .def(py::pickle([](const ExternalLnaFeature&) { return py::make_tuple(); },
                        [](const py::tuple&) { return ExternalLnaFeature(); }));
}

}  // namespace

void BindBlueprint(py::module_& module)
{
    BindFeatures(module);

    py::class_<LoExternalBlueprint> lo(module, "LoExternal", "An external LO input of a blueprint.");
    PLOVER_INT(lo, LoExternalBlueprint, std::uint16_t, "lo_divisor", loDivisor, "Divisor of the external LO.");
    PLOVER_INT(lo, LoExternalBlueprint, std::int32_t, "lo_signaling_type", loSignalingType,
               "Signalling type code of the external LO.");

    py::class_<RxChannelBlueprint> rx(module, "RxChannel", "A receive channel of a blueprint.");
    AddChannelFields<RxChannelBlueprint>(rx);
    PLOVER_INT(rx, RxChannelBlueprint, std::int32_t, "adc_type", adcType, "ADC type code.");
    PLOVER_INT(rx, RxChannelBlueprint, std::uint32_t, "analog_filter_corner_khz", analogFilterCorner_kHz,
               "Corner of the analog low-pass filter, kHz.");
    PLOVER_ENUM(rx, RxChannelBlueprint, AnalogFilterOrder, "analog_filter_order", analogFilterOrder,
                "Order of the analog low-pass filter.");
    PLOVER_ENUM(rx, RxChannelBlueprint, RxChannelSignalSetup, "channel_signal_setup", channelSignalSetup,
                "Signal setup of a narrow-band receiver.");
    PLOVER_INT(rx, RxChannelBlueprint, std::int32_t, "gain_table_type", gainTableType, "Gain table type code.");
    PLOVER_INT(rx, RxChannelBlueprint, std::int32_t, "intermediate_frequency_hz", intermediateFrequency_Hz,
               "Intermediate frequency, Hz.");
    PLOVER_BOOL(rx, RxChannelBlueprint, "nco_enable", ncoEnable, "Whether the receive NCO is used.");
    PLOVER_INT(rx, RxChannelBlueprint, std::int32_t, "rf_input", rfInput, "RF input selection code.");

    py::class_<TxChannelBlueprint> tx(module, "TxChannel", "A transmit channel of a blueprint.");
    AddChannelFields<TxChannelBlueprint>(tx);
    PLOVER_ENUM(tx, TxChannelBlueprint, ChannelFilterInterpolation, "channel_filter_interpolation",
                channelFilterInterpolation, "Interpolation of the channel filter.");
    PLOVER_ENUM(tx, TxChannelBlueprint, ElbType, "elb_type", elbType, "External loop-back.");
    PLOVER_BOOL(tx, TxChannelBlueprint, "orx_enabled", orxEnabled, "Whether the observation receiver is used.");
    PLOVER_INT(tx, TxChannelBlueprint, std::int16_t, "peak_loopback_power_dbm", peakLoopbackPower_dBm,
               "Peak loop-back power, dBm.");
    PLOVER_INT(tx, TxChannelBlueprint, std::int32_t, "ssi_ref_clock_pin", ssiRefClockPin,
               "SSI reference clock pin code.");

    py::class_<MarlinBlueprint> bp(module, "Blueprint", py::dynamic_attr(),
                                   "What the device should do: channels, rates, bandwidths, clocks, LOs, features.");
    bp.def(py::init<>(), "The default blueprint (every field at its default).");
    bp.def_static(
        "load",
        [](const py::object& path, bool lenient) {
            const std::string file = CheckedInputPath(path).string();
            std::string text;
            std::string problem;
            if (!InputFile_Read(file, text, problem)) {
                RaiseFileError(EFBIG, problem, file);
            }
            return FromText(text, file, lenient);
        },
        py::arg("path"), py::arg("lenient") = false,
        "Reads a blueprint file: OSError when it cannot be read, ValueError listing every problem (a misspelt, "
        "repeated or unknown key, a wrong type, a number out of its field's range) when it is not a good one. "
        "lenient: unknown keys are warnings.");
    bp.def_static(
        "from_json",
        [](const py::handle& text, bool lenient) {
            if (!py::isinstance<py::str>(text) && !py::isinstance<py::bytes>(text)) {
                Raise("TypeError", std::string("from_json needs a str, not ") + Py_TYPE(text.ptr())->tp_name);
            }
            return FromText(text.cast<std::string>(), "", lenient);
        },
        py::arg("text"), py::arg("lenient") = false,
        "A blueprint from the text of a blueprint file (checked as load checks a file); keys left out keep their "
        "defaults.");
    bp.def("to_json", &MarlinBlueprint::SaveToString, "The text of the blueprint file (features are not part of it).");
    bp.def(
        "save",
        [](MarlinBlueprint& b, const py::object& path) {
            const std::string file = py::str(py::module_::import("os").attr("fspath")(path)).cast<std::string>();
            CallReports reports;
            b.Save(file);
            for (const auto& line : reports.Lines()) {
                if (line.rfind("ERROR", 0) == 0) {
                    RaiseFileError(EIO, line, file);
                }
            }
        },
        py::arg("path"), "Writes the blueprint file (atomically: a failed write leaves any earlier file).");

    AddChild<LoExternalBlueprint>(bp, "lo1", &MarlinBlueprint::loExternal1, &MarlinBlueprint::loExternal1,
                                  "External LO 1.");
    AddChild<LoExternalBlueprint>(bp, "lo2", &MarlinBlueprint::loExternal2, &MarlinBlueprint::loExternal2,
                                  "External LO 2.");
    AddChild<RxChannelBlueprint>(bp, "rx1", &MarlinBlueprint::rxChannel1, &MarlinBlueprint::rxChannel1, "Receiver 1.");
    AddChild<RxChannelBlueprint>(bp, "rx2", &MarlinBlueprint::rxChannel2, &MarlinBlueprint::rxChannel2, "Receiver 2.");
    AddChild<TxChannelBlueprint>(bp, "tx1", &MarlinBlueprint::txChannel1, &MarlinBlueprint::txChannel1,
                                 "Transmitter 1.");
    AddChild<TxChannelBlueprint>(bp, "tx2", &MarlinBlueprint::txChannel2, &MarlinBlueprint::txChannel2,
                                 "Transmitter 2.");

    PLOVER_ENUM(bp, MarlinBlueprint, AdcRate, "adc_rate", adcRate, "ADC clock rate class.");
    PLOVER_BOOL(bp, MarlinBlueprint, "allow_pll_retuning", allowPllRetuning, "Whether the PLLs may be retuned.");
    PLOVER_ENUM(bp, MarlinBlueprint, ClockPllMode, "clock_pll_mode", clockPllMode, "Clock PLL operating mode.");
    PLOVER_INT(bp, MarlinBlueprint, std::int32_t, "clock_pll_power", clockPllPower, "Clock PLL power level.");
    PLOVER_INT(bp, MarlinBlueprint, std::uint32_t, "device_clock_input_khz", deviceClockInput_kHz,
               "Device clock input, kHz.");
    PLOVER_BOOL(bp, MarlinBlueprint, "diversity", diversity, "Receive diversity.");
    PLOVER_ENUM(bp, MarlinBlueprint, Duplex, "duplex", duplex, "Duplex mode.");
    PLOVER_INT(bp, MarlinBlueprint, std::int32_t, "pll_calibration", pllCalibration, "PLL calibration mode code.");
    PLOVER_ENUM(bp, MarlinBlueprint, ProcessorClockDivisor, "processor_clock_divisor", processorClockDivisor,
                "Divisor from the system clock to the stream processor clock.");
    PLOVER_BOOL(bp, MarlinBlueprint, "swap_external_lo_mapping", swapExternalLoMapping,
                "Swap the external LO mapping.");
    PLOVER_BOOL(bp, MarlinBlueprint, "warm_boot_enable", warmBootEnable, "Warm boot.");
    PLOVER_BOOL(bp, MarlinBlueprint, "expanded_search_enable", expandedSearchEnable,
                "Let the design retry from a 150 MHz system clock (not stored in the file).");

    bp.def(
        "enable_feature",
        [](py::object self, const Feature& feature) {
            MarlinBlueprint& b = self.cast<MarlinBlueprint&>();
            CallReports reports;
            const std::uint8_t status = b.Feature_Enable(feature);
            if (status != 0) {
                const auto lines = reports.Lines();
                Raise("ValueError", "feature " + feature.ID() + " refused (status " + std::to_string(status) + ")" +
                                        (lines.empty() ? "" : ": " + lines.back()));
            }
            FeatureRecord(self)[py::str(feature.ID())] = py::module_::import("copy").attr("copy")(
                py::cast(&feature, py::return_value_policy::reference));
        },
        py::arg("feature"), "Enables a feature (a copy: later edits of the object do not reach the blueprint).");
    bp.def(
        "disable_feature",
        [](py::object self, const std::string& id) {
            self.cast<MarlinBlueprint&>().Feature_Disable(id);
            py::dict record = FeatureRecord(self);
            if (record.contains(id)) {
                PyDict_DelItemString(record.ptr(), id.c_str());
            }
        },
        py::arg("id"), "Disables the feature of that ID (nothing happens when it is not enabled).");
    bp.def(
        "clear_features",
        [](py::object self) {
            self.cast<MarlinBlueprint&>().Features_Clear();
            FeatureRecord(self).clear();
        },
        "Disables every feature.");
    bp.def_property_readonly(
        "features", [](py::object self) { return py::list(FeatureRecord(self).attr("values")()); },
        "The features enabled through this object, in the order enabled.");
    bp.def("is_viable", &Viable,
           "Whether the library can design this blueprint.");
    bp.def("inspect", &Inspect,
           "What the library answers without designing: viable, designed, loMapping, initCalMask, "
           "trackingCalMask, twoStageInitCal, status (the keys of the tool's inspect).");
    bp.def("is_designed", &MarlinBlueprint::isDesigned, "Whether every enabled channel carries a designed data path.");
    bp.def(
        "copy",
        [](py::object self) {
            py::object copy = py::cast(MarlinBlueprint(self.cast<const MarlinBlueprint&>()));
            for (const auto& feature : FeatureRecord(self).attr("values")()) {
                copy.attr("enable_feature")(feature);
            }
            return copy;
        },
        "An independent copy, features included.");
    bp.def("__copy__", [](py::object self) { return self.attr("copy")(); });
    bp.def("__deepcopy__", [](py::object self, const py::handle&) { return self.attr("copy")(); });
}

}  // namespace Veltrix::Marlin::Python
