#include "python/sweep_binding.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include <pybind11/stl.h>

#include "engine/lapack.h"
#include "engine/sweep_point.h"
#include "io/sweep_loader.h"
#include "model/observer.h"
#include "python/errors.h"

namespace tervane::python {

namespace py = pybind11;

namespace {

struct SweepRunner {
    LoadedSweep loaded;

    // Evaluates the points, `threads` at once, each solve on the thread that runs it; the rows come
    // back in the order of `points`.
    std::vector<SweepPointResult> run(const std::vector<long long>& points, int threads) const
    {
        for (const long long point : points)
            if (point < 0 || point >= loaded.pointCount)
                throw py::index_error("point " + std::to_string(point) + " is not in the sweep's 0 to " +
                                      std::to_string(loaded.pointCount - 1));
        std::vector<SweepPointResult> rows(points.size());
        py::gil_scoped_release release;
        // Before any thread starts: one thread per solve, one solve per thread.
        lapack::setThreadsPerSolve(1);
        std::atomic<std::size_t> next{0};
        const auto work = [&] {
            for (std::size_t k = next++; k < points.size(); k = next++)
                rows[k] = evaluateSweepPoint(loaded.base, loaded.sweep, points[k]);
        };
        const auto count = static_cast<std::size_t>(std::max(1, threads));
        std::vector<std::thread> pool;
        for (std::size_t t = 1; t < std::min(count, points.size()); ++t)
            pool.emplace_back(work);
        work();
        for (std::thread& thread : pool)
            thread.join();
        return rows;
    }
};

} // namespace

void bindSweep(py::module_& module)
{
    py::class_<SweepRunner>(module, "_SweepRunner")
        .def(py::init([](const std::string& path, const std::string& defaultMaterials) {
                 CollectingObserver observer;
                 SweepRunner runner;
                 if (IoResult result = loadSweep(path, defaultMaterials, observer, runner.loaded); !result)
                     throw FileError(result.message);
                 return runner;
             }),
             py::arg("path"), py::arg("default_materials") = "")
        .def_property_readonly("point_count", [](const SweepRunner& r) { return r.loaded.pointCount; })
        .def_property_readonly("key", [](const SweepRunner& r) { return r.loaded.key; })
        .def_property_readonly("parameters",
                               [](const SweepRunner& r) {
                                   std::vector<std::string> names;
                                   for (const SweepParameter& parameter : r.loaded.sweep.parameters)
                                       names.push_back(parameter.name);
                                   return names;
                               })
        .def_property_readonly("figures",
                               [](const SweepRunner& r) {
                                   std::vector<std::string> names;
                                   for (const SweepFigure& figure : r.loaded.sweep.figures)
                                       names.push_back(figure.name);
                                   return names;
                               })
        .def(
            "run",
            [](const SweepRunner& r, const std::vector<long long>& points, int threads) {
                const std::vector<SweepPointResult> rows = r.run(points, threads);
                py::list list;
                for (const SweepPointResult& row : rows)
                    list.append(py::make_tuple(row.index, row.parameters, row.figures,
                                               sweepPointStatusName(row.status), row.message));
                return list;
            },
            py::arg("points"), py::arg("threads") = 1,
            "Rows (point, parameter values, figures, status, message) of the given points, `threads` solves "
            "at once");
}

} // namespace tervane::python
