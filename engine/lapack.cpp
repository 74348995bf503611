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

// OpenBLAS's own threads: none of the routines here gains from them (the engine runs its own), and
// idle they spin. Fewer threads alone leaves the pool OpenBLAS started when it loaded spinning for a
// while (a tenth of a second or so, the whole of a small solve, on a core the engine's threads need),
// so the pool is shut down too; with one thread OpenBLAS never starts it again. Weak, so that another
// LAPACK links as well.
extern "C" void openblas_set_num_threads(int threads) __attribute__((weak));
extern "C" int blas_thread_shutdown_() __attribute__((weak));

namespace tervane::lapack {

namespace {

struct OneBlasThread {
    OneBlasThread()
    {
        if (openblas_set_num_threads)
            openblas_set_num_threads(1);
        if (openblas_set_num_threads && blas_thread_shutdown_)
            blas_thread_shutdown_();
    }
} oneBlasThread;

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

// Below this many vectors a second thread costs more than it saves.
constexpr int vectorsPerThread = 64;
// A cluster of vectors longer than this is not held at once.
constexpr double largestClusterBytes = 192.0 * 1024 * 1024;
// Below this many states a part of the spectrum is not worth a thread of its own.
constexpr int statesPerPart = 32;
// Grid points per wanted state below which all eigenvalues (dqds) cost less than the wanted ones by
// bisection: about 8 on one core, measured on 2,050 to 32,800 points.
constexpr int wholeSpectrumPerState = 8;

std::atomic<int> threadLimit{0}; // 0: as many as the hardware has

// Whether the `wanted` lowest eigenpairs of an n by n matrix cost less from all eigenvalues (dqds,
// O(n^2)) than by bisection for the wanted ones alone (O(n) each, some fifty times over).
bool wholeSpectrumCheaper(int n, int wanted)
{
    return n <= wholeSpectrumPerState * wanted;
}

} // namespace

EigenResult tridiagonalEigenpairs(int n, const double* d, const double* e, double* values, double* vectors)
{
    return tridiagonal(n, d, e, values, vectors);
}

namespace {

// The root representation of dstemr's steps (relative accuracy tried, default tolerances) with every
// eigenvalue (`to` = 0) or those of indices from..to-1 (0-based): dlarrr, then dlarre. Also what the
// refinement of dlarrj needs: the original diagonal, the squared couplings, whether the relative accuracy
// holds and the norm. False when the matrix would be scaled first, splits into blocks or dlarre fails.
struct Refinement {
    std::vector<double> original;
    std::vector<double> offSquares;
    bool relative = false;
    double norm = 0.0;
};

// The refinement data of the matrix, and whether its stages can be taken one by one at all (false
// when it would be scaled first).
bool prepareRefinement(int n, const double* d, const double* e, Refinement& refinement)
{
    const auto size = static_cast<std::size_t>(n);
    const double eps = dlamch_("Precision", 9);
    const double safeMinimum = dlamch_("Safe minimum", 12);
    const double smallNumber = safeMinimum / eps;
    const double rmin = std::sqrt(smallNumber);
    const double rmax = std::min(std::sqrt(1.0 / smallNumber), 1.0 / std::sqrt(std::sqrt(safeMinimum)));
    refinement.original.assign(d, d + size);
    std::vector<double> l(size, 0.0);
    for (std::size_t i = 1; i < size; ++i)
        l[i - 1] = e[i];
    refinement.norm = dlanst_("M", &n, refinement.original.data(), l.data(), 1);
    if (!(refinement.norm >= rmin && refinement.norm <= rmax))
        return false;
    int info = 0;
    dlarrr_(&n, refinement.original.data(), l.data(), &info);
    refinement.relative = info == 0;
    refinement.offSquares.assign(size, 0.0);
    for (std::size_t j = 0; j + 1 < size; ++j)
        refinement.offSquares[j] = l[j] * l[j];
    return true;
}

// The root representation of the matrix for every eigenvalue (`to` = 0) or those of indices
// from..to-1 (0-based), as dlarre builds it in dstemr; false when it fails or the matrix splits.
bool buildRoot(int n, const double* d, const double* e, int from, int to, const Refinement& refinement,
               RootRepresentation& root)
{
    const auto size = static_cast<std::size_t>(n);
    const double eps = dlamch_("Precision", 9);
    root.n = n;
    root.d.assign(d, d + size);
    root.l.assign(size, 0.0);
    for (std::size_t i = 1; i < size; ++i)
        root.l[i - 1] = e[i];
    const double splitTolerance = refinement.relative ? eps : -eps;
    std::vector<double> offSquares = refinement.offSquares; // dlarre writes it
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
    int info = 0;
    const bool range = to > 0;
    const int il = range ? from + 1 : 0;
    const int iu = range ? to : 0;
    std::vector<double> work(6 * size);
    std::vector<int> iwork(5 * size);
    dlarre_(range ? "I" : "A", &n, &root.vl, &root.vu, &il, &iu, root.d.data(), root.l.data(),
            offSquares.data(), &root.rtol1, &root.rtol2, &splitTolerance, &blocks, root.isplit.data(),
            &root.m, root.w.data(), root.werr.data(), root.wgap.data(), root.iblock.data(),
            root.indexw.data(), root.gers.data(), &root.pivmin, work.data(), iwork.data(), &info, 1);
    // A matrix that splits has its eigenvalues ordered by block, not overall: the lowest indices are
    // not the lowest values.
    return info == 0 && blocks == 1 && root.m == (range ? to - from : n);
}

// The eigenvalues first..first+count-1 refined to relative accuracy against the original matrix, as
// dstemr refines them; true when nothing needed it or it succeeded.
bool refine(const RootRepresentation& root, const Refinement& refinement, int first, int count,
            double* values, double* errors)
{
    if (!refinement.relative)
        return true;
    const int n = root.n;
    const int ifirst = first + 1;
    const int ilast = first + count;
    const int offset = first;
    const double tolerance = 4 * dlamch_("Precision", 9);
    std::vector<double> work(2 * static_cast<std::size_t>(n));
    std::vector<int> iwork(2 * static_cast<std::size_t>(n));
    int info = 0;
    dlarrj_(&n, refinement.original.data(), refinement.offSquares.data(), &ifirst, &ilast, &tolerance,
            &offset, values + first, errors + first, work.data(), iwork.data(), &root.pivmin,
            &refinement.norm, &info);
    return info == 0;
}

// The first cluster boundary at or after `index` (the index one past it), or `end`.
int clusterEnd(const RootRepresentation& root, int index, int end)
{
    while (index < end && (index == 0 || !separatedAfter(root, index - 1)))
        ++index;
    return index;
}

} // namespace

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

    // The steps of dstemr as dstevr calls it for every eigenpair, so that with every index wanted the
    // result is the same to the bit.
    RootRepresentation root;
    Refinement refinement;
    if (!prepareRefinement(n, d, e, refinement) || !buildRoot(n, d, e, 0, 0, refinement, root))
        return complete();

    // The wanted range ends at a cluster boundary (a few more vectors if need be), and is computed in
    // two parts cut at one when it is long enough: each part then builds exactly the representation
    // tree the whole spectrum would, and its vectors are those of the complete solve.
    const int cut = clusterEnd(root, wanted, n);
    if (cut >= n)
        return complete();
    wanted = cut;
    // The values beyond are shifted back as dlarrv shifts those it is given.
    const double shift = root.l[size - 1];
    for (std::size_t j = static_cast<std::size_t>(wanted); j < size; ++j)
        values[j] = root.w[j] + shift;
    const int lower = clusterEnd(root, std::max(wanted / 2, 1), wanted);
    const bool split =
        lower >= vectorsPerThread && wanted - lower >= vectorsPerThread && threadsPerSolve() >= 2;
    std::vector<double> errors(size);
    double* const vectors = vectorsFor(wanted);
    int info = 0;
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
    if (info != 0 || !refine(root, refinement, 0, wanted, values, errors.data()))
        return complete();
    EigenResult result;
    result.found = n;
    result.withVectors = wanted;
    return result;
}

EigenResult
tridiagonalEigenpairBlocks(int n, const double* d, const double* e, int wanted, int block, bool twoParts,
                           double* values,
                           const std::function<double*(int part, int first, int count)>& bufferFor,
                           const std::function<void(int part, int first, int count)>& use)
{
    wanted = std::clamp(wanted, 0, std::max(n, 0));
    EigenResult result;
    if (n < 1 || wanted < 1)
        return result;
    const auto size = static_cast<std::size_t>(n);
    if (!allFinite(d, size) || !allFinite(e + 1, size - 1)) {
        result.info = notFiniteInput;
        return result;
    }
    const bool all = wanted >= n;
    // The eigenvalues from the whole spectrum (dqds, O(n^2)) when that costs less than finding the
    // wanted ones alone by bisection (O(n) per value, some fifty times over).
    const bool whole = all || wholeSpectrumCheaper(n, wanted);
    RootRepresentation roots[2];
    Refinement refinement;
    int cut = wanted; // part 1 starts here
    bool built = n >= 3;
    built = built && prepareRefinement(n, d, e, refinement);
    if (built && whole) {
        built = buildRoot(n, d, e, 0, 0, refinement, roots[0]);
        if (built) {
            wanted = clusterEnd(roots[0], wanted, n);
            cut = twoParts && wanted >= 2 * statesPerPart ? clusterEnd(roots[0], wanted / 2, wanted) : wanted;
            // The values beyond the wanted ones are shifted back as dlarrv shifts those it is given.
            const double shift = roots[0].l[size - 1];
            for (std::size_t j = static_cast<std::size_t>(wanted); j < size; ++j)
                values[j] = roots[0].w[j] + shift;
        }
    } else if (built) {
        cut = twoParts && wanted >= 2 * statesPerPart ? wanted / 2 : wanted;
    }
    if (!built) {
        // The one case that needs every vector at once: a matrix the stages cannot take on their own.
        bufferFor(-1, 0, all ? n : wanted);
        result = all ? tridiagonal(n, d, e, values, bufferFor(0, 0, n))
                     : tridiagonalLowestOnly(n, d, e, wanted, values,
                                             [&bufferFor](int count) { return bufferFor(0, 0, count); });
        if (result.ok() && result.withVectors > 0)
            use(0, 0, result.withVectors);
        return result;
    }

    bufferFor(-1, 0, wanted);
    std::vector<double> errors(size);
    block = std::max(block, 1);
    int infos[2] = {0, 0};
    int done[2] = {0, 0};
    // Part p: the states from..to-1, each block handed over when it is done.
    const auto solvePart = [&](int part, int from, int to) {
        RootRepresentation& root = roots[whole ? 0 : part];
        if (!whole && !buildRoot(n, d, e, from, to, refinement, root)) {
            infos[part] = -1;
            return;
        }
        const int base = whole ? 0 : from; // index of the root's first value
        for (int first = from; first < to;) {
            const int end = base + clusterEnd(root, std::min(first + block, to) - base, to - base);
            const int count = end - first;
            if (count > 2 * block && static_cast<double>(count) * n * sizeof(double) > largestClusterBytes) {
                // A cluster too long to hold (the dense top of a fine grid's spectrum) is taken a block at
                // a time, each by bisection on its own: the same states to rounding, each vector up to
                // its sign (which is arbitrary), and the memory of a block.
                std::vector<double> own(size);
                for (int start = first; start < end; start += block) {
                    const int pieceCount = std::min(block, end - start);
                    const EigenResult piece =
                        tridiagonalIndexRange(n, d, e, start, pieceCount, own.data(),
                                              [&](int columns) { return bufferFor(part, start, columns); });
                    if (!piece.ok() || piece.found != pieceCount) {
                        infos[part] = piece.info != 0 ? piece.info : -1;
                        return;
                    }
                    std::copy(own.begin(), own.begin() + pieceCount, values + start);
                    use(part, start, pieceCount);
                    done[part] = start + pieceCount - from;
                }
                first = end;
                continue;
            }
            const int info = vectorRange(root, first - base, count, values + base, errors.data() + base,
                                         bufferFor(part, first, count));
            if (info != 0 || !refine(root, refinement, first, count, values, errors.data())) {
                infos[part] = info != 0 ? info : -1;
                return;
            }
            use(part, first, count);
            done[part] = end - from;
            first = end;
        }
    };
    if (cut < wanted && threadsPerSolve() >= 2) {
        std::thread upper([&] { solvePart(1, cut, wanted); });
        solvePart(0, 0, cut);
        upper.join();
    } else {
        solvePart(0, 0, cut);
        if (cut < wanted)
            solvePart(1, cut, wanted);
    }
    result.info = infos[0] != 0 ? infos[0] : infos[1];
    result.found = result.withVectors = result.info == 0 ? wanted : done[0];
    return result;
}

EigenResult tridiagonalIndexRange(int n, const double* d, const double* e, int first, int wanted,
                                  double* values, const std::function<double*(int count)>& vectorsFor)
{
    EigenResult result;
    first = std::clamp(first, 0, std::max(n - 1, 0));
    wanted = std::clamp(wanted, 1, std::max(n - first, 1));
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
    const int il = first + 1;
    const int iu = first + wanted;
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

EigenResult tridiagonalLowestOnly(int n, const double* d, const double* e, int wanted, double* values,
                                  const std::function<double*(int count)>& vectorsFor)
{
    return tridiagonalIndexRange(n, d, e, 0, wanted, values, vectorsFor);
}

void setThreadsPerSolve(int threads)
{
    threadLimit.store(std::max(threads, 0));
}

int threadsPerSolve()
{
    const int limit = threadLimit.load();
    const int hardware = static_cast<int>(std::thread::hardware_concurrency());
    return limit > 0 ? limit : std::max(hardware, 1);
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

} // namespace tervane::lapack
