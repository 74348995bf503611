// Rayleigh quotient iteration on twisted factorisations of T - sigma I (the building block of the MRRR
// algorithm, here started from the previous pass's eigenvalues). Each sweep over the points serves eight
// states at once: their recurrences are independent, so the divisions of one hide the latency of the
// others'.
#include "engine/eigenpair_tracking.h"

#include "engine/lapack.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <thread>

namespace tervane {

namespace {

constexpr int lanes = 8;
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

// The lanes' recurrences side by side, two to a vector register (every x86-64 has those): one
// vector operation serves two lanes with the same IEEE operations as one at a time, so the same bits.
using Pair = double __attribute__((vector_size(2 * sizeof(double))));
constexpr int pairs = lanes / 2;

Pair splat(double x)
{
    return Pair{x, x};
}

// Pivots smaller than pivmin in magnitude become -pivmin, as in LAPACK.
Pair guarded(Pair pivot, Pair pivmin)
{
    return ((pivot < pivmin) & (pivot > -pivmin)) ? -pivmin : pivot;
}

// Pivots and reciprocal pivots of the two factorisations for each lane, point-major.
struct Workspace {
    std::vector<Pair> p, rp, rq;
    explicit Workspace(int n)
        : p(static_cast<std::size_t>(n) * pairs), rp(static_cast<std::size_t>(n) * pairs),
          rq(static_cast<std::size_t>(n) * pairs)
    {
    }
    double reciprocalP(std::size_t i, int j) const
    {
        return rp[i * pairs + static_cast<std::size_t>(j / 2)][j % 2];
    }
    double reciprocalQ(std::size_t i, int j) const
    {
        return rq[i * pairs + static_cast<std::size_t>(j / 2)][j % 2];
    }
};

struct Twist {
    int count = 0;      // eigenvalues below sigma
    int r = 0;          // twist index: the smallest |gamma|
    double gamma = 0.0; // (T - sigma) z = gamma e_r
};

// Top-down LDL^T and bottom-up UDU^T of T - sigma I for every lane. Counts and twist indices are kept
// as doubles (exact far beyond any grid), so that every select stays in the vector unit.
void factorise(const Matrix& m, const double* sigmas, Workspace& w, Twist* out)
{
    const std::size_t n = static_cast<std::size_t>(m.n);
    const Pair pivmin = splat(m.pivmin);
    const Pair one = splat(1.0);
    const Pair zero = {};
    Pair sigma[pairs], count[pairs], best[pairs], r[pairs], gamma[pairs];
    for (int k = 0; k < pairs; ++k) {
        sigma[k] = Pair{sigmas[2 * k], sigmas[2 * k + 1]};
        const Pair p = guarded(m.d[0] - sigma[k], pivmin);
        w.p[static_cast<std::size_t>(k)] = p;
        w.rp[static_cast<std::size_t>(k)] = 1.0 / p;
        count[k] = p < 0.0 ? one : zero;
    }
    for (std::size_t i = 1; i < n; ++i) {
        const Pair* previous = &w.rp[(i - 1) * pairs];
        Pair* pivots = &w.p[i * pairs];
        Pair* reciprocals = &w.rp[i * pairs];
        for (int k = 0; k < pairs; ++k) {
            const Pair p = guarded((m.d[i] - sigma[k]) - m.e2[i] * previous[k], pivmin);
            pivots[k] = p;
            reciprocals[k] = 1.0 / p;
            count[k] += p < 0.0 ? one : zero;
        }
    }
    {
        const std::size_t i = n - 1;
        for (int k = 0; k < pairs; ++k) {
            const Pair shifted = m.d[i] - sigma[k];
            const Pair q = guarded(shifted, pivmin);
            w.rq[i * pairs + static_cast<std::size_t>(k)] = 1.0 / q;
            gamma[k] = w.p[i * pairs + static_cast<std::size_t>(k)] + q - shifted;
            best[k] = gamma[k] < 0.0 ? -gamma[k] : gamma[k];
            r[k] = splat(static_cast<double>(i));
        }
    }
    for (std::size_t i = n - 1; i-- > 0;) {
        const Pair* below = &w.rq[(i + 1) * pairs];
        const Pair* pivots = &w.p[i * pairs];
        Pair* reciprocals = &w.rq[i * pairs];
        const Pair index = splat(static_cast<double>(i));
        for (int k = 0; k < pairs; ++k) {
            const Pair shifted = m.d[i] - sigma[k];
            const Pair q = guarded(shifted - m.e2[i + 1] * below[k], pivmin);
            reciprocals[k] = 1.0 / q;
            const Pair g = pivots[k] + q - shifted;
            const Pair size = g < 0.0 ? -g : g;
            const auto smaller = size < best[k];
            best[k] = smaller ? size : best[k];
            r[k] = smaller ? index : r[k];
            gamma[k] = smaller ? g : gamma[k];
        }
    }
    for (int j = 0; j < lanes; ++j)
        out[j] = {static_cast<int>(count[j / 2][j % 2]), static_cast<int>(r[j / 2][j % 2]),
                  gamma[j / 2][j % 2]};
}

// The vector of lane j with z_r = 1 into z; returns |z|^2. Components beyond the first negligible
// one on either side are zero.
double twistedVector(const Matrix& m, const Workspace& w, int j, int r, double* z)
{
    const std::size_t n = static_cast<std::size_t>(m.n);
    const auto twist = static_cast<std::size_t>(r);
    z[twist] = 1.0;
    double sum = 1.0;
    for (std::size_t i = twist; i-- > 0;) {
        const double value = -(m.e[i + 1] * w.reciprocalP(i, j)) * z[i + 1];
        if (std::fabs(value) < negligibleComponent) {
            std::fill(z, z + i + 1, 0.0);
            break;
        }
        z[i] = value;
        sum += value * value;
    }
    for (std::size_t i = twist + 1; i < n; ++i) {
        const double value = -(m.e[i] * w.reciprocalQ(i, j)) * z[i - 1];
        if (std::fabs(value) < negligibleComponent) {
            std::fill(z + i, z + n, 0.0);
            break;
        }
        z[i] = value;
        sum += value * value;
    }
    return sum;
}

// |z|^2 of every lane's vector, as twistedVector sums it (the same terms in the same order), in two
// sweeps over all lanes at once: the vector itself is only written once it is final. The two sweeps
// are written out in full: sharing their body through a lambda kept the lanes out of the registers
// and cost a tenth of an accelerated solve.
void twistedNorms(const Matrix& m, const Workspace& w, const Twist* twist, double* sums)
{
    const std::size_t n = static_cast<std::size_t>(m.n);
    const Pair one = splat(1.0);
    const Pair negligible = splat(negligibleComponent);
    Pair twistAt[pairs], sum[pairs], z[pairs], alive[pairs];
    int lowest = m.n;
    int highest = 0;
    for (int k = 0; k < pairs; ++k) {
        twistAt[k] = Pair{static_cast<double>(twist[2 * k].r), static_cast<double>(twist[2 * k + 1].r)};
        sum[k] = z[k] = alive[k] = one;
        lowest = std::min({lowest, twist[2 * k].r, twist[2 * k + 1].r});
        highest = std::max({highest, twist[2 * k].r, twist[2 * k + 1].r});
    }
    // Towards the first point, from each twist index down; a lane stops at its first negligible term.
    for (std::size_t i = static_cast<std::size_t>(highest); i-- > 0;) {
        const Pair at = splat(static_cast<double>(i));
        const Pair* reciprocals = &w.rp[i * pairs];
        for (int k = 0; k < pairs; ++k) {
            const Pair value = -(m.e[i + 1] * reciprocals[k]) * z[k];
            const auto active = (at < twistAt[k]) & (alive[k] > 0.0);
            const auto small = (value < negligible) & (value > -negligible);
            alive[k] = (active & small) ? Pair{} : alive[k];
            const auto taken = active & ~small;
            z[k] = taken ? value : z[k];
            sum[k] = taken ? sum[k] + value * value : sum[k];
        }
    }
    for (int k = 0; k < pairs; ++k)
        z[k] = alive[k] = one;
    // Towards the last point, from each twist index up.
    for (std::size_t i = static_cast<std::size_t>(lowest) + 1; i < n; ++i) {
        const Pair at = splat(static_cast<double>(i));
        const Pair* reciprocals = &w.rq[i * pairs];
        for (int k = 0; k < pairs; ++k) {
            const Pair value = -(m.e[i] * reciprocals[k]) * z[k];
            const auto active = (at > twistAt[k]) & (alive[k] > 0.0);
            const auto small = (value < negligible) & (value > -negligible);
            alive[k] = (active & small) ? Pair{} : alive[k];
            const auto taken = active & ~small;
            z[k] = taken ? value : z[k];
            sum[k] = taken ? sum[k] + value * value : sum[k];
        }
    }
    for (int j = 0; j < lanes; ++j)
        sums[j] = sum[j / 2][j % 2];
}

// Sturm counts at every lane's point.
void countBelow(const Matrix& m, const double* x, int* count)
{
    const Pair pivmin = splat(m.pivmin);
    const Pair one = splat(1.0);
    const Pair zero = {};
    Pair at[pairs], rp[pairs], counted[pairs];
    for (int k = 0; k < pairs; ++k) {
        at[k] = Pair{x[2 * k], x[2 * k + 1]};
        const Pair p = guarded(m.d[0] - at[k], pivmin);
        rp[k] = 1.0 / p;
        counted[k] = p < 0.0 ? one : zero;
    }
    for (int i = 1; i < m.n; ++i) {
        const auto row = static_cast<std::size_t>(i);
        for (int k = 0; k < pairs; ++k) {
            const Pair p = guarded((m.d[row] - at[k]) - m.e2[row] * rp[k], pivmin);
            rp[k] = 1.0 / p;
            counted[k] += p < 0.0 ? one : zero;
        }
    }
    for (int j = 0; j < lanes; ++j)
        count[j] = static_cast<int>(counted[j / 2][j % 2]);
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
    // When given: state k lies alone in (lo[k], hi[k]] (NaN: not isolated, passed over) and starts at
    // start[k]; the track is then not read.
    const std::vector<double>* lo = nullptr;
    const std::vector<double>* hi = nullptr;
    const std::vector<double>* start = nullptr;
};

// The first-order estimate of state k's eigenvalue: its old value moved by the diagonal's change
// averaged over the old state psi (as weighted unknowns).
double firstOrderEstimate(const Matrix& m, const double* weights, const EigenpairTrack& track, int k,
                          const double* psi)
{
    double weighted = 0.0;
    double norm = 0.0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(m.n); ++i) {
        const double u = weights[i] * psi[i];
        const double u2 = u * u;
        weighted += u2 * (m.d[i] - track.diagonal[i]);
        norm += u2;
    }
    const double old = track.values[static_cast<std::size_t>(k)];
    return norm > 0.0 && std::isfinite(weighted / norm) ? old + weighted / norm : old;
}

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
    const bool isolated = in.lo != nullptr;
    const auto start = [&](Slot& slot) {
        slot = Slot{};
        if (isolated)
            while (next < range.end && std::isnan((*in.lo)[static_cast<std::size_t>(next)]))
                ++next;
        if (next >= range.end)
            return;
        const int k = next++;
        slot.k = k;
        if (isolated) {
            const auto i = static_cast<std::size_t>(k);
            slot.lo = (*in.lo)[i];
            slot.hi = (*in.hi)[i];
            slot.countLo = k;
            slot.countHi = k + 1;
            const double from = (*in.start)[i];
            slot.sigma = from > slot.lo && from < slot.hi ? from : 0.5 * (slot.lo + slot.hi);
            return;
        }
        const double old = in.track.values[static_cast<std::size_t>(k)];
        slot.lo = old + in.lowestShift;
        slot.hi = old + in.highestShift;
        const double estimate =
            firstOrderEstimate(m, in.weights, in.track, k, vectors + static_cast<std::size_t>(k) * n);
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
    double norms[lanes];
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
        twistedNorms(m, work, twist, norms);
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
            const double lo = slot.lo; // the bracket before this sweep's count narrows it to sigma
            const double hi = slot.hi;
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
            const double norm2 = norms[j];
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
                double* z = vectors + static_cast<std::size_t>(slot.k) * n;
                twistedVector(m, work, j, twist[j].r, z);
                const double scale = 1.0 / std::sqrt(norm2);
                for (std::size_t i = 0; i < n; ++i)
                    z[i] *= scale;
                slot.value = slot.sigma + correction;
                slot.residual = residual;
                slot.margin = std::max(2.0 * residual, marginFloor);
                // Alone in its bracket, a value whose residual keeps it inside is that state's: an
                // eigenvalue lies within the residual of sigma, and the bracket holds only this one.
                const bool inside = isolated && slot.countLo == slot.k && slot.countHi == slot.k + 1 &&
                                    slot.sigma - residual - marginFloor > lo &&
                                    slot.sigma + residual + marginFloor <= hi;
                if (inside || slot.proven()) {
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

// The matrix's norm, squared couplings and pivot floor; false when it has an entry that is not a
// finite number.
bool prepare(Matrix& m, int n, const double* d, const double* e)
{
    const auto finite = [](double x) { return std::isfinite(x); };
    if (!std::all_of(d, d + n, finite) || !std::all_of(e + 1, e + n, finite))
        return false;
    const auto size = static_cast<std::size_t>(n);
    m.n = n;
    m.d = d;
    m.e = e;
    m.e2.assign(size, 0.0);
    double largestSquare = 1.0;
    for (std::size_t i = 0; i < size; ++i) {
        const double left = i > 0 ? std::fabs(e[i]) : 0.0;
        const double right = i + 1 < size ? std::fabs(e[i + 1]) : 0.0;
        m.norm = std::max(m.norm, std::fabs(d[i]) + left + right);
        if (i > 0) {
            m.e2[i] = e[i] * e[i];
            largestSquare = std::max(largestSquare, m.e2[i]);
        }
    }
    m.pivmin = std::numeric_limits<double>::min() * largestSquare;
    return std::isfinite(m.norm) && m.norm > 0.0;
}

// Solves the states 0..wanted-1 the inputs describe, on two threads when there are enough; then those
// that could not be solved (only with resolveTogether), from scratch in groups; then checks the gaps.
bool solveStates(const Inputs& inputs, int wanted, double* values, double* vectors, double minRelativeGap,
                 bool resolveTogether, std::vector<int> lower = {})
{
    const Matrix& m = inputs.m;
    const int n = m.n;
    const double* d = m.d;
    const double* e = m.e;
    const auto size = static_cast<std::size_t>(n);
    bool ok = true;
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

// Sturm counts at the points x (any order), a lane each, on two threads when there are many.
std::vector<int> countsAt(const Matrix& m, const std::vector<double>& x)
{
    std::vector<int> counts(x.size());
    const auto run = [&](std::size_t from, std::size_t to) {
        double at[lanes];
        int count[lanes];
        for (std::size_t s = from; s < to; s += lanes) {
            for (std::size_t j = 0; j < lanes; ++j)
                at[j] = x[std::min(s + j, to - 1)];
            countBelow(m, at, count);
            for (std::size_t j = 0; j < lanes && s + j < to; ++j)
                counts[s + j] = count[j];
        }
    };
    if (x.size() >= static_cast<std::size_t>(2 * statesPerThread) && lapack::threadsPerSolve() >= 2) {
        const std::size_t half = x.size() / 2 / lanes * lanes;
        std::thread upper([&] { run(half, x.size()); });
        run(0, half);
        upper.join();
    } else {
        run(0, x.size());
    }
    return counts;
}

// A bound beyond every eigenvalue's magnitude: the Gerschgorin bound widened by its rounding.
double spectrumBound(const Matrix& m)
{
    return m.norm * (1.0 + 16.0 * eps);
}

struct Cut {
    double x;
    int count; // eigenvalues below x
};

// Brackets that each hold exactly one of the `wanted` lowest eigenvalues, from Sturm counts at the
// points (ascending, the first below the spectrum): an interval holding more is cut into as many
// pieces (at most one sweep's worth), until each holds one or is narrower than `resolution`. State k
// then lies alone in (lo[k], hi[k]]; a state of an interval that cannot be cut has NaN there.
void isolate(const Matrix& m, std::vector<double> points, int wanted, double resolution,
             std::vector<double>& lo, std::vector<double>& hi)
{
    const double top = spectrumBound(m); // no eigenvalue at or above
    std::vector<Cut> cuts;
    std::vector<int> counts = countsAt(m, points);
    for (std::size_t i = 0; i < points.size(); ++i)
        cuts.push_back({points[i], counts[i]});
    for (;;) {
        points.clear();
        if (cuts.back().count < wanted) // the points do not reach far enough: twice as far
            points.push_back(
                std::min(top, cuts.back().x + std::max(cuts.back().x - cuts.front().x, resolution)));
        for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
            const Cut& a = cuts[i];
            const Cut& b = cuts[i + 1];
            const int inside = b.count - a.count;
            if (a.count >= wanted || inside < 2 || !(b.x - a.x > resolution))
                continue;
            const int pieces = std::min(inside, lanes - 1) + 1;
            for (int p = 1; p < pieces; ++p) {
                const double x = a.x + (b.x - a.x) * p / pieces;
                if (x > a.x && x < b.x) // an interval a few ulps wide cannot be cut further
                    points.push_back(x);
            }
        }
        if (points.empty())
            break;
        counts = countsAt(m, points);
        for (std::size_t i = 0; i < points.size(); ++i)
            cuts.push_back({points[i], counts[i]});
        std::sort(cuts.begin(), cuts.end(), [](const Cut& a, const Cut& b) { return a.x < b.x; });
        if (cuts.back().x >= top && cuts.back().count < wanted)
            break;
    }
    lo.assign(static_cast<std::size_t>(wanted), std::numeric_limits<double>::quiet_NaN());
    hi = lo;
    for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
        const Cut& a = cuts[i];
        const Cut& b = cuts[i + 1];
        if (b.count - a.count == 1 && a.count >= 0 && a.count < wanted) {
            lo[static_cast<std::size_t>(a.count)] = a.x;
            hi[static_cast<std::size_t>(a.count)] = b.x;
        }
    }
}

} // namespace

bool isolateEigenpairs(int n, const double* d, const double* e, const double* weights,
                       const EigenpairTrack* track, int wanted, double* values, double* vectors,
                       double minRelativeGap)
{
    const auto size = static_cast<std::size_t>(n);
    if (n < 3 || wanted < 1 || wanted > n)
        return false;
    Matrix m;
    if (!prepare(m, n, d, e))
        return false;
    const double resolution = minRelativeGap * m.norm;
    // A track of this matrix's couplings gives each state a first-order estimate, and the points
    // halfway between the estimates isolate most states at the first count.
    const bool tracked = track && track->diagonal.size() == size && track->coupling.size() == size &&
                         !track->values.empty() && std::equal(e + 1, e + n, track->coupling.begin() + 1);
    const int estimated = tracked ? std::min(wanted, static_cast<int>(track->values.size())) : 0;
    std::vector<double> start(static_cast<std::size_t>(wanted), std::numeric_limits<double>::quiet_NaN());
    for (int k = 0; k < estimated; ++k)
        start[static_cast<std::size_t>(k)] =
            firstOrderEstimate(m, weights, *track, k, vectors + static_cast<std::size_t>(k) * size);
    std::vector<double> points{-spectrumBound(m)};
    for (int k = 1; k < estimated; ++k)
        points.push_back(0.5 * (start[static_cast<std::size_t>(k - 1)] + start[static_cast<std::size_t>(k)]));
    if (estimated >= 2) {
        const double last = start[static_cast<std::size_t>(estimated - 1)];
        points.push_back(last + 0.5 * (last - start[static_cast<std::size_t>(estimated - 2)]));
    } else {
        points.push_back(spectrumBound(m));
    }
    std::vector<double> finite;
    for (const double x : points)
        if (std::isfinite(x))
            finite.push_back(x);
    std::sort(finite.begin(), finite.end());
    std::vector<double> lo;
    std::vector<double> hi;
    isolate(m, finite, wanted, resolution, lo, hi);

    EigenpairTrack none;
    Inputs inputs{m, weights, tracked ? *track : none, 0.0, 0.0};
    inputs.lo = &lo;
    inputs.hi = &hi;
    inputs.start = &start;
    std::vector<int> unresolved;
    for (int k = 0; k < wanted; ++k)
        if (std::isnan(lo[static_cast<std::size_t>(k)]))
            unresolved.push_back(k);
    return solveStates(inputs, wanted, values, vectors, minRelativeGap, true, unresolved);
}

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
    if (!prepare(m, n, d, e))
        return false;
    double lowestShift = std::numeric_limits<double>::infinity();
    double highestShift = -lowestShift;
    for (std::size_t i = 0; i < size; ++i) {
        const double shift = d[i] - track.diagonal[i];
        lowestShift = std::min(lowestShift, shift);
        highestShift = std::max(highestShift, shift);
    }
    if (!std::isfinite(lowestShift) || !std::isfinite(highestShift))
        return false;
    // The tracked values carry their own rounding: the bracket is widened by it.
    const double slack = 16.0 * eps * m.norm;
    const Inputs inputs{m, weights, track, lowestShift - slack, highestShift + slack};
    return solveStates(inputs, wanted, values, vectors, minRelativeGap, resolveTogether);
}

} // namespace tervane
