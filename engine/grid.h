#pragma once

#include <cstddef>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "engine/grid_point.h"
#include "engine/tridiagonal_system.h"

namespace tervane {

class Observer;

// A contact's boundary condition; the document file stores its value as a 32-bit integer, any value but
// 0 holding the potential fixed.
enum class ContactKind : int { Neutral = 0, Fixed = 1 };

// The discretised device from the left contact (point 0) to the right contact (point N-1), its
// spacings and permittivities, the Newton work system, and the solver and contact settings.
class Grid {
  public:
    std::vector<GridPoint> points;
    std::vector<double> dx;  // dx[i]: distance from point i to point i+1, m
    std::vector<double> eps; // eps[i]: absolute permittivity of interval i..i+1, F/m
    TridiagonalSystem system;
    int count = 0;
    double damping = 1.0; // factor on each Newton update
    bool fullyIonized = true;
    ContactKind leftContact = ContactKind::Neutral;
    ContactKind rightContact = ContactKind::Neutral;
    double leftBarrier = 0.0; // Ec at a Fixed contact, eV
    double rightBarrier = 0.0;
    // The density mode of the last Newton system; the interior points' densities follow it, the
    // contact points' are always classical.
    DensityMode solvedMode = DensityMode::Classical;
    // The points whose carriers come from bound states when the mode says so (a quantum region);
    // outside them the carriers are classical. Every point unless a region was set.
    int quantumFirst = 0;
    int quantumLast = std::numeric_limits<int>::max();

    explicit Grid(int count_ = 0);
    virtual ~Grid() = default;
    Grid(const Grid&) = default;
    Grid& operator=(const Grid&) = default;

    // Resizes to `count_` points (existing points kept), the density mode back to classical and the
    // quantum region to every point; contacts,
    // damping and fullyIonized untouched.
    void reset(int count_);

    GridPoint& point(int i) { return points[static_cast<std::size_t>(i)]; }
    const GridPoint& point(int i) const { return points[static_cast<std::size_t>(i)]; }

    // The density mode of point i in the last solution (see solvedMode).
    [[nodiscard]] DensityMode modeAt(int i) const
    {
        return i > 0 && i < count - 1 ? modeIn(i, solvedMode) : DensityMode::Classical;
    }
    // `mode` inside the quantum region, classical outside it.
    [[nodiscard]] DensityMode modeIn(int i, DensityMode mode) const
    {
        return i >= quantumFirst && i <= quantumLast ? mode : DensityMode::Classical;
    }

    // Poisson: the starting potential of the interior points from local neutrality with full
    // ionization; the Newton system for the densities of `mode` (stored as solvedMode); one damped
    // Newton step returning the largest update before damping (V), or -1.0 on a zero pivot.
    // Requires count >= 3.
    void initialGuess();
    void assemblePoisson(DensityMode mode);
    [[nodiscard]] double poissonStep(DensityMode mode, Observer& observer);
    // The same with the carriers of each interior point given by `carriers` (point index, point);
    // solvedMode is left as it is.
    void assemblePoisson(const std::function<CarrierResponse(int, const GridPoint&)>& carriers);
    [[nodiscard]] double poissonStep(const std::function<CarrierResponse(int, const GridPoint&)>& carriers,
                                     Observer& observer);

    // Sets the potentials of the two contact points.
    void applyContacts(Observer& observer);

  private:
    // Solves the assembled system and applies the damped update; as poissonStep.
    double newtonUpdate(Observer& observer);

    std::vector<double> scratch_; // auxiliary vector of the tridiagonal solve, kept between steps
};

} // namespace tervane
