#pragma once

// Running the command-line tool as a black box, and the files the tests hand to it: made by the core's
// writers (the file-format tests check their bytes by hand), with the materials of the bundled library.

#include <sys/resource.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "io/document_file.h"
#include "io/materials_file.h"
#include "io/materials_toml.h"
#include "tests/support/test_support.h"

namespace tervane::test {

// What one run of tervane-cli gave back.
struct CliRun {
    std::string out;
    std::string err;
    int status = -1; // exit status; -1 when the process did not exit normally
};

// Runs tervane-cli with `arguments`, no shell involved and standard input empty, in `workingDirectory`
// when one is given, unable to make any file larger than `fileSizeLimit` bytes.
CliRun runCli(const std::vector<std::string>& arguments, const std::string& workingDirectory = "",
              rlim_t fileSizeLimit = RLIM_INFINITY);

// The lines of `text`, each without its line break.
inline std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

// Materials of the checked-in standard library.
inline const std::vector<Material> standardLibrary = [] {
    std::vector<Material> materials;
    if (!loadMaterialsTomlFile(TERVANE_SOURCE_DIR "/examples/materials/standard.toml", materials))
        throw std::runtime_error("the standard library does not read");
    return materials;
}();
inline const Material GaN = *findMaterial(standardLibrary, "GaN");
inline const Material AlGaN = *findMaterial(standardLibrary, "AlGaN");
inline const Material GaAs = *findMaterial(standardLibrary, "GaAs");

// 2000 Angstrom of n-GaAs (1e17 cm^-3) at 10 Angstrom spacing: 200 points.
inline constexpr const char* nLayer = "GaAs t=2000 dx=10 Nd=1e17\n";
inline constexpr double nLayerNd = 1e17;

} // namespace tervane::test
