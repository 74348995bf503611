#include "io/sweep_loader.h"

#include <cstdint>
#include <filesystem>
#include <utility>

#include "io/file_util.h"
#include "io/materials_loader.h"
#include "io/structure_loader.h"
#include "io/sweep_file.h"

namespace tervane {

namespace {

// FNV-1a, 64 bits: the same on every machine and compiler, which the key must be.
class ContentHash {
  public:
    void add(std::string_view bytes)
    {
        // The length first, so that moving bytes from one file to the next changes the hash.
        const std::string length = std::to_string(bytes.size()) + ':';
        feed(length);
        feed(bytes);
    }

    std::string hex() const
    {
        static constexpr char digits[] = "0123456789abcdef";
        std::string text(16, '0');
        for (int k = 0; k < 16; ++k)
            text[static_cast<std::size_t>(k)] = digits[(hash_ >> (60 - 4 * k)) & 0xFu];
        return text;
    }

  private:
    void feed(std::string_view bytes)
    {
        for (const char ch : bytes) {
            hash_ ^= static_cast<unsigned char>(ch);
            hash_ *= 0x100000001b3ULL;
        }
    }

    std::uint64_t hash_ = 0xcbf29ce484222325ULL;
};

IoResult inFile(const std::string& path, IoResult result)
{
    if (!result && result.message.find(path) == std::string::npos)
        result.message = path + ": " + result.message;
    return result;
}

// The first layer index the sweep addresses that the structure does not have, as a message.
std::string layerProblem(const Sweep& sweep, std::size_t layerCount)
{
    const auto missing = [layerCount](std::size_t layer) { return layer >= layerCount; };
    const std::string has = "; the structure has " + std::to_string(layerCount) + " layers, 0 to " +
                            std::to_string(layerCount == 0 ? 0 : layerCount - 1);
    for (const SweepParameter& parameter : sweep.parameters) {
        const bool layerTarget = parameter.target != SweepTarget::LeftBarrier &&
                                 parameter.target != SweepTarget::RightBarrier &&
                                 parameter.target != SweepTarget::Temperature;
        if (layerTarget && missing(parameter.layer))
            return "parameter \"" + parameter.name + "\" sets layer " + std::to_string(parameter.layer) + has;
    }
    for (const SweepFigure& figure : sweep.figures)
        if (figure.kind == SweepFigureKind::LayerSheetDensity && missing(figure.layer))
            return "figure \"" + figure.name + "\" reads layer " + std::to_string(figure.layer) + has;
    return {};
}

} // namespace

IoResult loadSweep(const std::string& path, const std::string& defaultMaterialsPath, Observer& observer,
                   LoadedSweep& sweep)
{
    std::string sweepText;
    if (IoResult result = readWholeFile(path, sweepText); !result)
        return inFile(path, result);
    SweepFile file;
    const std::string folder = std::filesystem::path(path).parent_path().string();
    if (IoResult result = decodeSweepFile(sweepText, folder, file); !result)
        return inFile(path, result);

    LoadedSweep loaded;
    loaded.structurePath = file.structurePath;
    loaded.materialsPath = file.materialsPath.empty() ? defaultMaterialsPath : file.materialsPath;
    if (loaded.materialsPath.empty())
        return IoResult::failure(path + ": the sweep names no materials and there is no default library");

    std::string structureBytes;
    if (IoResult result = readWholeFile(loaded.structurePath, structureBytes); !result)
        return inFile(loaded.structurePath, result);
    Structure structure;
    if (IoResult result = decodeStructure(structureBytes, StructureFormat::Detect, observer, structure);
        !result)
        return inFile(loaded.structurePath, result);
    std::string materialsBytes;
    if (IoResult result = readWholeFile(loaded.materialsPath, materialsBytes); !result)
        return inFile(loaded.materialsPath, result);
    if (IoResult result = loadMaterials(loaded.materialsPath, loaded.base.materials); !result)
        return inFile(loaded.materialsPath, result);

    if (std::string problem = layerProblem(file.sweep, structure.layers.size()); !problem.empty())
        return IoResult::failure(path + ": " + problem);

    loaded.base.layers = std::move(structure.layers);
    loaded.base.grid.leftContact = structure.leftContact;
    loaded.base.grid.leftBarrier = structure.leftBarrier;
    // A sweep file names no substrate, so its settings always apply.
    static_cast<void>(applySolveSettings(file.settings, loaded.base));
    loaded.sweep = std::move(file.sweep);
    loaded.pointCount = sweepPointCount(loaded.sweep);

    ContentHash hash;
    hash.add(sweepText);
    hash.add(structureBytes);
    hash.add(materialsBytes);
    loaded.key = hash.hex();
    sweep = std::move(loaded);
    return IoResult::success();
}

} // namespace tervane
