// Median time of a classical solve (grid build, polarization potential, Newton phase, sheet charge)
// for a GaAs pn junction and an AlGaN/GaN HEMT at about 1,000, 10,000 and 100,000 points.
//   cmake -S . -B build-bench -G Ninja -DTERVANE_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   cmake --build build-bench --target classical_solve_bench
//   build-bench/bench/classical_solve_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include "engine/document.h"
#include "engine/solve_driver.h"
#include "model/observer.h"

using namespace tervane;

namespace {

Material material(const char* name, double Eg, double dEc, double eps, double me)
{
    Material m;
    m.name = name;
    m.Eg = Quadratic(Eg, 0, 0);
    m.dEc = Quadratic(dEc, 0, 0);
    m.eps = Quadratic(eps, 0, 0);
    m.me = Quadratic(me, 0, 0);
    m.EdShallow = Quadratic(0.015, 0, 0);
    m.EaShallow = Quadratic(0.17, 0, 0);
    return m;
}

Layer layer(const char* name, double thickness, double dx, double Nd, double Na, double x = 0)
{
    Layer l;
    l.material = name;
    l.thickness = thickness;
    l.dx = dx;
    l.Nd = Nd;
    l.Na = Na;
    l.composition = Quadratic(x, 0, 0);
    return l;
}

// Two 1 um halves, Na = Nd = 1e17 cm^-3; `points` sets the spacing.
Document pnJunction(int points)
{
    Document doc;
    doc.polarizationOn = false;
    doc.materials = {material("GaAs", 1.42248, 0.62248, 12.9, 0.067)};
    const double dx = 2e-6 / points;
    doc.layers = {layer("GaAs", 1e-6, dx, 0, 1e23), layer("GaAs", 1e-6, dx, 1e23, 0)};
    return doc;
}

// 250 Angstrom Al0.25Ga0.75N on 1 um GaN, surface barrier 1.2 eV.
Document hemt(int points)
{
    Document doc;
    Material gan = material("GaN", 3.4376, 0.7976, 9.5, 0.2);
    gan.polarization.a = Quadratic(3.189, 0, 0);
    gan.polarization.Psp = Quadratic(-0.029, 0, 0);
    gan.polarization.c13 = Quadratic(103, 0, 0);
    gan.polarization.c33 = Quadratic(405, 0, 0);
    gan.polarization.e31 = Quadratic(-0.49, 0, 0);
    gan.polarization.e33 = Quadratic(0.73, 0, 0);
    Material algan = material("AlGaN", 3.4376, 0.7976, 9.5, 0.2);
    algan.Eg = Quadratic(3.4376, 2.02051, 0.7);
    algan.dEc = Quadratic(0.7976, 1.22051, 0.7);
    algan.eps = Quadratic(9.5, -0.5, 0);
    algan.polarization = gan.polarization;
    algan.polarization.a = Quadratic(3.189, -0.077, 0);
    algan.polarization.Psp = Quadratic(-0.029, -0.052, 0);
    algan.polarization.c13 = Quadratic(103, 5, 0);
    algan.polarization.c33 = Quadratic(405, -32, 0);
    algan.polarization.e31 = Quadratic(-0.49, -0.11, 0);
    algan.polarization.e33 = Quadratic(0.73, 0.73, 0);
    doc.materials = {gan, algan};
    const double dx = 1.025e-6 / points;
    doc.layers = {layer("AlGaN", 250e-10, dx, 0, 0, 0.25), layer("GaN", 1e-6, dx, 1e22, 0)};
    doc.grid.leftContact = ContactKind::Fixed;
    doc.grid.leftBarrier = 1.2;
    return doc;
}

class QuietObserver : public Observer {
  public:
    void message(const std::string&) override {}
};

template <Document (*Make)(int)> void classicalSolve(benchmark::State& state)
{
    Document doc = Make(static_cast<int>(state.range(0)));
    QuietObserver observer;
    for (auto _ : state)
        solve(doc, observer);
    state.counters["points"] = doc.grid.count;
    state.counters["iterations"] = doc.iterations;
    state.counters["error"] = doc.solverError;
}

} // namespace

BENCHMARK(classicalSolve<pnJunction>)
    ->Name("pn_junction")
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(classicalSolve<hemt>)
    ->Name("algan_gan_hemt")
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
