#pragma once

namespace tervane {

// How the desktop program's charge view shows the densities. Kept with the structure so that a
// document opens as it was saved; nothing in the core reads it.
struct ChargeViewSettings {
    double lower = 1e21; // m^-3
    double upper = 1e26; // m^-3
    bool autoScale = true;
    bool logScale = false;
    // The sheet-density range in depth, m from the left contact; none when from >= to.
    double rangeFrom = 0.0;
    double rangeTo = 0.0;

    bool operator==(const ChargeViewSettings& other) const = default;
};

} // namespace tervane
