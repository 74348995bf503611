#pragma once

#include <pybind11/pybind11.h>

namespace tervane::python {

// Solution, solve() and the C-V sweep behind cv().
void bindSolve(pybind11::module_& module);

} // namespace tervane::python
