#pragma once
// What the parts of the extension module share: checked conversions from
// Python values, the exceptions the package raises, and the report lines of
// one call.

#include <pybind11/pybind11.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "host/ErrorHandler.h"

namespace Veltrix::Marlin::Python {

namespace py = pybind11;

// Raises exceptionType (a name in builtins) with the text.
[[noreturn]] void Raise(const char* exceptionType, const std::string& text);
// Raises OSError for a file that cannot be read or written, errno style.
[[noreturn]] void RaiseFileError(int errorNumber, const std::string& text, const std::string& path);
// Raises plover.DesignError with the library's status and report lines (the
// message shows them).
[[noreturn]] void RaiseDesignError(const std::string& what, int status, const std::vector<std::string>& reports);

// An integer of the range of T, or TypeError / ValueError naming the field:
// Python ints of any size reach here, and a silent wrap-around would design
// something other than what was asked.
long long CheckedInteger(const py::handle& value, const char* field, long long low, long long high);
template <typename T>
T Integer(const py::handle& value, const char* field)
{
    return static_cast<T>(CheckedInteger(value, field, static_cast<long long>(std::numeric_limits<T>::min()),
                                         static_cast<long long>(std::numeric_limits<T>::max())));
}
bool Boolean(const py::handle& value, const char* field);

// A member of the package's IntEnum `enumName` (a member or its integer
// value; anything else is a ValueError listing the members), as its value.
std::int32_t EnumValue(const py::handle& value, const char* enumName, const char* field);
// The package's IntEnum member for a value (the plain integer when the
// library holds a value the enumeration does not name).
py::object EnumMember(const char* enumName, std::int32_t value);

// "rx"/"tx" or Port members into the library's port code; channel 1 or 2.
std::int32_t PortCode(const py::handle& port);
std::int32_t ChannelNumber(const py::handle& channel);

// The report lines of one call, collected on the calling thread, so calls
// from several Python threads run side by side. Recorded errors are left out:
// the call raises them.
class CallReports {
public:
    CallReports() = default;
    CallReports(const CallReports&) = delete;
    CallReports& operator=(const CallReports&) = delete;
    ~CallReports();
    std::vector<std::string> Lines() const;

private:
    ReportScope scope_;
};

void BindEnums(py::module_& module);
void BindBlueprint(py::module_& module);
void BindProfile(py::module_& module);
void BindAnalysis(py::module_& module);

}  // namespace Veltrix::Marlin::Python
