// The extension module plover._plover: conversions and exceptions shared by
// its parts, the enumerations, and the module's own functions.

#include <pybind11/stl.h>

#include <cerrno>
#include <cmath>
#include <utility>

#include "Binding.h"
#include "host/ErrorHandler.h"
#include "host/Plover.h"

namespace Veltrix::Marlin::Python {

namespace {

py::object PackageAttribute(const char* module, const char* name)
{
    return py::module_::import(module).attr(name);
}

std::string VersionText(const PloverVersion& version)
{
    return std::to_string(version.major) + "." + std::to_string(version.minor) + "." + std::to_string(version.patch);
}

}  // namespace

void Raise(const char* exceptionType, const std::string& text)
{
    const py::object type = PackageAttribute("builtins", exceptionType);
    PyErr_SetObject(type.ptr(), py::str(text).ptr());
    throw py::error_already_set();
}

void RaiseFileError(int errorNumber, const std::string& text, const std::string& path)
{
    const py::object error = PackageAttribute("builtins", "OSError")(errorNumber, text, path);
    PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(error.ptr())), error.ptr());
    throw py::error_already_set();
}

void RaiseDesignError(const std::string& what, int status, const std::vector<std::string>& reports)
{
    const py::object type = PackageAttribute("plover._errors", "DesignError");
    const py::object error = type(what, reports, status);
    PyErr_SetObject(type.ptr(), error.ptr());
    throw py::error_already_set();
}

long long CheckedInteger(const py::handle& value, const char* field, long long low, long long high)
{
    // bool is an int in Python, but a flag given where a number belongs is a mistake.
    if (PyBool_Check(value.ptr()) || !PyIndex_Check(value.ptr())) {
        Raise("TypeError", std::string(field) + " must be an integer, not " + Py_TYPE(value.ptr())->tp_name);
    }
    const py::int_ number = py::reinterpret_steal<py::int_>(PyNumber_Index(value.ptr()));
    int overflow = 0;
    const long long result = PyLong_AsLongLongAndOverflow(number.ptr(), &overflow);
    if (overflow != 0 || result < low || result > high) {
        Raise("ValueError", std::string(field) + ": " + py::repr(number).cast<std::string>() + " is out of range " +
                                std::to_string(low) + ".." + std::to_string(high));
    }
    return result;
}

bool Boolean(const py::handle& value, const char* field)
{
    if (!PyBool_Check(value.ptr()) && !py::isinstance(value, PackageAttribute("numpy", "bool_"))) {
        Raise("TypeError", std::string(field) + " must be True or False, not " + Py_TYPE(value.ptr())->tp_name);
    }
    return value.cast<bool>();
}

std::int32_t EnumValue(const py::handle& value, const char* enumName, const char* field)
{
    const py::object type = PackageAttribute("plover._plover", enumName);
    if (PyBool_Check(value.ptr()) || !PyIndex_Check(value.ptr())) {
        Raise("TypeError", std::string(field) + " must be a " + enumName + " or its integer value, not " +
                               Py_TYPE(value.ptr())->tp_name);
    }
    try {
        return type(value).cast<std::int32_t>();
    } catch (const py::error_already_set&) {
        std::string members;
        for (const auto& member : type) {
            members += (members.empty() ? "" : ", ") + py::str(member.attr("name")).cast<std::string>() + "=" +
                       py::repr(member.attr("value")).cast<std::string>();
        }
        Raise("ValueError", std::string(field) + ": " + py::str(value).cast<std::string>() + " is not a " +
                                enumName + " (" + members + ")");
    }
}

py::object EnumMember(const char* enumName, std::int32_t value)
{
    try {
        return PackageAttribute("plover._plover", enumName)(value);
    } catch (const py::error_already_set&) {
        return py::int_(value);
    }
}

std::int32_t PortCode(const py::handle& port)
{
    if (py::isinstance<py::str>(port)) {
        const std::string text = port.cast<std::string>();
        if (text == "rx" || text == "tx") {
            return text == "rx" ? 0 : 1;
        }
        Raise("ValueError", "port: \"" + text + "\" is not \"rx\" or \"tx\"");
    }
    return EnumValue(port, "Port", "port");
}

std::int32_t ChannelNumber(const py::handle& channel)
{
    return static_cast<std::int32_t>(CheckedInteger(channel, "channel", 1, 2));
}

// The package reads only its own scopes; left alone, the process-wide lists
// would grow with every call of a long sweep.
CallReports::~CallReports()
{
    ErrorHandler::Clear();
}

std::vector<std::string> CallReports::Lines() const
{
    std::vector<std::string> lines = scope_.Messages();
    lines.resize(lines.size() - scope_.Errors().size());
    return lines;
}

}  // namespace Veltrix::Marlin::Python

PYBIND11_MODULE(_plover, module)
{
    using namespace Veltrix::Marlin;
    using namespace Veltrix::Marlin::Python;
    module.doc() = "The plover library's public object model; use it through the plover package.";

    BindEnums(module);
    BindBlueprint(module);
    BindProfile(module);
    BindAnalysis(module);

    module.def(
        "version", [] { return VersionText(Plover::Version_Get()); },
        "The library's version, \"major.minor.patch\".");
    module.def(
        "stream_version", [] { return VersionText(Plover::RunnelVersion_Get()); },
        "The stream generator's version, \"major.minor.patch\".");
    module.def(
        "resource_candidates",
        [] {
            return std::make_pair(std::string(PLOVER_RESOURCES_INSTALL_RELATIVE),
                                  std::string(PLOVER_RESOURCES_SOURCE_DIR));
        },
        "Where the bundled stream resources may be: relative to an installed package, and the source tree.");
}
