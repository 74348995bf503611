#pragma once

#include <string>

namespace tervane {

class Document;
class Observer;

// Most biases a sweep visits; past it a sweep would run for days, or never end when Step is too small
// to move the barrier.
inline constexpr long long maxCvBiases = 100000;

// The number of biases the sweep from the left barrier V0 (eV) visits, counted with the same additions
// the sweep makes, so that rounding ends it at the same bias. Counting stops at limit + 1: a result
// above `limit` means the sweep would take longer than that, or never end.
long long countCvBiases(double V0, double start, double stop, double step, long long limit);

// The bias sweep of the left contact: at each bias the structure is re-solved from the previous
// solution, the total charge is compared with the charge after a shift of 0.05 Step, and the ratio is
// written as a capacitance per area (F/cm^2) to `outputPath` ("V\tC\n", then "%f\t%E\n" lines). The
// left barrier is restored exactly and the structure solved again at the end. Returns false (after a
// message) when the sweep could not run: a Step that would never end it or take more than
// maxCvBiases biases, a non-finite value, or an output file that cannot be opened; and when it
// stopped at a bias whose solution is not finite or because the observer asked it to stop, the lines
// of the biases before kept in the file.
bool runCvProfile(Document& document, double start, double stop, double step, const std::string& outputPath,
                  Observer& observer);

} // namespace tervane
