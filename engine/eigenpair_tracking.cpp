// Rayleigh quotient iteration on twisted factorisations of T - sigma I (the building block of the MRRR
// algorithm, here started from the previous pass's eigenvalues). Each sweep over the points serves four
// states at once: their recurrences are independent, so the divisions of one hide the latency of the
// others'.
#include "engine/eigenpair_tracking.h"

#include "engine/lapack.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <thread>

namespace tervane {

namespace {

constexpr int lanes = 4;
constexpr double eps = std::numeric_limits<double>::epsilon();
// A state converges when its residual |(T - lambda) z| / |z| is below this many eps times the norm;
// rounding keeps it near 20 on 32,800 points.
constexpr double residualFactor = 8.0;
constexpr double lowestResidualFactor = 64.0;
// Steps one state may take (Rayleigh steps and bisections together) before the pass gives up.
constexpr int maxSteps = 60;
// Components below this (the twist component being 1) are set to zero with all beyond them: far below
// anything a density can show, and it keeps the recurrence out of subnormal numbers.
constexpr double negligibleComponent = 1e-150;
// Below this many states a second thread costs more than it saves.
constexpr int statesPerThread = 64;
// Neighbours on either side solved together with a state that could not be followed.
constexpr int groupMargin = 2;

struct Matrix {
    int n = 0;
    const double* d = nullptr;
    const double* e = nullptr;
    std::vector<double> e2; // e[i]^2
    double norm = 0.0;      // Gerschgorin bound of |T|
    double pivmin = 0.0;    // smallest pivot magnitude; smaller ones become -pivmin as in LAPACK
};

// Reciprocal pivots of the two factorisations for each lane, point-major.
struct Workspace {
    std::vector<double> p, rp, rq;
    explicit Workspace(int n)
        : p(static_cast<std::size_t>(n) * lanes), rp(static_cast<std::size_t>(n) * lanes),
          rq(static_cast<std::size_t>(n) * lanes)
    {
    }
};

struct Twist {
    int count = 0;      // eigenvalues below sigma
    int r = 0;          // twist index: the smallest |gamma|
    double gamma = 0.0; // (T - sigma) z = gamma e_r
};

double guarded(double pivot, double pivmin)
{
    return std::fabs(pivot) < pivmin ? -pivmin : pivot;
}

// Top-down LDL^T and bottom-up UDU^T of T - sigma I for four shifts.
void factorise(const Matrix& m, const double* sigma, Workspace& w, Twist* out)
{
    const std::size_t n = static_cast<std::size_t>(m.n);
    int count[lanes] = {};
    for (int j = 0; j < lanes; ++j) {
        const double p = guarded(m.d[0] - sigma[j], m.pivmin);
        w.p[j] = p;
        w.rp[j] = 1.0 / p;
        count[j] += p < 0.0;
    }
    for (std::size_t i = 1; i < n; ++i) {
        const double* previous = &w.rp[(i - 1) * lanes];
        for (int j = 0; j < lanes; ++j) {
            const double p = guarded((m.d[i] - sigma[j]) - m.e2[i] * previous[j], m.pivmin);
            w.p[i * lanes + static_cast<std::size_t>(j)] = p;
            w.rp[i * lanes + static_cast<std::size_t>(j)] = 1.0 / p;
            count[j] += p < 0.0;
        }
    }
    double best[lanes];
    for (int j = 0; j < lanes; ++j) {
        const std::size_t i = n - 1;
        const double shifted = m.d[i] - sigma[j];
        const double q = guarded(shifted, m.pivmin);
        w.rq[i * lanes + static_cast<std::size_t>(j)] = 1.0 / q;
        const double gamma = w.p[i * lanes + static_cast<std::size_t>(j)] + q - shifted;
        best[j] = std::fabs(gamma);
        out[j] = {count[j], static_cast<int>(i), gamma};
    }
    for (std::size_t i = n - 1; i-- > 0;) {
        const double* below = &w.rq[(i + 1) * lanes];
        for (int j = 0; j < lanes; ++j) {
            const double shifted = m.d[i] - sigma[j];
            const double q = guarded(shifted - m.e2[i + 1] * below[j], m.pivmin);
            w.rq[i * lanes + static_cast<std::size_t>(j)] = 1.0 / q;
            const double gamma = w.p[i * lanes + static_cast<std::size_t>(j)] + q - shifted;
            if (std::fabs(gamma) < best[j]) {
                best[j] = std::fabs(gamma);
                out[j].r = static_cast<int>(i);
                out[j].gamma = gamma;
            }
        }
    }
}

// The vector of lane j with z_r = 1 into z; returns |z|^2.
double twistedVector(const Matrix& m, const Workspace& w, int j, int r, double* z)
{
    const std::size_t n = static_cast<std::size_t>(m.n);
    const auto lane = static_cast<std::size_t>(j);
    const auto twist = static_cast<std::size_t>(r);
    std::fill(z, z + n, 0.0);
    z[twist] = 1.0;
    double sum = 1.0;
    for (std::size_t i = twist; i-- > 0;) {
        const double value = -(m.e[i + 1] * w.rp[i * lanes + lane]) * z[i + 1];
        if (std::fabs(value) < negligibleComponent)
            break;
        z[i] = value;
        sum += value * value;
    }
    for (std::size_t i = twist + 1; i < n; ++i) {
        const double value = -(m.e[i] * w.rq[i * lanes + lane]) * z[i - 1];
        if (std::fabs(value) < negligibleComponent)
            break;
        z[i] = value;
        sum += value * value;
    }
    return sum;
}

// Sturm counts at four points.
void countBelow(const Matrix& m, const double* x, int* count)
{
    double rp[lanes];
    for (int j = 0; j < lanes; ++j) {
        const double p = guarded(m.d[0] - x[j], m.pivmin);
        rp[j] = 1.0 / p;
        count[j] = p < 0.0;
    }
    for (int i = 1; i < m.n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        for (int j = 0; j < lanes; ++j) {
            const double p = guarded((m.d[k] - x[j]) - m.e2[k] * rp[j], m.pivmin);
            rp[j] = 1.0 / p;
            count[j] += p < 0.0;
        }
    }
}

struct Range {
    int first = 0;
    int end = 0;
};

// One state on its way. Its eigenvalue lies in (lo, hi]; countLo and countHi are the Sturm counts at
// the ends where they were taken (-1 for the first, estimated, bounds). The value is proven to be the
// eigenvalue of index k once countLo = k and countHi = k + 1 with both ends within the margin of it.
struct Slot {
    int k = -1;
    double sigma = 0.0;
    double lo = 0.0;
    double hi = 0.0;
    int countLo = -1;
    int countHi = -1;
    int steps = 0;
    bool closing = false; // converged; this sweep is the count on the far side of the value
    double value = 0.0;
    double residual = 0.0;
    double margin = 0.0;

    bool proven() const
    {
        return countLo == k && countHi == k + 1 && lo >= value - margin && hi <= value + margin;
    }
};

struct Inputs {
    const Matrix& m;
    const double* weights;
    const EigenpairTrack& track;
    double lowestShift; // smallest and largest change of a diagonal entry, J, widened by the rounding
    double highestShift;
};

// Solves states first..end-1. A state that cannot be followed (its bracket collapses on a value it
// shares with a neighbour to the last bit, or it takes too many steps) ends the range with false, or
// with `unresolved` is listed there and the range goes on.
bool followRange(const Inputs& in, Range range, double* values, double* vectors, std::vector<int>* unresolved)
{
    const Matrix& m = in.m;
    const auto n = static_cast<std::size_t>(m.n);
    // Solving the lowest states alone (`unresolved` given) accepts the residual that long grids reach.
    const double tolerance = (unresolved ? lowestResidualFactor : residualFactor) * eps * m.norm;
    const double marginFloor = 4.0 * eps * m.norm;
    Workspace work(m.n);
    Slot slots[lanes];
    int next = range.first;
    const auto start = [&](Slot& slot) {
        slot = Slot{};
        if (next >= range.end)
            return;
        const int k = next++;
        const double* psi = vectors + static_cast<std::size_t>(k) * n;
        // First-order change: the diagonal's change averaged over the old state (as weighted unknowns).
        double weighted = 0.0;
        double norm = 0.0;
        for (std::size_t i = 0; i < n; ++i) {
            const double u = in.weights[i] * psi[i];
            const double u2 = u * u;
            weighted += u2 * (m.d[i] - in.track.diagonal[i]);
            norm += u2;
        }
        const double old = in.track.values[static_cast<std::size_t>(k)];
        slot.k = k;
        slot.lo = old + in.lowestShift;
        slot.hi = old + in.highestShift;
        const double estimate = norm > 0.0 && std::isfinite(weighted / norm) ? old + weighted / norm : old;
        slot.sigma = std::clamp(estimate, slot.lo, slot.hi);
    };
    const auto accept = [&](Slot& slot) {
        values[slot.k] = slot.value;
        start(slot);
    };
    for (Slot& slot : slots)
        start(slot);
    double sigma[lanes];
    Twist twist[lanes];
    for (;;) {
        int active = -1;
        for (int j = 0; j < lanes; ++j)
            if (slots[j].k >= 0)
                active = j;
        if (active < 0)
            return true;
        for (int j = 0; j < lanes; ++j)
            sigma[j] = slots[j].k >= 0 ? slots[j].sigma : slots[active].sigma;
        factorise(m, sigma, work, twist);
        for (int j = 0; j < lanes; ++j) {
            Slot& slot = slots[j];
            if (slot.k < 0)
                continue;
            if (++slot.steps > maxSteps) {
                if (!unresolved)
                    return false;
                unresolved->push_back(slot.k);
                start(slot);
                continue;
            }
            const int count = twist[j].count;
            if (count <= slot.k && slot.sigma >= slot.lo) {
                slot.lo = slot.sigma;
                slot.countLo = count;
            } else if (count > slot.k && slot.sigma <= slot.hi) {
                slot.hi = slot.sigma;
                slot.countHi = count;
            }
            if (slot.closing) {
                if (slot.proven()) {
                    accept(slot);
                } else {
                    slot.closing = false;
                    slot.sigma = 0.5 * (slot.lo + slot.hi);
                }
                continue;
            }
            double* z = vectors + static_cast<std::size_t>(slot.k) * n;
            const double norm2 = twistedVector(m, work, j, twist[j].r, z);
            if (!std::isfinite(norm2) || !std::isfinite(twist[j].gamma)) {
                if (!unresolved)
                    return false;
                unresolved->push_back(slot.k);
                start(slot);
                continue;
            }
            const double correction = twist[j].gamma / norm2;
            const double residual = std::fabs(twist[j].gamma) / std::sqrt(norm2);
            if (residual <= tolerance) {
                // The vector is final; the value is proven by the bracket, or by one more count on the
                // side of it not yet seen.
                const double scale = 1.0 / std::sqrt(norm2);
                for (std::size_t i = 0; i < n; ++i)
                    z[i] *= scale;
                slot.value = slot.sigma + correction;
                slot.residual = residual;
                slot.margin = std::max(2.0 * residual, marginFloor);
                if (slot.proven()) {
                    accept(slot);
                } else {
                    slot.closing = true;
                    slot.sigma = count <= slot.k ? slot.value + slot.margin : slot.value - slot.margin;
                }
                continue;
            }
            double step = slot.sigma + correction;
            if (!(step > slot.lo && step < slot.hi))
                step = 0.5 * (slot.lo + slot.hi);
            if (!(step > slot.lo && step <= slot.hi)) { // the bracket cannot shrink any further
                if (!unresolved)
                    return false;
                unresolved->push_back(slot.k);
                start(slot);
                continue;
            }
            slot.sigma = step;
        }
    }
}

// The proven eigenvalues are far enough apart for their vectors, and the next one far enough above;
// two states solved together (the same `group`, when not -1) are orthogonal whatever their gap.
bool separated(const Matrix& m, int wanted, const double* values, double minRelativeGap,
               const std::vector<int>& group)
{
    const double minGap = minRelativeGap * m.norm;
    for (int k = 0; k + 1 < wanted; ++k) {
        const auto i = static_cast<std::size_t>(k);
        if (group[i] >= 0 && group[i] == group[i + 1])
            continue;
        if (values[k + 1] - values[k] < minGap)
            return false;
    }
    if (wanted == m.n)
        return true;
    double points[lanes];
    std::fill(points, points + lanes, values[wanted - 1] + minGap);
    int count[lanes];
    countBelow(m, points, count);
    return count[0] == wanted;
}

} // namespace

bool followEigenpairs(int n, const double* d, const double* e, const double* weights,
                      const EigenpairTrack& track, int wanted, double* values, double* vectors,
                      double minRelativeGap, bool resolveTogether)
{
    const auto size = static_cast<std::size_t>(n);
    if (n < 3 || wanted < 1 || wanted > n || track.values.size() < static_cast<std::size_t>(wanted) ||
        track.diagonal.size() != size || track.coupling.size() != size)
        return false;
    // Only the diagonal may have changed, by the bits.
    if (!std::equal(e + 1, e + n, track.coupling.begin() + 1))
        return false;
    Matrix m;
    m.n = n;
    m.d = d;
    m.e = e;
    m.e2.assign(size, 0.0);
    double lowestShift = std::numeric_limits<double>::infinity();
    double highestShift = -lowestShift;
    double largestSquare = 1.0;
    for (std::size_t i = 0; i < size; ++i) {
        const double left = i > 0 ? std::fabs(e[i]) : 0.0;
        const double right = i + 1 < size ? std::fabs(e[i + 1]) : 0.0;
        m.norm = std::max(m.norm, std::fabs(d[i]) + left + right);
        if (i > 0) {
            m.e2[i] = e[i] * e[i];
            largestSquare = std::max(largestSquare, m.e2[i]);
        }
        const double shift = d[i] - track.diagonal[i];
        lowestShift = std::min(lowestShift, shift);
        highestShift = std::max(highestShift, shift);
    }
    if (!std::isfinite(m.norm) || !(m.norm > 0.0) || !std::isfinite(lowestShift) ||
        !std::isfinite(highestShift))
        return false;
    m.pivmin = std::numeric_limits<double>::min() * largestSquare;
    // The tracked values carry their own rounding: the bracket is widened by it.
    const double slack = 16.0 * eps * m.norm;
    const Inputs inputs{m, weights, track, lowestShift - slack, highestShift + slack};

    bool ok = true;
    std::vector<int> lower;
    std::vector<int> higher;
    std::vector<int>* const lowerList = resolveTogether ? &lower : nullptr;
    std::vector<int>* const higherList = resolveTogether ? &higher : nullptr;
    if (wanted >= 2 * statesPerThread && lapack::threadsPerSolve() >= 2) {
        const int half = wanted / 2;
        bool upperOk = true;
        std::thread upper([&] {
            upperOk = followRange(inputs, {half, wanted}, values, vectors, higherList);
        });
        ok = followRange(inputs, {0, half}, values, vectors, lowerList);
        upper.join();
        ok = ok && upperOk;
    } else {
        ok = followRange(inputs, {0, wanted}, values, vectors, lowerList);
    }
    if (!ok)
        return false;
    // The states that could not be followed are solved from scratch with their neighbours, a few on
    // either side, each group at once so that its vectors are orthogonal however close its values.
    lower.insert(lower.end(), higher.begin(), higher.end());
    std::sort(lower.begin(), lower.end());
    std::vector<int> group(size, -1);
    std::vector<double> groupValues;
    std::vector<double> groupVectors;
    for (std::size_t u = 0; u < lower.size();) {
        const int first = std::max(lower[u] - groupMargin, 0);
        int end = std::min(lower[u] + groupMargin + 1, wanted);
        while (++u < lower.size() && lower[u] - groupMargin <= end)
            end = std::min(lower[u] + groupMargin + 1, wanted);
        const int count = end - first;
        groupValues.assign(size, 0.0); // the routine's work space too
        const lapack::EigenResult solved = lapack::tridiagonalIndexRange(
            n, d, e, first, count, groupValues.data(), [&groupVectors, size](int columns) {
                groupVectors.assign(static_cast<std::size_t>(columns) * size, 0.0);
                return groupVectors.data();
            });
        if (!solved.ok() || solved.found != count)
            return false;
        for (int k = first; k < end; ++k) {
            const auto j = static_cast<std::size_t>(k - first);
            values[k] = groupValues[j];
            std::copy(groupVectors.begin() + static_cast<std::ptrdiff_t>(j * size),
                      groupVectors.begin() + static_cast<std::ptrdiff_t>((j + 1) * size),
                      vectors + static_cast<std::size_t>(k) * size);
            group[static_cast<std::size_t>(k)] = first;
        }
    }
    return separated(m, wanted, values, minRelativeGap, group);
}

} // namespace tervane
