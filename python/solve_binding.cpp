#include "python/solve_binding.h"

#include <chrono>
#include <string>
#include <utility>

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include "engine/cv_profile.h"
#include "engine/solve_driver.h"
#include "model/observer.h"
#include "python/errors.h"
#include "python/solution.h"
#include "python/solve_request.h"

namespace tervane::python {

namespace py = pybind11;

namespace {

py::array_t<double> toArray(const std::vector<double>& values)
{
    py::array_t<double> array(static_cast<py::ssize_t>(values.size()));
    std::copy(values.begin(), values.end(), array.mutable_data());
    return array;
}

const char* carrierName(Carrier carrier)
{
    switch (carrier) {
    case Carrier::Electron:
        return "electron";
    case Carrier::LightHole:
        return "light_hole";
    case Carrier::HeavyHole:
        return "heavy_hole";
    }
    return "";
}

// Solves `document` without the GIL; raises the exception that fits when a message stopped it.
void solveReleased(Solution& solution, const Structure& structure, const Materials& materials)
{
    CollectingObserver observer;
    bool solved = false;
    {
        py::gil_scoped_release release;
        const auto start = std::chrono::steady_clock::now();
        solved = solve(solution.document, observer);
        solution.solveSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    solution.messages = observer.messages;
    if (!solved)
        throwSolveFailure(observer.messages, missingMaterialLayer(structure, materials.list));
}

SolveRequest request(bool schroedinger, bool valence, std::optional<Contact> left,
                     std::optional<Contact> right, std::string selfConsistency,
                     std::optional<std::pair<double, double>> quantumRegion, bool polarization,
                     bool partialIonization, std::string eigenSolver, std::optional<double> damping,
                     std::optional<int> poissonIterations, std::optional<int> schroedingerIterations,
                     std::optional<double> tolerance, std::optional<std::pair<std::string, double>> substrate)
{
    return SolveRequest{schroedinger,
                        valence,
                        polarization,
                        partialIonization,
                        std::move(selfConsistency),
                        std::move(eigenSolver),
                        left,
                        right,
                        quantumRegion,
                        damping,
                        poissonIterations,
                        schroedingerIterations,
                        tolerance,
                        std::move(substrate)};
}

} // namespace

void bindSolve(py::module_& module)
{
    py::class_<SolveRequest>(module, "_SolveRequest")
        .def(py::init(&request), py::kw_only(), py::arg("schroedinger"), py::arg("valence"), py::arg("left"),
             py::arg("right"), py::arg("self_consistency"), py::arg("quantum_region"),
             py::arg("polarization"), py::arg("partial_ionization"), py::arg("eigensolver"),
             py::arg("damping"), py::arg("poisson_iterations"), py::arg("schroedinger_iterations"),
             py::arg("tolerance"), py::arg("substrate"));

    py::class_<Solution>(module, "Solution", "The solved structure: arrays per grid point and the status")
        .def(
            "_column", [](const Solution& s, const std::string& name) { return toArray(s.column(name)); },
            py::arg("name"))
        .def("sheet_density", &Solution::sheetDensity, py::arg("a"), py::arg("b"),
             "Electron sheet density over the grid intervals between depths a and b (m from the left "
             "contact), in m^-2")
        .def_property_readonly(
            "converged", [](const Solution& s) { return s.document.converged; },
            "False when the solve stopped at an iteration limit with its error above the tolerance")
        .def_property_readonly(
            "passes", [](const Solution& s) { return s.document.iterations; },
            "Iterations of the last phase (Schroedinger passes when that phase ran)")
        .def_property_readonly(
            "error", [](const Solution& s) { return s.document.solverError; }, "Last Poisson error, V")
        .def_property_readonly(
            "tolerance", [](const Solution& s) { return s.document.tolerance; },
            "Tolerance the last phase ran to, V")
        .def_property_readonly(
            "status_line", [](const Solution& s) { return statusLine(s.document); },
            "The status as tervane-cli solve prints it")
        .def_readonly("messages", &Solution::messages, "The solve's messages, in order")
        .def_readonly("solve_time", &Solution::solveSeconds,
                      "Wall-clock seconds of the core's solve, without the Python call around it")
        .def_property_readonly(
            "subbands",
            [](const Solution& s) {
                py::list list;
                for (const Subband& subband : s.document.subbands)
                    list.append(py::dict(
                        py::arg("carrier") = carrierName(subband.carrier), py::arg("energy") = subband.energy,
                        py::arg("population") = subband.population, py::arg("peak") = subband.peak));
                return list;
            },
            "Bound states of the last pass: carrier, energy (eV, the level minus the quasi-Fermi level where "
            "|psi|^2 peaks), population (m^-2), peak (m from the left contact)")
        .def("_states", [](Solution& s) {
            if (!s.statesFound) {
                py::gil_scoped_release release;
                s.findBoundStates();
            }
            py::list list;
            const auto N = static_cast<py::ssize_t>(s.document.grid.count);
            for (const BoundStates& kind : s.states) {
                py::array_t<double> psi({static_cast<py::ssize_t>(kind.count), N});
                std::copy(kind.psi.begin(), kind.psi.end(), psi.mutable_data());
                list.append(py::make_tuple(carrierName(kind.carrier), toArray(kind.energies), psi,
                                           toArray(kind.population)));
            }
            return list;
        });

    module.def(
        "_solve",
        [](const Structure& structure, const Materials& materials, const SolveRequest& request) {
            Solution solution;
            solution.document = makeDocument(structure, materials, request);
            solveReleased(solution, structure, materials);
            return solution;
        },
        py::arg("structure"), py::arg("materials"), py::arg("request"));

    module.def(
        "_cv",
        [](const Structure& structure, const Materials& materials, const SolveRequest& request, double start,
           double stop, double step, const std::string& path) {
            Solution solution;
            solution.document = makeDocument(structure, materials, request);
            if (!(step > 0.0) || countCvBiases(solution.document.grid.leftBarrier, start, stop, step,
                                               maxCvBiases) > maxCvBiases)
                throw py::value_error("step must be above 0 V and the sweep at most " +
                                      std::to_string(maxCvBiases) + " biases");
            solveReleased(solution, structure, materials);
            CollectingObserver observer;
            bool swept = false;
            {
                py::gil_scoped_release release;
                swept = runCvProfile(solution.document, start, stop, step, path, observer);
            }
            if (!swept)
                throwSolveFailure(observer.messages, {});
        },
        py::arg("structure"), py::arg("materials"), py::arg("request"), py::arg("start"), py::arg("stop"),
        py::arg("step"), py::arg("path"));
}

} // namespace tervane::python
