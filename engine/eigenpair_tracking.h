#pragma once

#include <vector>

namespace tervane {

// The lowest eigenvalues of one carrier kind's matrix, kept from one Schroedinger pass to the next.
// Between passes only the potential changes, that is only the diagonal: the eigenvalues move by at
// most the largest change of a diagonal entry (Weyl), and to first order by the change averaged over
// the old state. Each pass can therefore start every eigenvalue next to its answer.
struct EigenpairTrack {
    std::vector<double> diagonal; // the matrix the values belong to, J
    std::vector<double> coupling; // its couplings; coupling[i] joins rows i-1 and i, coupling[0] unused
    std::vector<double> values;   // its lowest eigenvalues, J, ascending

    void clear() { values.clear(); }
};

// The `wanted` lowest eigenpairs of the symmetric tridiagonal matrix (d, e) (same layout as the
// track's) found from the track by Rayleigh quotient iteration on twisted factorisations, safeguarded
// by Sturm counts, on two threads. On entry the first `wanted` columns of `vectors` (n by n,
// column-major) hold the tracked states as psi, which is turned into the weighted unknowns by
// `weights`; on success they hold the new unit eigenvectors and values[0..wanted-1] the eigenvalues.
//
// Returns false, with `values` and `vectors` left meaningless, when the track does not apply (other
// size or couplings, too few values) or any state cannot be certified: every eigenvalue is checked by
// two Sturm counts to be the one of its index, and every one must be separated from its neighbours by
// at least minRelativeGap times the matrix norm: a vector's error is about 1e-15 of the norm over its
// gap, so 1e-10 per component with the default. The caller then solves from scratch. With
// `resolveTogether` a state that cannot be followed (one that shares its value with a neighbour to
// the last bit, as two equal wells far apart do) is solved from scratch together with two neighbours
// on either side instead, the group's vectors orthogonal whatever their gaps.
bool followEigenpairs(int n, const double* d, const double* e, const double* weights,
                      const EigenpairTrack& track, int wanted, double* values, double* vectors,
                      double minRelativeGap = 1e-6, bool resolveTogether = false);

// The `wanted` lowest eigenpairs of the same matrix, each eigenvalue first isolated between two Sturm
// counts, then found by Rayleigh quotient iteration inside its interval, on two threads; a value whose
// residual keeps it inside its interval is proven without further counts. With a track of this
// matrix's couplings (the tracked states as psi in the first columns of `vectors`, as above) the
// counts are taken halfway between the states' first-order estimates, which isolates nearly all at
// once; without one (null, or one that does not fit) the spectrum is cut from its Gerschgorin bounds.
// States closer than minRelativeGap times the norm are solved from scratch together. Returns false
// when a state cannot be certified; the caller then solves from scratch.
bool isolateEigenpairs(int n, const double* d, const double* e, const double* weights,
                       const EigenpairTrack* track, int wanted, double* values, double* vectors,
                       double minRelativeGap);

} // namespace tervane
