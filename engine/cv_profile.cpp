#include "engine/cv_profile.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/document.h"
#include "engine/grid.h"
#include "engine/solve_driver.h"
#include "engine/text_file.h"
#include "model/observer.h"

namespace tervane {

namespace {

constexpr double probeFraction = 0.05;        // the probing shift is 0.05 Step
constexpr double halfCharge = 8e-20;          // q/2, for the trapezoid
constexpr double inverseProbeFraction = 20.0; // 1/0.05
constexpr double perSquareCm = 1e-4;          // m^-2 -> cm^-2

// Puts the user's barrier back whatever happens inside the sweep.
class BarrierRestorer {
  public:
    BarrierRestorer(double& barrier, double saved) : barrier_(barrier), saved_(saved) {}
    ~BarrierRestorer() { barrier_ = saved_; }
    BarrierRestorer(const BarrierRestorer&) = delete;
    BarrierRestorer& operator=(const BarrierRestorer&) = delete;

  private:
    double& barrier_;
    double saved_;
};

} // namespace

long long countCvBiases(double V0, double start, double stop, double step, long long limit)
{
    long long count = 0;
    double barrier = V0 + start;
    while (barrier <= V0 + stop && count <= limit) {
        ++count;
        barrier = barrier + probeFraction * step;
        barrier = barrier - probeFraction * step;
        barrier = barrier + step;
    }
    return count;
}

bool runCvProfile(Document& document, double start, double stop, double step, const std::string& outputPath,
                  Observer& observer)
{
    if (!std::isfinite(start) || !std::isfinite(stop) || !std::isfinite(step)) {
        observer.message("The C-V Start, Stop and Step must be finite numbers.");
        return false;
    }
    if (step == 0.0 || (step < 0.0 && start <= stop)) {
        observer.message("The C-V Step must be greater than 0 for the sweep to reach Stop.");
        return false;
    }
    if (countCvBiases(document.grid.leftBarrier, start, stop, step, maxCvBiases) > maxCvBiases) {
        observer.message("The C-V sweep would take more than " + std::to_string(maxCvBiases) +
                         " biases; use a larger Step or a shorter range.");
        return false;
    }

    auto file = std::make_unique<TextFile>(outputPath);
    if (!*file) {
        observer.message("Can't open output CV file.");
        return false;
    }
    file->print("V\tC\n");

    Grid& grid = document.grid;
    const double V0 = grid.leftBarrier;
    bool finished = true;
    {
        BarrierRestorer restorer(grid.leftBarrier, V0);
        const int N = grid.count;
        std::vector<double> Q(static_cast<std::size_t>(N > 0 ? N : 0));
        grid.leftBarrier = V0 + start;
        const auto total = static_cast<int>(countCvBiases(V0, start, stop, step, maxCvBiases));
        int biases = 0;
        while (grid.leftBarrier <= V0 + stop) {
            // A solution that is not finite ends the sweep; the lines written so far stay.
            if (!resolveAtBias(document, observer)) {
                finished = false;
                break;
            }
            for (int i = 0; i < N; ++i)
                Q[static_cast<std::size_t>(i)] = grid.point(i).netCharge(grid.modeAt(i));

            grid.leftBarrier = grid.leftBarrier + probeFraction * step;
            if (!resolveAtBias(document, observer)) {
                finished = false;
                break;
            }
            double dQ = 0;
            for (int i = 0; i + 1 < N; ++i) {
                const auto k = static_cast<std::size_t>(i);
                dQ = dQ + ((grid.point(i).netCharge(grid.modeAt(i)) - Q[k]) +
                           (grid.point(i + 1).netCharge(grid.modeAt(i + 1)) - Q[k + 1])) *
                              grid.dx[k] * halfCharge;
            }
            grid.leftBarrier = grid.leftBarrier - probeFraction * step;

            const double C = dQ * inverseProbeFraction / step * perSquareCm; // no absolute value
            file->print("%f\t%E\n", grid.leftBarrier - V0, C);
            observer.progressAt({SolveProgress::Phase::Bias, ++biases, grid.leftBarrier - V0, total});
            if (observer.stopRequested()) {
                finished = false;
                break;
            }
            grid.leftBarrier = grid.leftBarrier + step;
        }
    }
    file.reset();
    solve(document, observer);
    return finished;
}

} // namespace tervane
