#pragma once

// The one door to LAPACK: each routine the engine uses is called here, and its INFO comes back as
// a result instead of a status the caller must know how to read.
namespace tervane::lapack {

// A matrix with an entry that is not a finite number is not handed to LAPACK: the result then has a
// non-zero info and nothing found.
struct EigenResult {
    int info = 0;  // LAPACK's INFO: 0 on success
    int found = 0; // eigenpairs returned (M); the first `found` values and vectors are valid
    bool ok() const { return info == 0; }
};

// All eigenpairs of the symmetric tridiagonal matrix with diagonal d[0..n-1] and off-diagonal
// e[1..n-1] (e[i] couples rows i-1 and i; e[0] is not read), by the MRRR algorithm: O(n^2) time.
// values: n entries, ascending. vectors: n by n, column-major, column k the unit eigenvector of
// values[k]. n >= 1.
EigenResult tridiagonalEigenpairs(int n, const double* d, const double* e, double* values, double* vectors);

// The eigenvalues alone of the same matrix (n entries, ascending), without vectors: O(n^2) with a
// small constant.
EigenResult tridiagonalEigenvalues(int n, const double* d, const double* e, double* values);

// All eigenpairs of the dense symmetric matrix `a` (n by n, column-major, upper triangle read and
// destroyed) with the expert driver, as tridiagonalEigenpairs but O(n^3). lower and upper bound the
// interval the driver is handed; with every eigenpair requested it does not restrict to them.
EigenResult denseEigenpairs(int n, double* a, double lower, double upper, double* values, double* vectors);

} // namespace tervane::lapack
