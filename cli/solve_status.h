#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tervane {
class Document;
}

namespace tervane::cli {

// The status of a solve as a JSON object: count (grid points), iterations, solverError, boundStates,
// sheetCharge (cm^-2), substrateA (Angstrom), substratePsp (C/m^2), chargeFirst, chargeLast and the
// messages met on the way, each with its exact text. Ends with a line break.
std::string statusJson(const Document& document, const std::vector<std::string>& messages);

// A double as JSON: the shortest text that reads back as the same double, or the strings "nan",
// "inf" and "-inf", which JSON has no numbers for.
std::string jsonNumber(double value);

// A JSON string literal. Bytes that are not UTF-8 are taken as the Latin-1 characters of the same
// code, so that any message makes valid JSON.
std::string jsonString(std::string_view text);

} // namespace tervane::cli
