#pragma once

#include <string>

namespace tervane {

class Document;
class Observer;

// One line per layer with grid points, "%.3e\t%.3e\n": the position of the layer's left edge (m) and
// the polarization step at that interface (C/m^2), measured from the previous layer and, for the
// first layer, from the substrate. Written only while polarization is on; with it off the file is
// created empty. Returns false when a message stopped the export.
[[nodiscard]] bool exportCharges(const Document& document, const std::string& path, Observer& observer);

} // namespace tervane
