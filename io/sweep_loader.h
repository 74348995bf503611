#pragma once

#include <string>

#include "engine/document.h"
#include "engine/sweep.h"
#include "io/io_result.h"

namespace tervane {

class Observer;

// A sweep ready to run: its points, the base document every point starts from (structure, materials,
// settings) and the key that tells its results from another sweep's.
struct LoadedSweep {
    Sweep sweep;
    Document base;
    long long pointCount = 0;
    // 16 hexadecimal digits: a 64-bit FNV-1a hash of the sweep file, the structure file and the
    // materials file, byte for byte. Any edit to one of them makes another sweep.
    std::string key;
    std::string structurePath;
    std::string materialsPath;
};

// Reads the sweep file at `path`, then the structure and the materials it names (the materials at
// `defaultMaterialsPath` when it names none), applies its settings to the base document and checks
// every layer it addresses against the structure. The structure reader's non-fatal findings go to
// `observer`. On failure `sweep` is unchanged and the message names the file at fault.
IoResult loadSweep(const std::string& path, const std::string& defaultMaterialsPath, Observer& observer,
                   LoadedSweep& sweep);

} // namespace tervane
