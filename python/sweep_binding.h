#pragma once

#include <pybind11/pybind11.h>

namespace tervane::python {

// _SweepRunner: a sweep file loaded as `tervane-cli sweep` loads it, whose points run on threads
// without the GIL.
void bindSweep(pybind11::module_& module);

} // namespace tervane::python
