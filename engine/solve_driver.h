#pragma once

namespace tervane {

class Document;
class Observer;

// Largest grid a solve builds; no real device comes near it. Past it the solve stops with a message
// before allocating.
inline constexpr long long maxGridPoints = 2000000;

// Rebuilds the grid from the layers and materials, integrates the polarization potential, runs the
// classical Newton phase and, with the Schroedinger switch on, the bound-state phase; publishes the
// status values and the sheet density. Returns false when a message stopped the work (a missing
// material, a layer that cannot be cut into points, a grid beyond maxGridPoints, a solution that is
// not finite after either phase; the last also empties the grid and sets solverError to NaN).
bool solve(Document& document, Observer& observer);

// Iterates again on the existing grid after a contact change, from the previous potential, with the
// tight classical tolerance; used by the C-V sweep. Returns false, as solve() does, when the solution
// is not finite.
bool resolveAtBias(Document& document, Observer& observer);

// Trapezoid integral of the solution's electron density from point `first` to min(last, N-1), in
// cm^-2; changes nothing.
[[nodiscard]] double sheetDensity(const Document& document, int first, int last);

// sheetCharge = the sheet density from chargeFirst to chargeLast.
void computeSheetCharge(Document& document);

// Stores the sheet-density range, then integrates it.
void setChargeRange(Document& document, int first, int last);

// The sheet-density range of the grid intervals that lie within depths `from`..`to` (m from the left
// contact, a nanometre's millionth of slack at either end), stored and integrated as setChargeRange.
void setChargeRangeByDepth(Document& document, double from, double to);

} // namespace tervane
