#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/grid_point.h"
#include "engine/tridiagonal_system.h"

namespace tervane {

class Observer;

// The discretised device from the left contact (point 0) to the right contact (point N-1), its
// spacings and permittivities, the Newton work system, and the solver and contact settings.
class Grid {
public:
    std::vector<GridPoint> points;
    std::vector<double> dx;   // dx[i]: distance from point i to point i+1, m
    std::vector<double> eps;  // eps[i]: absolute permittivity of interval i..i+1, F/m
    TridiagonalSystem system;
    int count = 0;
    double damping = 1.0;     // factor on each Newton update
    bool fullyIonized = true;
    int leftContact = 0;      // 0 = Neutral, non-zero = Fixed
    int rightContact = 0;
    double leftBarrier = 0.0;   // Ec at a Fixed contact, eV
    double rightBarrier = 0.0;

    explicit Grid(int count_ = 0);
    virtual ~Grid() = default;
    Grid(const Grid&) = default;
    Grid& operator=(const Grid&) = default;

    // Resizes to `count_` points (existing points kept); contacts, damping and fullyIonized untouched.
    void reset(int count_);

    GridPoint& point(int i) { return points[static_cast<std::size_t>(i)]; }
    const GridPoint& point(int i) const { return points[static_cast<std::size_t>(i)]; }

    // Poisson: the starting potential of the interior points from local neutrality with full
    // ionization; the Newton system (writing `mode` into every interior point's carrierMode); one
    // damped Newton step returning the largest update before damping (V), or -1.0 on a zero pivot.
    // Requires count >= 3.
    void initialGuess();
    void assemblePoisson(int mode);
    double poissonStep(int mode, Observer& observer);

    // Sets the potentials of the two contact points.
    void applyContacts(Observer& observer);

private:
    std::vector<double> scratch_;  // auxiliary vector of the tridiagonal solve, kept between steps
};

}  // namespace tervane
