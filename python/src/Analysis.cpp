// What a person asks of a design besides the profile: responses as NumPy
// arrays over the library's own buffers, their figures and parts, the path's
// filters, the named chains, the chains search and the feature catalogue.

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <sys/mman.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <utility>

#include "Binding.h"
#include "host/Analysis.h"

namespace Veltrix::Marlin::Python {

namespace {

template <typename T>
py::array_t<T> Adopt(std::vector<T>&& values)
{
    auto* heap = new std::vector<T>(std::move(values));
    const py::capsule owner(heap, [](void* p) { delete static_cast<std::vector<T>*>(p); });
    return py::array_t<T>(static_cast<py::ssize_t>(heap->size()), heap->data(), owner);
}

// The frequencies of a whole grid, written once and never zero-filled first,
// on huge pages where the kernel offers them: a 4 Mi-point grid would
// otherwise cost thousands of page faults, more than the loop that fills it.
class FrequencyBuffer {
public:
    FrequencyBuffer(double start, double step, std::size_t count) : count_(count)
    {
        constexpr std::size_t huge = std::size_t{1} << 21;
        const std::size_t bytes = (count * sizeof(double) + huge - 1) / huge * huge;
        if (bytes == 0 || posix_memalign(reinterpret_cast<void**>(&data_), huge, bytes) != 0) {
            data_ = nullptr;
            throw std::bad_alloc();
        }
        madvise(data_, bytes, MADV_HUGEPAGE);
        for (std::size_t i = 0; i < count; ++i) {
            data_[i] = start + step * static_cast<double>(i);
        }
    }
    FrequencyBuffer(const FrequencyBuffer&) = delete;
    FrequencyBuffer& operator=(const FrequencyBuffer&) = delete;
    ~FrequencyBuffer() { std::free(data_); }

    // Hands the memory to a NumPy array that frees it when collected.
    py::array_t<double> Release()
    {
        double* data = std::exchange(data_, nullptr);
        const py::capsule owner(data, [](void* p) { std::free(p); });
        return py::array_t<double>(static_cast<py::ssize_t>(count_), data, owner);
    }

private:
    double* data_ = nullptr;
    std::size_t count_ = 0;
};

std::optional<double> OptionalFrequency(const py::handle& value, const char* name)
{
    if (value.is_none()) {
        return std::nullopt;
    }
    if (PyBool_Check(value.ptr()) || !PyNumber_Check(value.ptr())) {
        Raise("TypeError", std::string(name) + " must be a number of Hz, not " + Py_TYPE(value.ptr())->tp_name);
    }
    const double hz = value.cast<double>();
    if (!std::isfinite(hz)) {
        Raise("ValueError", std::string(name) + " must be finite");
    }
    return hz;
}

// Runs a library call without the GIL, inside a report scope of its own;
// invalid_argument becomes ValueError, a failure status DesignError with the
// call's report lines.
template <typename Call>
std::int8_t Unlocked(const std::string& what, Call&& call, bool raiseOnStatus = true)
{
    std::int8_t status = 0;
    std::string invalid;
    std::string failure;
    std::vector<std::string> reports;
    {
        py::gil_scoped_release release;
        CallReports calls;
        try {
            status = call();
        } catch (const std::invalid_argument& error) {
            invalid = error.what();
        } catch (const std::exception& error) {
            failure = error.what();
        }
        reports = calls.Lines();
    }
    if (!invalid.empty()) {
        Raise("ValueError", invalid);
    }
    if (!failure.empty()) {
        RaiseDesignError(what + ": " + failure, 1, reports);
    }
    if (status != 0 && raiseOnStatus) {
        RaiseDesignError(what + " (status " + std::to_string(status) + ")", status, reports);
    }
    return status;
}

std::string ChannelName(std::int32_t port, std::int32_t channel)
{
    return std::string(port == PortRx ? "rx" : "tx") + std::to_string(channel);
}

// A response that exceeds the ripple limit is still a response: the library
// fills it and says so with its status, which the figures show anyway.
py::tuple Response(const Profile& profile, const py::handle& port, const py::handle& channel, const py::handle& start,
                   const py::handle& stop)
{
    const std::int32_t code = PortCode(port);
    const std::int32_t number = ChannelNumber(channel);
    const auto from = OptionalFrequency(start, "start_hz");
    const auto to = OptionalFrequency(stop, "stop_hz");
    if (from && to && *from > *to) {
        Raise("ValueError", "start_hz must not exceed stop_hz");
    }
    if (!from && !to) {
        ResponseGrid grid;
        std::unique_ptr<FrequencyBuffer> frequencies;
        Unlocked(ChannelName(code, number) + ": no response", [&] {
            const std::int8_t status = Analysis::ResponseGrid_Get(grid, profile, code, number);
            if (grid.magnitude_dB.empty()) {
                return status == 0 ? std::int8_t{-1} : status;
            }
            frequencies = std::make_unique<FrequencyBuffer>(grid.start_Hz, grid.step_Hz, grid.magnitude_dB.size());
            return std::int8_t{0};
        });
        return py::make_tuple(frequencies->Release(), Adopt(std::move(grid.magnitude_dB)));
    }
    ChannelResponse response;
    const auto span = ResponseSpan::Range(from.value_or(-std::numeric_limits<double>::max()),
                                          to.value_or(std::numeric_limits<double>::max()));
    Unlocked(ChannelName(code, number) + ": no response", [&] {
        const std::int8_t status = Analysis::Response_Get(response, profile, code, number, span);
        return response.magnitude_dB.empty() ? (status == 0 ? std::int8_t{-1} : status) : std::int8_t{0};
    });
    return py::make_tuple(Adopt(std::move(response.frequency_Hz)), Adopt(std::move(response.magnitude_dB)));
}

ChannelResponse Passband(const Profile& profile, std::int32_t code, std::int32_t number, bool parts,
                         const ResponseSpan& span)
{
    ChannelResponse response;
    Unlocked(ChannelName(code, number) + ": no response", [&] {
        const std::int8_t status = Analysis::Response_Get(response, profile, code, number, span, parts);
        return response.magnitude_dB.empty() ? (status == 0 ? std::int8_t{-1} : status) : std::int8_t{0};
    });
    return response;
}

// Clocks and rates are whole numbers of Hz, as the tool's summary shows them.
long long Whole(double value)
{
    return std::llround(value);
}

py::dict ChainDict(const ChannelChain& chain)
{
    py::list stages;
    for (const ChainStage& stage : chain.stages) {
        py::dict item;
        item["name"] = stage.name;
        item["factor"] = stage.factor;
        item["rate_hz"] = Whole(stage.rate_Hz);
        item["host_rate_hz"] = Whole(stage.hostRate_Hz);
        stages.append(item);
    }
    py::dict out;
    out["channel"] = chain.channel;
    out["converter"] = chain.converter;
    out["converter_clock_hz"] = Whole(chain.converterClock_Hz);
    out["rate_hz"] = Whole(chain.rate_Hz);
    out["bandwidth_hz"] = Whole(chain.bandwidth_Hz);
    out["ssi_clock_hz"] = chain.ssiClock_Hz ? py::object(py::int_(Whole(*chain.ssiClock_Hz))) : py::object(py::none());
    out["chain"] = chain.Text();
    out["stages"] = stages;
    out["ratio"] = chain.ratio;
    out["filters"] = chain.filters;
    return out;
}

ChainsRequest::Goal GoalOf(const std::string& goal)
{
    if (goal == "maximize-bandwidth") {
        return ChainsRequest::Goal::MaximizeBandwidth;
    }
    if (goal == "target-ripple") {
        return ChainsRequest::Goal::TargetRipple;
    }
    if (goal == "minimize-ripple") {
        return ChainsRequest::Goal::MinimizeRipple;
    }
    Raise("ValueError", "goal: \"" + goal + "\" is not \"maximize-bandwidth\", \"target-ripple\" or \"minimize-ripple\"");
}

}  // namespace

void BindAnalysis(py::module_& module)
{
    auto profile = py::reinterpret_borrow<py::class_<Profile>>(module.attr("Profile"));

    profile.def("response", &Response, py::arg("port"), py::arg("channel"), py::arg("start_hz") = py::none(),
                py::arg("stop_hz") = py::none(),
                "(frequency_hz, magnitude_db) of a designed channel on the library's analysis grid: the whole grid "
                "(the library's buffer, not copied) or the grid points in [start_hz, stop_hz] (evaluated there only).");
    profile.def(
        "response_figures",
        [](const Profile& p, const py::handle& port, const py::handle& channel) {
            const std::int32_t code = PortCode(port);
            const std::int32_t number = ChannelNumber(channel);
            const ChannelResponse response = Passband(p, code, number, false, ResponseSpan::Named("passband"));
            return py::make_tuple(response.ripple_dB, response.rejection_dB);
        },
        py::arg("port"), py::arg("channel"), "(ripple_db, rejection_db) of the whole grid.");
    profile.def(
        "response_parts",
        [](const Profile& p, const py::handle& port, const py::handle& channel, const std::string& span) {
            const std::int32_t code = PortCode(port);
            const std::int32_t number = ChannelNumber(channel);
            ResponseSpan wanted;
            try {
                wanted = ResponseSpan::Named(span);
            } catch (const std::invalid_argument& error) {
                Raise("ValueError", std::string("span: ") + error.what());
            }
            ChannelResponse response = Passband(p, code, number, true, wanted);
            // Stages may share a name (two NBDEC2 blocks); the keys may not.
            py::dict parts;
            for (ResponsePart& part : response.parts) {
                std::string key = part.name;
                for (int n = 2; parts.contains(key); ++n) {
                    key = part.name + "_" + std::to_string(n);
                }
                parts[py::str(key)] = Adopt(std::move(part.magnitude_dB));
            }
            py::dict out;
            out["frequency_hz"] = Adopt(std::move(response.frequency_Hz));
            out["magnitude_db"] = Adopt(std::move(response.magnitude_dB));
            out["parts"] = parts;
            out["rate_hz"] = response.rate_Hz;
            out["bandwidth_hz"] = response.bandwidth_Hz;
            out["ripple_db"] = response.ripple_dB;
            out["rejection_db"] = response.rejection_dB;
            return out;
        },
        py::arg("port"), py::arg("channel"), py::arg("span") = "default",
        "The response over a named span (\"default\", \"passband\", \"output\", \"full\") with each part of the "
        "path on its own (\"front\", then the filters), the channel's rate and bandwidth, and the figures.");
    profile.def(
        "coefficients",
        [](const Profile& p, const py::handle& port, const py::handle& channel) {
            const std::int32_t code = PortCode(port);
            const std::int32_t number = ChannelNumber(channel);
            std::vector<PathFilterCoefficients> filters;
            Unlocked(ChannelName(code, number) + ": no designed path",
                     [&] { return Analysis::Coefficients_Get(filters, p, code, number); });
            py::list out;
            for (PathFilterCoefficients& filter : filters) {
                py::dict item;
                item["name"] = filter.name;
                item["rate_hz"] = filter.rate_Hz;
                item["factor"] = filter.factor;
                item["taps"] = Adopt(std::move(filter.taps));
                item["fixed_taps"] = Adopt(std::move(filter.fixedTaps));
                item["unity"] = filter.unity;
                out.append(item);
            }
            return out;
        },
        py::arg("port"), py::arg("channel"),
        "The filters of the channel's designed path from the converter to the host: name, rate_hz, factor, "
        "taps (float, unity 1.0), fixed_taps (the integers the hardware holds) and unity (the integer for 1.0).");
    profile.def_property_readonly(
        "channels",
        [](const Profile& p) {
            py::list out;
            for (const ChannelChain& chain : Analysis::Overview_Get(p).channels) {
                out.append(ChainDict(chain));
            }
            return out;
        },
        "Every channel in use with its chain of named stages (the design summary of the tool).");

    module.def(
        "chains",
        [](const py::handle& rxRate, const py::handle& rxBandwidth, const py::handle& txRate,
           const py::handle& txBandwidth, const std::string& goal, const py::handle& targetRipple,
           const py::handle& minClock, const py::handle& maxClock) {
            ChainsRequest request;
            request.rxRate_Hz = Integer<std::uint32_t>(rxRate, "rx_rate_hz");
            request.rxBandwidth_Hz = Integer<std::uint32_t>(rxBandwidth, "rx_bandwidth_hz");
            request.txRate_Hz = Integer<std::uint32_t>(txRate, "tx_rate_hz");
            request.txBandwidth_Hz = Integer<std::uint32_t>(txBandwidth, "tx_bandwidth_hz");
            request.goal = GoalOf(goal);
            request.targetRipple_dB = OptionalFrequency(targetRipple, "target_ripple_db");
            request.minClock_Hz = Integer<std::uint32_t>(minClock, "min_clock_hz");
            request.maxClock_Hz = Integer<std::uint32_t>(maxClock, "max_clock_hz");
            ChainsOutcome outcome;
            Unlocked("chains", [&] {
                outcome = Analysis::Chains_Find(request);
                return std::int8_t{0};
            });
            py::dict out;
            out["found"] = outcome.found;
            out["status"] = outcome.status;
            out["cause"] = outcome.cause;
            out["system_clock_hz"] = Whole(outcome.systemClock_Hz);
            out["rx_chain"] = outcome.rxChain;
            out["tx_chain"] = outcome.txChain;
            out["rx_ripple_db"] = outcome.rxRipple_dB;
            out["tx_ripple_db"] = outcome.txRipple_dB;
            out["blueprint"] = outcome.blueprint ? py::cast(*outcome.blueprint) : py::object(py::none());
            return out;
        },
        py::arg("rx_rate_hz"), py::arg("rx_bandwidth_hz"), py::arg("tx_rate_hz") = 0, py::arg("tx_bandwidth_hz") = 0,
        py::arg("goal") = "maximize-bandwidth", py::arg("target_ripple_db") = py::none(),
        py::arg("min_clock_hz") = 160000000, py::arg("max_clock_hz") = 200000000,
        "The modelling search on its own: found, status, cause, system_clock_hz, rx_chain, tx_chain, ripples, and "
        "a blueprint whose data paths reproduce the chains (None when nothing was found).");

    module.def(
        "features",
        [] {
            py::list out;
            for (const FeatureDescription& feature : Analysis::Features_List()) {
                const auto made = feature.make();
                py::list fields;
                for (const FeatureField& field : feature.fields) {
                    py::dict item;
                    item["name"] = field.name;
                    item["type"] = field.Type();
                    item["accepted"] = field.AcceptedText();
                    item["default"] = feature.DefaultText(field);
                    item["description"] = field.description;
                    fields.append(item);
                }
                py::dict item;
                item["id"] = feature.id;
                item["description"] = feature.description;
                item["fields"] = fields;
                out.append(item);
            }
            return out;
        },
        "The catalogue of features: id, description and fields (name, type, accepted values, default).");
}

}  // namespace Veltrix::Marlin::Python
