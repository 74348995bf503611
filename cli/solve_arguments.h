#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/grid.h"

namespace tervane::cli {

// The text forms of the solve command's option values. Every parser fills its result and returns an
// empty string when the text is well formed, or returns the reason it is not (the parsers double as
// command-line validators, which report a non-empty string as a usage error).

// A decimal number that is finite: "nan", "inf" and numbers beyond the range of a double are refused.
// An optional leading '+' is accepted; nothing may follow the number.
std::string parseFiniteNumber(std::string_view text, double& value);

// The damping factor on each Newton update, from 0 (no update) to 1 (the full step).
std::string parseDamping(std::string_view text, double& damping);

// A tolerance: a finite number greater than 0.
std::string parsePositiveNumber(std::string_view text, double& value);

// An iteration limit: a whole number of 0 or more. 0 is a real setting (no classical step; exactly
// one Schroedinger pass), so only negative limits are refused.
std::string parseIterationLimit(std::string_view text, int& limit);

// "neutral" or "fixed:B" with the barrier height B in eV.
struct ContactChoice {
    bool fixed = false;
    double barrier = 0.0; // eV; only with `fixed`
};
std::string parseContact(std::string_view text, ContactChoice& contact);

// Applies a --left/--right choice as the Contacts dialog does: a Neutral contact keeps the barrier it
// had. Nothing changes without a choice.
void applyContact(const std::optional<ContactChoice>& choice, ContactKind& contact, double& barrier);

// "NAME" or "NAME:X". The composition follows the last ':', so a name that holds a ':' itself must
// be given with its composition.
struct SubstrateChoice {
    std::string name;
    double x = 0.0;
};
std::string parseSubstrate(std::string_view text, SubstrateChoice& substrate);

// "FIRST:LAST", two grid indices of 0 or more. FIRST above LAST is allowed (an empty range).
// "A:B": depths in nm from the left contact, 0 <= A < B.
struct DepthRange {
    double from = 0.0; // m
    double to = 0.0;
};
std::string parseDepthRange(std::string_view text, DepthRange& range);

// Either grid indices "FIRST:LAST" or depths "A:Bnm" (nm from the left contact, A < B).
struct SheetRange {
    int first = 0;
    int last = 0;
    bool inNanometres = false;
    double from = 0.0; // m, with inNanometres
    double to = 0.0;
};
std::string parseSheetRange(std::string_view text, SheetRange& range);

// "START:STOP:STEP" in volts. STEP must be greater than 0; START above STOP is allowed (no bias).
struct CvSweep {
    double start = 0.0;
    double stop = 0.0;
    double step = 0.0;
};
std::string parseCvSweep(std::string_view text, CvSweep& sweep);

// The number of biases the C-V sweep visits from the left barrier V0 (eV), as the engine counts them:
// a result above `limit` means the sweep would take longer than that, or never end (a STEP too small
// to move a barrier of that size).
long long countCvBiases(double V0, const CvSweep& sweep, long long limit);

} // namespace tervane::cli
