#pragma once

#include <string>
#include <vector>

#include "engine/sweep.h"

namespace tervane {

class Document;

// How a point ended: solved and converged, solved but stopped at an iteration limit, or stopped by a
// message (a missing material, a solution that is not finite, a parameter the structure cannot take).
enum class SweepPointStatus { Ok, NotConverged, Failed };

// "ok", "not-converged", "failed": the status column of a results table.
[[nodiscard]] const char* sweepPointStatusName(SweepPointStatus status);

// One point's row: its parameter values and figures in the sweep's order. A figure without a value
// (any figure of a failed point, a bound state that is not there) is NaN.
struct SweepPointResult {
    long long index = 0;
    std::vector<double> parameters;
    std::vector<double> figures;
    SweepPointStatus status = SweepPointStatus::Ok;
    std::string message; // the solve's messages, "; " between them; empty when there were none
};

// Sets point `index` of `sweep` on a copy of `base` (its structure, materials and settings), solves
// it and reads the figures. Loads nothing and writes nothing; safe to call from several threads at
// once on the same base. The solved copy is left in `solved` when one is given (for band profiles).
[[nodiscard]] SweepPointResult evaluateSweepPoint(const Document& base, const Sweep& sweep, long long index,
                                                  Document* solved = nullptr);

} // namespace tervane
