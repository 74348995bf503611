// Times the Schroedinger phase on an AlGaN/GaN HEMT: 250 Angstrom of Al0.25Ga0.75N on 1 um of GaN
// at 5 Angstrom spacing (2,050 points), Fixed left contact 1.2 eV, polarization on, 20 passes at most,
// eigenstate files written. Prints medians of whole solves (electrons; electrons and holes; the dense
// eigen-solver) and how one pass grows with the number of points.
//
//   cmake -S . -B build-bench -G Ninja -DTERVANE_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   cmake --build build-bench --target schroedinger_bench
//   build-bench/bench/schroedinger_bench            # everything (the dense solve takes minutes)
//   build-bench/bench/schroedinger_bench --no-dense # without the dense solve
//   build-bench/bench/schroedinger_bench --no-dense --no-scaling # whole solves only
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/bound_states.h"
#include "engine/document.h"
#include "engine/eigenstate_dump.h"
#include "engine/grid.h"
#include "engine/solve_driver.h"
#include "model/constants.h"
#include "model/observer.h"

using namespace tervane;

namespace {

// GaN and AlGaN laws of the standard materials library (Vurgaftman and Meyer 2003; Ambacher 2000).
Material gallium()
{
    Material m;
    m.name = "GaN";
    m.Eg = {3.43760, 0, 0};
    m.dEc = {0.79760, 0, 0};
    m.eps = {9.5, 0, 0};
    m.EaShallow = {0.17, 0, 0};
    m.EdShallow = {0.015, 0, 0};
    m.EaDeep = {0.9, 0, 0};
    m.EdDeep = {1.65, 0, 0};
    m.me = {0.2, 0, 0};
    m.mhh = {1.887, 0, 0};
    m.mlh = {0.139, 0, 0};
    m.polarization.a = {3.189, 0, 0};
    m.polarization.Psp = {-0.029, 0, 0};
    m.polarization.c13 = {103, 0, 0};
    m.polarization.c33 = {405, 0, 0};
    m.polarization.e31 = {-0.49, 0, 0};
    m.polarization.e33 = {0.73, 0, 0};
    return m;
}

Material aluminiumGallium()
{
    Material m;
    m.name = "AlGaN";
    m.type = Ternary;
    m.Eg = {3.43760, 2.02051, 0.7};
    m.dEc = {0.79760, 1.22051, 0.7};
    m.eps = {9.5, -0.5, 0};
    m.EaShallow = {0.17, 0.34, 0};
    m.EdShallow = {0.015, 0.235, 0};
    m.EaDeep = {0.9, 0, 0};
    m.EdDeep = {1.65, 0, 0};
    m.me = {0.2, 0.12, 0};
    m.mhh = {1.887, 1.684, 0};
    m.mlh = {0.139, 0.12, 0};
    m.polarization.a = {3.189, -0.077, 0};
    m.polarization.Psp = {-0.029, -0.052, 0};
    m.polarization.c13 = {103, 5, 0};
    m.polarization.c33 = {405, -32, 0};
    m.polarization.e31 = {-0.49, -0.11, 0};
    m.polarization.e33 = {0.73, 0.73, 0};
    return m;
}

Layer layer(const char* material, double composition, double thickness, double dx, double Nd)
{
    Layer l;
    l.material = material;
    l.composition = {composition, 0, 0};
    l.thickness = thickness;
    l.dx = dx;
    l.Nd = Nd;
    return l;
}

// The HEMT with `points` grid points in all (the spacing follows).
Document hemt(int points, bool valence, EigenSolverKind solver, const std::string& dumpDirectory)
{
    Document d;
    d.materials = {gallium(), aluminiumGallium()};
    const double total = 250e-10 + 1e-6;
    const double dx = total / points;
    d.layers = {layer("AlGaN", 0.25, 250e-10, dx, 0.0), layer("GaN", 0.0, 1e-6, dx, 1e22)};
    d.grid.leftContact = ContactKind::Fixed;
    d.grid.leftBarrier = 1.2;
    d.schroedingerOn = true;
    d.valenceSchroedingerOn = valence;
    d.schroedingerIterations = 20;
    d.schroedingerSettings.eigenSolver = solver;
    d.schroedingerSettings.dumpDirectory = dumpDirectory;
    return d;
}

// Wall-clock and processor time of one call. The processor time (this process, all its threads) is the
// steadier figure on a shared machine.
struct Timing {
    double wall = 0;
    double cpu = 0;
};

Timing measure(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    work();
    Timing t;
    t.cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    t.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return t;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct SolveTiming {
    double medianSeconds = 0; // wall clock
    double medianCpu = 0;
    int passes = 0;
    int bound = 0;
    int points = 0;
    std::size_t messages = 0;
};

SolveTiming timeSolve(int points, bool valence, EigenSolverKind solver, int repetitions,
                      const std::string& dir)
{
    SolveTiming timing;
    std::vector<double> times;
    std::vector<double> cpuTimes;
    for (int r = 0; r < repetitions; ++r) {
        Document d = hemt(points, valence, solver, dir);
        CollectingObserver observer;
        const Timing t = measure([&] { solve(d, observer); });
        times.push_back(t.wall);
        cpuTimes.push_back(t.cpu);
        timing.passes = d.iterations;
        timing.bound = d.boundStates;
        timing.points = d.grid.count;
        timing.messages = observer.messages.size();
        for (const std::string& m : observer.messages)
            std::printf("  message: %s\n", m.c_str());
    }
    timing.medianSeconds = median(times);
    timing.medianCpu = median(cpuTimes);
    return timing;
}

void printSolve(const char* what, const SolveTiming& t, int repetitions)
{
    std::printf("%-44s N=%5d  passes=%2d  bound=%3d  median of %d: %8.3f s wall, %8.3f s cpu\n", what,
                t.points, t.passes, t.bound, repetitions, t.medianSeconds, t.medianCpu);
}

// One pass's pieces on the converged classical grid of the HEMT with `points` points: the eigen-solve of
// only the states a pass needs (as passes do), of every state (as the eigenstate files need), the
// density and the file. Eigen-solves are timed by the wall clock too, the needed states being computed
// on two threads.
void timePass(int points, EigenSolverKind solver, const std::string& dir, int repetitions)
{
    Document d = hemt(points, false, solver, dir);
    d.schroedingerOn = false;
    CollectingObserver observer;
    solve(d, observer);
    Grid& grid = d.grid;
    EigenSolution solution(grid.count);
    std::vector<double> allWall, allCpu, neededWall, neededCpu, densityTimes, writeTimes;
    for (int r = 0; r < repetitions; ++r) {
        const Timing all =
            measure([&] { solveElectronStates(grid, solution, solver, observer, StateScope::All); });
        allWall.push_back(all.wall);
        allCpu.push_back(all.cpu);
        writeTimes.push_back(measure([&] {
                                 writeEigenStates(grid, solution,
                                                  (std::filesystem::path(dir) / electronStatesFile).string(),
                                                  observer);
                             }).wall);
        const Timing needed =
            measure([&] { solveElectronStates(grid, solution, solver, observer, StateScope::Needed); });
        neededWall.push_back(needed.wall);
        neededCpu.push_back(needed.cpu);
        densityTimes.push_back(measure([&] { electronDensityFromStates(grid, solution); }).cpu);
    }
    std::printf("  N=%5d  needed %5d states %8.4f s wall %8.4f s cpu | all states %8.4f s wall %8.4f s cpu | "
                "density %7.4f s cpu | file %7.4f s wall\n",
                grid.count, solution.withVectors, median(neededWall), median(neededCpu), median(allWall),
                median(allCpu), median(densityTimes), median(writeTimes));
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // progress shows when the output goes to a file
    bool dense = true;
    bool scaling = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-dense") == 0)
            dense = false;
        if (std::strcmp(argv[i], "--no-scaling") == 0)
            scaling = false;
    }
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "tervane-schroedinger-bench";
    std::filesystem::create_directories(dir);
    const std::string dump = dir.string();

    std::printf("AlGaN/GaN HEMT, 250 A Al0.25Ga0.75N on 1 um GaN, 5 A spacing, at most 20 passes\n");
    const int hemtPoints = 2050;
    const SolveTiming electrons = timeSolve(hemtPoints, false, EigenSolverKind::Tridiagonal, 5, dump);
    printSolve("solve(), electrons, tridiagonal", electrons, 5);
    const SolveTiming holes = timeSolve(hemtPoints, true, EigenSolverKind::Tridiagonal, 3, dump);
    printSolve("solve(), electrons and holes, tridiagonal", holes, 3);
    if (dense) {
        const SolveTiming slow = timeSolve(hemtPoints, false, EigenSolverKind::Dense, 1, dump);
        printSolve("solve(), electrons, dense", slow, 1);
        std::printf("dense / tridiagonal, whole solve: %.1f\n", slow.medianSeconds / electrons.medianSeconds);
    }

    if (!scaling) {
        std::filesystem::remove_all(dir);
        return 0;
    }
    std::printf("One electron pass on the classical HEMT grid (medians of 3), tridiagonal:\n");
    for (int points : {500, 1000, 2000, 4000, 8000})
        timePass(points, EigenSolverKind::Tridiagonal, dump, 3);
    if (dense) {
        std::printf("The same, dense:\n");
        for (int points : {500, 1000, 2000})
            timePass(points, EigenSolverKind::Dense, dump, 1);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
