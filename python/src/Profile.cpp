// develop() and the designed Profile: files, dynamic profiles, stream
// settings and image. The GIL is released while the library designs or
// computes, so threads run side by side.

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <utility>

#include "Binding.h"
#include "host/ProfileArchitect.h"

namespace Veltrix::Marlin::Python {

namespace {

std::string PathText(const py::object& path)
{
    return py::str(py::module_::import("os").attr("fspath")(path)).cast<std::string>();
}

py::dict StreamSettingsDict(const StreamSettingsRecord& r)
{
    py::dict out;
    out["Rx1A"] = r.rx1A;
    out["Rx1IntLo"] = r.rx1IntLo;
    out["Rx2A"] = r.rx2A;
    out["Rx2IntLo"] = r.rx2IntLo;
    out["Tx1FMDM"] = r.tx1FMDM;
    out["Tx1IntLo"] = r.tx1IntLo;
    out["Tx2FMDM"] = r.tx2FMDM;
    out["Tx2IntLo"] = r.tx2IntLo;
    out["Rx1PortImpedanceControl"] = r.rx1PortImpedanceControl;
    out["Rx2PortImpedanceControl"] = r.rx2PortImpedanceControl;
    out["Delay_1us"] = r.delay_1us;
    out["Delay_80ns"] = r.delay_80ns;
    out["LdoPowerUpWait"] = r.ldoPowerUpWait;
    out["Pll1LockWait"] = r.pll1LockWait;
    out["Pll2LockWait"] = r.pll2LockWait;
    out["PllPhaseSyncWait"] = r.pllPhaseSyncWait;
    return out;
}

std::string ResourceFolder(const py::handle& resources)
{
    if (!resources.is_none()) {
        return PathText(py::reinterpret_borrow<py::object>(resources));
    }
    return py::module_::import("plover._resources").attr("top_level_folder")().cast<std::string>();
}

}  // namespace

void BindProfile(py::module_& module)
{
    py::class_<Profile> profile(module, "Profile", "A designed device profile, made by develop().");

    module.def(
        "develop",
        [](const MarlinBlueprint& blueprint, bool expandedSearch, bool redesign) {
            // The design works on a copy, so the caller's object is never
            // written by a thread that does not hold the GIL.
            MarlinBlueprint copy(blueprint);
            if (expandedSearch) {
                copy.expandedSearchEnable(true);
            }
            Profile designed;
            std::int8_t status = 0;
            std::string failure;
            std::vector<std::string> reports;
            {
                py::gil_scoped_release release;
                CallReports calls;
                try {
                    DesignSummary summary;
                    status = ProfileArchitect::Profile_Develop(designed, summary, copy, redesign);
                } catch (const std::exception& error) {
                    failure = error.what();
                    status = 1;
                }
                reports = calls.Lines();
            }
            if (status != 0) {
                RaiseDesignError(failure.empty() ? "design failed (status " + std::to_string(status) + ")" : failure,
                                 status, reports);
            }
            return designed;
        },
        py::arg("blueprint"), py::arg("expanded_search") = false, py::arg("redesign") = false,
        "Designs the blueprint into a Profile; DesignError (with the report lines) when it cannot be designed.");

    // The benchmark's reference: the C++ call alone, timed in C++, in the
    // same process as the Python call it is compared with.
    module.def(
        "_time_frequency_response_get",
        [](const Profile& p, const py::handle& port, const py::handle& channel, int repeats) {
            const std::int32_t code = PortCode(port);
            const std::int32_t number = ChannelNumber(channel);
            std::vector<double> seconds;
            py::gil_scoped_release release;
            CallReports calls;
            for (int i = 0; i < repeats; ++i) {
                std::vector<double> magnitudes;
                double start = 0.0;
                double step = 0.0;
                const auto begin = std::chrono::steady_clock::now();
                p.FrequencyResponse_Get(magnitudes, start, step, code, number);
                seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
            }
            return seconds;
        },
        py::arg("profile"), py::arg("port"), py::arg("channel"), py::arg("repeats"));

    profile.def_property_readonly("system_clock_hz", &Profile::systemClockFrequency_Hz, "System clock, Hz.");
    profile.def_property_readonly("processor_clock_hz", &Profile::processorClockFrequency_Hz,
                                  "Stream processor clock, Hz.");
    profile.def_property_readonly("pll_lock_wait_us", &Profile::pllLockWait_us, "PLL lock wait, us.");
    profile.def_property_readonly("pll_phase_sync_wait_us", &Profile::pllPhaseSyncWait_us, "PLL phase-sync wait, us.");
    profile.def_property_readonly("blueprint", &Profile::marlinBlueprint,
                                  "A copy of the blueprint the profile was developed from, designed data paths included.");
    profile.def("to_json", &Profile::SaveToString, "The text of the profile file.");
    profile.def(
        "to_dict", [](const Profile& p) { return py::module_::import("json").attr("loads")(p.SaveToString()); },
        "The profile file's content as a dict.");
    profile.def(
        "save",
        [](Profile& p, const py::object& path) {
            const std::string file = PathText(path);
            CallReports calls;
            if (p.Save(file) != 0) {
                const auto lines = calls.Lines();
                RaiseFileError(EIO, lines.empty() ? "cannot be written" : lines.back(), file);
            }
        },
        py::arg("path"), "Writes the profile file (atomically); OSError when it cannot be written.");
    profile.def(
        "dynamic_profiles",
        [](const Profile& p, const py::handle& count) {
            const auto number = static_cast<std::int32_t>(CheckedInteger(count, "count", 2, 6));
            // As the tool does: the profile's blueprint designed again with
            // the feature on for that count.
            MarlinBlueprint blueprint = p.marlinBlueprint();
            blueprint.Feature_Enable(DynamicProfileFeature(number));
            Profile designed;
            DynamicProfiles records{};
            std::int8_t status = 0;
            std::string failure;
            std::vector<std::string> reports;
            {
                py::gil_scoped_release release;
                CallReports calls;
                try {
                    DesignSummary summary;
                    status = ProfileArchitect::Profile_Develop(designed, summary, blueprint, true);
                    if (status == 0) {
                        status = designed.DynamicProfiles_Get(records);
                    }
                } catch (const std::exception& error) {
                    failure = error.what();
                    status = 1;
                }
                reports = calls.Lines();
            }
            if (status != 0) {
                RaiseDesignError(failure.empty() ? "no dynamic profiles (status " + std::to_string(status) + ")"
                                                 : failure,
                                 status, reports);
            }
            return py::module_::import("json").attr("loads")(
                Profile::DynamicProfiles_ToJson(records, static_cast<std::size_t>(number)));
        },
        py::arg("count"), "The first count (2 to 6) dynamic profiles, as the tool's dynamic-profiles prints them.");
    profile.def(
        "stream_settings",
        [](const Profile& p) {
            StreamSettings settings;
            try {
                p.StreamSettings_Get(settings);
            } catch (const std::exception& error) {
                Raise("ValueError", error.what());
            }
            return StreamSettingsDict(settings.GetManaged());
        },
        "The stream settings (the keys of the stream settings file).");
    profile.def(
        "stream_image",
        [](const Profile& p, const py::handle& resources, const std::string& siVersion) {
            if (siVersion != "c0" && siVersion != "b0") {
                Raise("ValueError", "si_version: \"" + siVersion + "\" is not \"c0\" or \"b0\"");
            }
            const std::string folder = ResourceFolder(resources);
            std::vector<std::uint8_t> image;
            std::string failure;
            {
                py::gil_scoped_release release;
                CallReports calls;
                try {
                    image = p.StreamImage_Get(folder, siVersion);
                } catch (const std::exception& error) {
                    failure = error.what();
                }
            }
            if (!failure.empty()) {
                Raise("ValueError", failure);
            }
            return py::bytes(reinterpret_cast<const char*>(image.data()), image.size());
        },
        py::arg("resources") = py::none(), py::arg("si_version") = "c0",
        "The stream image as bytes, from the bundled resources unless a top-level folder is given.");
}

}  // namespace Veltrix::Marlin::Python
