#pragma once

// Running the command-line tool as a black box, its temporary folders, and the files the tests hand
// to it: made by the core's writers (the file-reader tests check their bytes by hand), with the
// materials of the bundled library.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "io/archive.h"
#include "io/document_file.h"
#include "io/materials_file.h"
#include "io/materials_toml.h"

namespace tervane::test {

// What one run of tervane-cli gave back.
struct CliRun {
    std::string out;
    std::string err;
    int status = -1; // exit status; -1 when the process did not exit normally
};

// Runs tervane-cli (or another program) with `arguments`, no shell involved and standard input empty,
// in `workingDirectory` when one is given.
CliRun runCli(const std::vector<std::string>& arguments, const std::string& workingDirectory = "");
CliRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& workingDirectory = "");

inline std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

// The lines of `text`, each without its line break; a final line break ends the last line.
inline std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempDir {
  public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tervane-cli-test-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("could not create a temporary folder");
        root_ = pattern;
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // `name` inside the folder, as a string for the command line.
    std::string path(const std::string& name) const { return (root_ / name).string(); }
    // Writes `bytes` to `name` and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream file(path(name), std::ios::binary);
        if (!file.write(bytes.data(), std::streamsize(bytes.size())))
            throw std::runtime_error("could not write " + path(name));
        return path(name);
    }

  private:
    std::filesystem::path root_;
};

// A material of the checked-in standard library, by name.
inline Material libraryMaterial(const std::string& name)
{
    static const std::vector<Material> library = [] {
        std::vector<Material> materials;
        const IoResult result = loadMaterialsTomlFile(
            std::string(TERVANE_SOURCE_DIR) + "/examples/materials/standard.toml", materials);
        if (!result)
            throw std::runtime_error("the standard library does not read: " + result.message);
        return materials;
    }();
    const Material* material = findMaterial(library, name);
    if (!material)
        throw std::runtime_error("no " + name + " in the standard library");
    return *material;
}

inline const Material GaN = libraryMaterial("GaN");
inline const Material AlGaN = libraryMaterial("AlGaN");
inline const Material GaAs = libraryMaterial("GaAs");

// A layer in SI units (m, m^-3) at 10 Angstrom spacing.
inline Layer layerOf(const std::string& material, double thickness, double Nd = 0.0, double Na = 0.0)
{
    Layer layer;
    layer.material = material;
    layer.thickness = thickness;
    layer.dx = 1e-9;
    layer.Nd = Nd;
    layer.Na = Na;
    return layer;
}

// A version-1 document file: thickness, dx, composition, material, Na, Nd and spare per layer.
inline std::string documentVersion1(const std::vector<Layer>& layers, int leftContact = 0,
                                    double leftBarrier = 0.0)
{
    ArchiveWriter file;
    file.writeInt32(1);
    file.writeInt32(static_cast<int>(layers.size()));
    for (const Layer& l : layers) {
        for (double value : {l.thickness, l.dx, l.composition.a, l.composition.b, l.composition.c})
            file.writeFloat64(value);
        file.writeString(l.material);
        for (double value : {l.Na, l.Nd, l.spare})
            file.writeFloat64(value);
    }
    file.writeInt32(leftContact);
    file.writeFloat64(leftBarrier);
    return file.take();
}

// 2000 Angstrom of n-GaAs (1e17 cm^-3) at 10 Angstrom spacing: 200 points.
inline constexpr const char* nLayer = "GaAs t=2000 dx=10 Nd=1e17\n";
inline constexpr double nLayerNd = 1e17;

} // namespace tervane::test
