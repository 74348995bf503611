// LAPACK is Fortran: every argument is passed by address, and each CHARACTER argument carries a
// hidden length appended after the visible ones (gfortran's convention, which the libraries we
// link follow). Declaring the lengths keeps the calls correct for callers compiled with
// sibling-call optimisation.
#include "engine/lapack.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

extern "C" {
void dstevr_(const char* jobz, const char* range, const int* n, double* d, double* e, const double* vl,
             const double* vu, const int* il, const int* iu, const double* abstol, int* m, double* w,
             double* z, const int* ldz, int* isuppz, double* work, const int* lwork, int* iwork,
             const int* liwork, int* info, std::size_t jobzLength, std::size_t rangeLength);

void dsyevx_(const char* jobz, const char* range, const char* uplo, const int* n, double* a, const int* lda,
             const double* vl, const double* vu, const int* il, const int* iu, const double* abstol, int* m,
             double* w, double* z, const int* ldz, double* work, const int* lwork, int* iwork, int* ifail,
             int* info, std::size_t jobzLength, std::size_t rangeLength, std::size_t uploLength);
}

namespace tervane::lapack {

namespace {

// A negative absolute tolerance selects the routines' own default (eps times the matrix norm).
constexpr double defaultTolerance = -1.0;

// INFO for an input the routines are not given: an entry that is not a finite number. The MRRR code
// can loop without end on a NaN, so such a matrix never reaches LAPACK; nothing is computed.
constexpr int notFiniteInput = -1000;

bool allFinite(const double* values, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        if (!std::isfinite(values[i]))
            return false;
    return true;
}

// dstevr with every eigenvalue, and the vectors into `vectors` when it is not null.
EigenResult tridiagonal(int n, const double* d, const double* e, double* values, double* vectors)
{
    EigenResult result;
    if (n < 1)
        return result;
    const auto size = static_cast<std::size_t>(n);
    if (!allFinite(d, size) || !allFinite(e + 1, size - 1)) {
        result.info = notFiniteInput;
        return result;
    }
    const char* job = vectors ? "V" : "N";
    double unused = 0.0;
    double* z = vectors ? vectors : &unused;
    const int ld = vectors ? n : 1;
    // The routine may scale its inputs in place; it gets copies. Its off-diagonal runs from 0.
    std::vector<double> diagonal(d, d + size);
    std::vector<double> offDiagonal(size, 0.0);
    for (std::size_t i = 1; i < size; ++i)
        offDiagonal[i - 1] = e[i];
    std::vector<int> support(2 * size);
    const double vl = 0.0; // not read when every eigenvalue is requested
    const double vu = 0.0;
    const int il = 0;
    const int iu = 0;
    int m = 0;
    int info = 0;

    // Workspace query first: the routine says how much it wants.
    int lwork = -1;
    int liwork = -1;
    double workSize = 0.0;
    int iworkSize = 0;
    dstevr_(job, "A", &n, diagonal.data(), offDiagonal.data(), &vl, &vu, &il, &iu, &defaultTolerance, &m,
            values, z, &ld, support.data(), &workSize, &lwork, &iworkSize, &liwork, &info, 1, 1);
    if (info != 0) {
        result.info = info;
        return result;
    }
    lwork = std::max(static_cast<int>(workSize), 20 * n);
    liwork = std::max(iworkSize, 10 * n);
    std::vector<double> work(static_cast<std::size_t>(lwork));
    std::vector<int> iwork(static_cast<std::size_t>(liwork));
    dstevr_(job, "A", &n, diagonal.data(), offDiagonal.data(), &vl, &vu, &il, &iu, &defaultTolerance, &m,
            values, z, &ld, support.data(), work.data(), &lwork, iwork.data(), &liwork, &info, 1, 1);
    result.info = info;
    result.found = std::clamp(m, 0, n);
    return result;
}

} // namespace

EigenResult tridiagonalEigenpairs(int n, const double* d, const double* e, double* values, double* vectors)
{
    return tridiagonal(n, d, e, values, vectors);
}

EigenResult tridiagonalEigenvalues(int n, const double* d, const double* e, double* values)
{
    return tridiagonal(n, d, e, values, nullptr);
}

EigenResult denseEigenpairs(int n, double* a, double lower, double upper, double* values, double* vectors)
{
    EigenResult result;
    if (n < 1)
        return result;
    const auto size = static_cast<std::size_t>(n);
    if (!allFinite(a, size * size)) {
        result.info = notFiniteInput;
        return result;
    }
    const int ld = n;
    const int il = 0; // not read when every eigenpair is requested
    const int iu = 0;
    const int lwork = 10 * n;
    std::vector<double> work(10 * size);
    std::vector<int> iwork(5 * size);
    std::vector<int> failed(size);
    int m = 0;
    int info = 0;
    dsyevx_("V", "A", "U", &n, a, &ld, &lower, &upper, &il, &iu, &defaultTolerance, &m, values, vectors, &ld,
            work.data(), &lwork, iwork.data(), failed.data(), &info, 1, 1, 1);
    result.info = info;
    result.found = std::clamp(m, 0, n);
    return result;
}

} // namespace tervane::lapack
