#include <pybind11/pybind11.h>

#include "python/errors.h"
#include "python/solve_binding.h"
#include "python/structure_binding.h"
#include "python/sweep_binding.h"

// The compiled part of the tervane package; tervane/__init__.py is the interface people use.
PYBIND11_MODULE(_core, module)
{
    module.doc() = "Tervane's core: structures, materials, solves, C-V and sweep points";
    tervane::python::registerErrors(module);
    tervane::python::bindStructures(module);
    tervane::python::bindSolve(module);
    tervane::python::bindSweep(module);
}
