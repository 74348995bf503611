// LAPACK is Fortran: every argument is passed by address, and each CHARACTER argument carries a
// hidden length appended after the visible ones (gfortran's convention, which the libraries we
// link follow). Declaring the lengths keeps the calls correct for callers compiled with
// sibling-call optimisation.
#include "engine/lapack.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <thread>
#include <vector>

extern "C" {
// OpenBLAS's thread count; weak, so that the reference LAPACK links as well (the symbol is then null).
void openblas_set_num_threads(int threads) __attribute__((weak));

void dstevr_(const char* jobz, const char* range, const int* n, double* d, double* e, const double* vl,
             const double* vu, const int* il, const int* iu, const double* abstol, int* m, double* w,
             double* z, const int* ldz, int* isuppz, double* work, const int* lwork, int* iwork,
             const int* liwork, int* info, std::size_t jobzLength, std::size_t rangeLength);

void dstemr_(const char* jobz, const char* range, const int* n, double* d, double* e, const double* vl,
             const double* vu, const int* il, const int* iu, int* m, double* w, double* z, const int* ldz,
             const int* nzc, int* isuppz, int* tryrac, double* work, const int* lwork, int* iwork,
             const int* liwork, int* info, std::size_t jobzLength, std::size_t rangeLength);

// The stages of dstemr, called one by one so that the vector stage (dlarrv) can be given an index
// range: dlarrr (does the matrix define its eigenvalues to high relative accuracy), dlarre (root
// representation and every eigenvalue), dlarrv (vectors), dlarrj (relative refinement).
double dlamch_(const char* cmach, std::size_t cmachLength);
double dlanst_(const char* norm, const int* n, const double* d, const double* e, std::size_t normLength);
void dlarrr_(const int* n, const double* d, const double* e, int* info);
void dlarre_(const char* range, const int* n, double* vl, double* vu, const int* il, const int* iu, double* d,
             double* e, double* e2, const double* rtol1, const double* rtol2, const double* spltol,
             int* nsplit, int* isplit, int* m, double* w, double* werr, double* wgap, int* iblock,
             int* indexw, double* gers, double* pivmin, double* work, int* iwork, int* info,
             std::size_t rangeLength);
void dlarrv_(const int* n, const double* vl, const double* vu, double* d, double* l, const double* pivmin,
             const int* isplit, const int* m, const int* dol, const int* dou, const double* minrgp,
             const double* rtol1, const double* rtol2, double* w, double* werr, double* wgap,
             const int* iblock, const int* indexw, const double* gers, double* z, const int* ldz, int* isuppz,
             double* work, int* iwork, int* info);
void dlarrj_(const int* n, const double* d, const double* e2, const int* ifirst, const int* ilast,
             const double* rtol, const int* offset, double* w, double* werr, double* work, int* iwork,
             const double* pivmin, const double* spdiam, int* info);

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
    result.withVectors = vectors ? result.found : 0;
    return result;
}

// dlarrv for the eigenvalue indices first..last (1-based) of what dlarre produced. Each call works on
// its own copies of everything dlarrv writes, so two can run at once on disjoint ranges of columns.
struct RootRepresentation {
    int n = 0;
    int m = 0;
    double vl = 0.0; // (vl, vu] holds the spectrum
    double vu = 0.0;
    double pivmin = 0.0;
    double rtol1 = 0.0;
    double rtol2 = 0.0;
    std::vector<double> d;    // root representation L D L^T: D
    std::vector<double> l;    // and L, the shift at the end of the block
    std::vector<double> w;    // eigenvalues relative to the shift
    std::vector<double> werr; // their uncertainties
    std::vector<double> wgap; // and gaps
    std::vector<int> isplit;  // block ends
    std::vector<int> iblock;  // block of each eigenvalue
    std::vector<int> indexw;  // index within its block
    std::vector<double> gers; // Gerschgorin intervals of the unshifted matrix
};

// dstemr's relative gap below which eigenvalues form a cluster.
constexpr double minRelativeGap = 1e-3;

// Whether eigenvalue j (0-based) is separated from eigenvalue j + 1 by a relative gap large enough
// that dlarrv starts a new cluster there: the representation tree below a cut at such a place is the
// same whether or not the eigenvalues beyond it are handed to dlarrv.
bool separatedAfter(const RootRepresentation& root, int j)
{
    const auto i = static_cast<std::size_t>(j);
    return root.wgap[i] >= minRelativeGap * std::fabs(root.w[i]);
}

// dlarrv on the eigenvalues first..first+count-1 (0-based) alone, as if they were all there were; both
// ends must be cluster boundaries. Their vectors go to z (n by count, column-major), their values
// shifted back to values[first..], their uncertainties to errors[first..]. Works on its own copies of
// everything dlarrv writes, so calls on disjoint ranges can run at once.
int vectorRange(const RootRepresentation& root, int first, int count, double* values, double* errors,
                double* z)
{
    const std::size_t size = static_cast<std::size_t>(root.n);
    const auto from = static_cast<std::size_t>(first);
    std::vector<double> d = root.d;
    std::vector<double> l = root.l;
    std::copy(root.werr.begin() + first, root.werr.begin() + first + count, errors + from);
    std::vector<double> wgap(root.wgap.begin() + first, root.wgap.end());
    std::vector<int> support(2 * static_cast<std::size_t>(count));
    std::vector<double> work(12 * size);
    std::vector<int> iwork(7 * size);
    std::copy(root.w.begin() + first, root.w.begin() + first + count, values + from);
    // The left end of the spectrum handed over: the upper end of the uncertainty of the eigenvalue
    // below, in the unshifted matrix.
    const double shift = root.l[size - 1];
    const double vl = first == 0 ? root.vl : root.w[from - 1] + shift + root.werr[from - 1];
    const int one = 1;
    int info = 0;
    dlarrv_(&root.n, &vl, &root.vu, d.data(), l.data(), &root.pivmin, root.isplit.data(), &count, &one,
            &count, &minRelativeGap, &root.rtol1, &root.rtol2, values + from, errors + from, wgap.data(),
            root.iblock.data() + first, root.indexw.data() + first, root.gers.data(), z, &root.n,
            support.data(), work.data(), iwork.data(), &info);
    return info;
}

std::atomic<bool> oneThreadEach{false};

// Below this many vectors a second thread costs more than it saves.
constexpr int vectorsPerThread = 64;

} // namespace

EigenResult tridiagonalEigenpairs(int n, const double* d, const double* e, double* values, double* vectors)
{
    return tridiagonal(n, d, e, values, vectors);
}

EigenResult tridiagonalLowestEigenpairs(int n, const double* d, const double* e, int wanted, double* values,
                                        const std::function<double*(int count)>& vectorsFor)
{
    const auto complete = [&] { return tridiagonal(n, d, e, values, vectorsFor(n)); };
    wanted = std::clamp(wanted, 0, std::max(n, 0));
    if (n < 3 || wanted >= n)
        return complete();
    const auto size = static_cast<std::size_t>(n);
    if (!allFinite(d, size) || !allFinite(e + 1, size - 1))
        return complete();

    // The steps of dstemr as dstevr calls it for every eigenpair (relative accuracy tried, default
    // tolerances), so that with every index wanted the result is the same to the bit.
    const double eps = dlamch_("Precision", 9);
    const double safeMinimum = dlamch_("Safe minimum", 12);
    const double smallNumber = safeMinimum / eps;
    const double rmin = std::sqrt(smallNumber);
    const double rmax = std::min(std::sqrt(1.0 / smallNumber), 1.0 / std::sqrt(std::sqrt(safeMinimum)));
    RootRepresentation root;
    root.n = n;
    root.d.assign(d, d + size);
    root.l.assign(size, 0.0);
    for (std::size_t i = 1; i < size; ++i)
        root.l[i - 1] = e[i];
    const double norm = dlanst_("M", &n, root.d.data(), root.l.data(), 1);
    if (!(norm >= rmin && norm <= rmax)) // would be scaled first: not worth a path of its own
        return complete();

    int info = 0;
    dlarrr_(&n, root.d.data(), root.l.data(), &info);
    const bool relative = info == 0;
    const double splitTolerance = relative ? eps : -eps;
    const std::vector<double> original = root.d;
    std::vector<double> offSquares(size, 0.0);
    for (std::size_t j = 0; j + 1 < size; ++j)
        offSquares[j] = root.l[j] * root.l[j];
    root.rtol1 = std::sqrt(eps);
    root.rtol2 = std::max(std::sqrt(eps) * 5e-3, 4 * eps);
    root.w.assign(size, 0.0);
    root.werr.assign(size, 0.0);
    root.wgap.assign(size, 0.0);
    root.isplit.assign(size, 0);
    root.iblock.assign(size, 0);
    root.indexw.assign(size, 0);
    root.gers.assign(2 * size, 0.0);
    int blocks = 0;
    {
        const int il = 0;
        const int iu = 0;
        std::vector<double> work(6 * size);
        std::vector<int> iwork(5 * size);
        dlarre_("A", &n, &root.vl, &root.vu, &il, &iu, root.d.data(), root.l.data(), offSquares.data(),
                &root.rtol1, &root.rtol2, &splitTolerance, &blocks, root.isplit.data(), &root.m,
                root.w.data(), root.werr.data(), root.wgap.data(), root.iblock.data(), root.indexw.data(),
                root.gers.data(), &root.pivmin, work.data(), iwork.data(), &info, 1);
    }
    // A matrix that splits has its eigenvalues ordered by block, not overall: the lowest indices are
    // not the lowest values. Such matrices, and any failure, take the whole computation.
    if (info != 0 || blocks != 1 || root.m != n)
        return complete();

    // The wanted range ends at a cluster boundary (a few more vectors if need be), and is computed in
    // two parts cut at one when it is long enough: each part then builds exactly the representation
    // tree the whole spectrum would, and its vectors are those of the complete solve.
    int cut = wanted;
    while (cut < n && (cut == 0 || !separatedAfter(root, cut - 1)))
        ++cut;
    if (cut >= n)
        return complete();
    wanted = cut;
    // The values beyond are shifted back as dlarrv shifts those it is given.
    const double shift = root.l[size - 1];
    for (std::size_t j = static_cast<std::size_t>(wanted); j < size; ++j)
        values[j] = root.w[j] + shift;
    int lower = std::max(wanted / 2, 1);
    while (lower < wanted && !separatedAfter(root, lower - 1))
        ++lower;
    const bool split = lower >= vectorsPerThread && wanted - lower >= vectorsPerThread &&
                       std::thread::hardware_concurrency() >= 2 && !oneThreadPerSolve();
    std::vector<double> errors(size);
    double* const vectors = vectorsFor(wanted);
    if (!split) {
        info = vectorRange(root, 0, wanted, values, errors.data(), vectors);
    } else {
        int upperInfo = 0;
        std::thread upper([&] {
            upperInfo = vectorRange(root, lower, wanted - lower, values, errors.data(),
                                    vectors + static_cast<std::size_t>(lower) * size);
        });
        info = vectorRange(root, 0, lower, values, errors.data(), vectors);
        upper.join();
        if (info == 0)
            info = upperInfo;
    }
    if (info != 0)
        return complete();

    if (relative) {
        // The wanted eigenvalues refined to relative accuracy against the original matrix, as dstemr
        // refines all of them.
        const int first = 1;
        const int offset = 0;
        const double tolerance = 4 * eps;
        std::vector<double> work(2 * size);
        std::vector<int> iwork(2 * size);
        dlarrj_(&n, original.data(), offSquares.data(), &first, &wanted, &tolerance, &offset, values,
                errors.data(), work.data(), iwork.data(), &root.pivmin, &norm, &info);
        if (info != 0)
            return complete();
    }
    EigenResult result;
    result.found = n;
    result.withVectors = wanted;
    return result;
}

EigenResult tridiagonalLowestOnly(int n, const double* d, const double* e, int wanted, double* values,
                                  const std::function<double*(int count)>& vectorsFor)
{
    EigenResult result;
    wanted = std::clamp(wanted, 1, std::max(n, 1));
    if (n < 1)
        return result;
    const auto size = static_cast<std::size_t>(n);
    if (!allFinite(d, size) || !allFinite(e + 1, size - 1)) {
        result.info = notFiniteInput;
        return result;
    }
    std::vector<double> diagonal(d, d + size);
    std::vector<double> offDiagonal(size, 0.0); // dstemr: E(1..n-1), E(n) is work space
    for (std::size_t i = 1; i < size; ++i)
        offDiagonal[i - 1] = e[i];
    const double vl = 0.0;
    const double vu = 0.0;
    const int il = 1;
    const int iu = wanted;
    const int ld = n;
    int m = 0;
    int tryRelative = 1;
    int info = 0;
    std::vector<int> support(2 * static_cast<std::size_t>(wanted));
    double workSize = 0.0;
    int iworkSize = 0;
    const int query = -1;
    dstemr_("V", "I", &n, diagonal.data(), offDiagonal.data(), &vl, &vu, &il, &iu, &m, values, nullptr, &ld,
            &wanted, support.data(), &tryRelative, &workSize, &query, &iworkSize, &query, &info, 1, 1);
    if (info != 0) {
        result.info = info;
        return result;
    }
    const int lwork = std::max(static_cast<int>(workSize), 18 * n);
    const int liwork = std::max(iworkSize, 10 * n);
    std::vector<double> work(static_cast<std::size_t>(lwork));
    std::vector<int> iwork(static_cast<std::size_t>(liwork));
    double* const z = vectorsFor(wanted);
    tryRelative = 1;
    dstemr_("V", "I", &n, diagonal.data(), offDiagonal.data(), &vl, &vu, &il, &iu, &m, values, z, &ld,
            &wanted, support.data(), &tryRelative, work.data(), &lwork, iwork.data(), &liwork, &info, 1, 1);
    result.info = info;
    result.found = info == 0 ? std::clamp(m, 0, wanted) : 0;
    result.withVectors = result.found;
    return result;
}

int tridiagonalCountBelow(int n, const double* d, const double* e, double x)
{
    if (n < 1)
        return 0;
    if (std::isnan(x))
        return n;
    // The smallest pivot allowed, as LAPACK's bisection takes it: a zero pivot becomes a tiny negative.
    double largestSquare = 1.0;
    for (int i = 1; i < n; ++i)
        largestSquare = std::max(largestSquare, e[i] * e[i]);
    const double pivmin = std::numeric_limits<double>::min() * largestSquare;
    int count = 0;
    double pivot = 0.0;
    for (int i = 0; i < n; ++i) {
        pivot = i == 0 ? d[0] - x : (d[i] - x) - e[i] * e[i] / pivot;
        if (std::isnan(pivot))
            return n;
        if (std::fabs(pivot) < pivmin)
            pivot = -pivmin;
        if (pivot < 0.0)
            ++count;
    }
    return count;
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
    result.withVectors = result.found;
    return result;
}

void useOneThreadPerSolve()
{
    oneThreadEach = true;
    if (openblas_set_num_threads)
        openblas_set_num_threads(1);
}

bool oneThreadPerSolve()
{
    return oneThreadEach;
}

} // namespace tervane::lapack
