#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include <pybind11/pybind11.h>

namespace tervane::python {

// The exceptions the module raises, each carrying the core's own message. In Python they derive
// from tervane.TervaneError (a RuntimeError); bad arguments raise ValueError or TypeError instead.
struct TervaneError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// A file could not be read or written (the reader's message, naming the file).
struct FileError : TervaneError {
    using TervaneError::TervaneError;
};
// A layer names a material the materials list does not hold.
struct MaterialNotFound : TervaneError {
    using TervaneError::TervaneError;
};
// The solution is NaN or infinite somewhere; the message names the layer.
struct NonFiniteSolution : TervaneError {
    using TervaneError::TervaneError;
};
// Any other message that stopped a solve or a C-V sweep.
struct SolveError : TervaneError {
    using TervaneError::TervaneError;
};

void registerErrors(pybind11::module_& module);

// Throws the exception that fits the messages of a solve that stopped: the last message says why.
// `materialHint` names the layer whose material is missing, for "Material not found!".
[[noreturn]] void throwSolveFailure(const std::vector<std::string>& messages,
                                    const std::string& materialHint);

} // namespace tervane::python
