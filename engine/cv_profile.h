#pragma once

#include <string>

namespace tervane {

class Document;
class Observer;

// The bias sweep of the left contact: at each bias the structure is re-solved from the previous
// solution, the total charge is compared with the charge after a shift of 0.05 Step, and the ratio is
// written as a capacitance per area (F/cm^2) to `outputPath` ("V\tC\n", then "%f\t%E\n" lines). The
// left barrier is restored exactly and the structure solved again at the end. Returns false (after a
// message) when the sweep could not run: a Step that would never end it, a non-finite value, or an
// output file that cannot be opened.
bool runCvProfile(Document& document, double start, double stop, double step, const std::string& outputPath,
                  Observer& observer);

}  // namespace tervane
