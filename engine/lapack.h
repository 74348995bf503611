#pragma once

#include <functional>

// The one door to LAPACK: each routine the engine uses is called here, and its INFO comes back as
// a result instead of a status the caller must know how to read.
namespace tervane::lapack {

// A matrix with an entry that is not a finite number is not handed to LAPACK: the result then has a
// non-zero info and nothing found.
struct [[nodiscard]] EigenResult {
    int info = 0;  // LAPACK's INFO: 0 on success
    int found = 0; // eigenpairs returned (M); the first `found` values and vectors are valid
    // Of those, how many lead with their vector; the rest have their value only (their columns of the
    // vector table are not written). Every call but tridiagonalLowestEigenpairs returns all vectors.
    int withVectors = 0;
    bool ok() const { return info == 0; }
};

// All eigenpairs of the symmetric tridiagonal matrix with diagonal d[0..n-1] and off-diagonal
// e[1..n-1] (e[i] couples rows i-1 and i; e[0] is not read), by the MRRR algorithm: O(n^2) time.
// values: n entries, ascending. vectors: n by n, column-major, column k the unit eigenvector of
// values[k]. n >= 1.
EigenResult tridiagonalEigenpairs(int n, const double* d, const double* e, double* values, double* vectors);

// Every eigenvalue of the same matrix (ascending), and the unit vectors of at least the `wanted`
// lowest, in the leading columns of `vectors` (n by n, column-major); withVectors says how many. The
// MRRR algorithm with its vector stage handed only the eigenvalues up to a cluster boundary at or
// after `wanted` (and split there over two threads at another boundary when there are enough of
// them): every cluster keeps the representation it has in the complete solve, so the values and
// vectors are those of tridiagonalEigenpairs. Falls back to the complete solve when that is not
// possible (a matrix that splits into blocks or needs scaling, no boundary, an internal failure).
// wanted is clamped to 0..n.
// The vectors go to the table `vectorsFor(count)` returns, with room for `count` columns: the wanted
// ones and those up to the cluster boundary, or n when the complete solve is taken.
EigenResult tridiagonalLowestEigenpairs(int n, const double* d, const double* e, int wanted, double* values,
                                        const std::function<double*(int count)>& vectorsFor);

// Only the `wanted` lowest eigenpairs of the same matrix (dstemr on that index range), the vectors in
// the table vectorsFor(wanted) returns: O(n wanted) time and memory, the same pairs to rounding as the
// complete solve but not to the bit. found = withVectors = wanted on success.
EigenResult tridiagonalLowestOnly(int n, const double* d, const double* e, int wanted, double* values,
                                  const std::function<double*(int count)>& vectorsFor);
// The same for the eigenpairs of indices first..first+wanted-1 (0-based), values[0..wanted-1] (values
// needs n entries all the same: the routine works in them).
EigenResult tridiagonalIndexRange(int n, const double* d, const double* e, int first, int wanted,
                                  double* values, const std::function<double*(int count)>& vectorsFor);

// The `wanted` lowest eigenpairs of the same matrix (every one when wanted >= n), the vectors a block
// at a time. With `twoParts` the states are split into two parts at a gap of the spectrum, solved at
// once on two threads (one after the other on one): part 1 lies above part 0, and which states a part
// holds depends on the matrix alone, not on the threads. First bufferFor(-1, 0, total) says how many
// states will come (at least `wanted`: the last block ends at a gap). Then blocks of about `block`
// vectors, each cut where the spectrum has a gap, go to the table bufferFor(part, first, count)
// returns (n by count, column-major), and use(part, first, count) is called once it holds the unit
// vectors of values[first..first+count-1], in ascending order within a part, concurrently for the two
// parts. With every eigenpair in one part and one block the values and vectors are those of
// tridiagonalEigenpairs, to the bit; where a block or part begins, the first vectors may differ from
// those in their last bits (their left gap is measured from the cut); with fewer, the pairs are those
// of tridiagonalLowestOnly to rounding. A cluster of more than 192 MiB of vectors (the dense top of a
// fine grid's spectrum) is solved a block at a time by bisection: the same states to rounding, each
// vector up to its sign. A matrix the stages of the algorithm cannot take one by one
// (it splits into blocks or needs scaling) is solved in one piece, one block of part 0. On a failure
// found and withVectors say how many pairs of part 0 were handed over.
EigenResult
tridiagonalEigenpairBlocks(int n, const double* d, const double* e, int wanted, int block, bool twoParts,
                           double* values,
                           const std::function<double*(int part, int first, int count)>& bufferFor,
                           const std::function<void(int part, int first, int count)>& use);

// At most this many threads for one solve (0, the default: one per core). A program that runs several
// solves at once (a sweep's jobs) sets 1: every solve then keeps to the thread that runs it. The
// results are the same to the bit either way.
void setThreadsPerSolve(int threads);
// The threads one solve may use now.
int threadsPerSolve();

// Number of eigenvalues below x of the same matrix: the negative pivots of the LDL^T factorisation of
// T - x I (Sturm count), O(n). Exact for a matrix within a few ulps of T; a value that is not a finite
// number counts as n.
int tridiagonalCountBelow(int n, const double* d, const double* e, double x);

// All eigenpairs of the dense symmetric matrix `a` (n by n, column-major, upper triangle read and
// destroyed) with the expert driver, as tridiagonalEigenpairs but O(n^3). lower and upper bound the
// interval the driver is handed; with every eigenpair requested it does not restrict to them.
EigenResult denseEigenpairs(int n, double* a, double lower, double upper, double* values, double* vectors);

} // namespace tervane::lapack
