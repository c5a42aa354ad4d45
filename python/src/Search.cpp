// The chains search.

#include "Binding.h"

namespace Veltrix::Marlin::Python {

void BindSearch(py::module_& /*module*/) {}

}  // namespace Veltrix::Marlin::Python
