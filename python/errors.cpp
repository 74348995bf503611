#include "python/errors.h"

namespace tervane::python {

namespace py = pybind11;

void registerErrors(py::module_& module)
{
    static py::exception<TervaneError> base(module, "TervaneError", PyExc_RuntimeError);
    py::register_exception<FileError>(module, "FileError", base.ptr());
    py::register_exception<MaterialNotFound>(module, "MaterialNotFound", base.ptr());
    py::register_exception<NonFiniteSolution>(module, "NonFiniteSolution", base.ptr());
    py::register_exception<SolveError>(module, "SolveError", base.ptr());
}

void throwSolveFailure(const std::vector<std::string>& messages, const std::string& materialHint)
{
    const std::string last = messages.empty() ? std::string("the solve stopped") : messages.back();
    if (last == "Material not found!")
        throw MaterialNotFound(materialHint.empty() ? last : materialHint + ": " + last);
    if (last.find("the solution is not finite") != std::string::npos)
        throw NonFiniteSolution(last);
    std::string joined;
    for (const std::string& message : messages)
        joined += (joined.empty() ? "" : "; ") + message;
    throw SolveError(joined);
}

} // namespace tervane::python
