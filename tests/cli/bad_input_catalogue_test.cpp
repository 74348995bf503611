// Bad inputs, one row each, through the public entry points: the command-line tool as a black box, and
// the core's readers and solve. Every row must end with a message that says what is wrong and the
// documented exit status, and leave what the user had as it was: every file byte for byte, the
// materials list, the loaded structure.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "cli_test_support.h"
#include "engine/grid.h"
#include "model/observer.h"
#include "engine/solve_driver.h"
#include "io/materials_loader.h"
#include "engine/document.h"

namespace tervane::test {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
const std::string notFinite = "the solution is not finite (NaN or infinity)";
const std::string badSpacing = "the grid spacing dx must be a positive number";

// GaAs, named `name`, with one law replaced.
Material gaAsWith(Quadratic Material::*law, const Quadratic& value, const std::string& name)
{
    Material material = GaAs;
    material.*law = value;
    material.name = name;
    return material;
}

// A permittivity of 0, which the polarization potential divides by.
const Material zeroPermittivity = gaAsWith(&Material::eps, Quadratic(0, 0, 0), "Bad");

// GaAs as a TOML library, with `from` replaced by `to`.
std::string gaAsTomlWith(const std::string& from = "", const std::string& to = "")
{
    std::string text;
    encodeMaterialsToml({GaAs}, text);
    return text.replace(text.find(from), from.size(), to);
}

// The int32 `value`, then `rest`.
std::string int32Then(std::int32_t value, const std::string& rest = "")
{
    ArchiveWriter file;
    file.writeInt32(value);
    return file.take() + rest;
}

// A materials file of one record of zeros whose name has the length prefix `prefix`.
std::string recordWithNamePrefix(const std::string& prefix)
{
    return int32Then(1, std::string(384, '\0') + prefix + std::string(36, '\0'));
}

// Two layers of n-GaAs, the first with `first` changed, behind a contact of `kind` and `barrier`.
std::string twoLayers(void (*first)(Layer&), int kind = 0, double barrier = 0.0)
{
    std::vector<Layer> layers{layerOf("GaAs", 2e-7, 1e23), layerOf("GaAs", 1e-7, 1e23)};
    first(layers[0]);
    return encodeDocument(layers, static_cast<ContactKind>(kind), barrier);
}

// ---- The command-line tool ------------------------------------------------------------------------

using Files = std::vector<std::pair<std::string, std::string>>;

// Each row runs in a fresh folder, its current folder, holding "m.tvm" (GaN, AlGaN, GaAs), "s.txt"
// (n-GaAs), "out.txt" and the folder "sub", plus the row's own files; "@name" in an argument stands
// for `name` there.
struct CliRow {
    std::string name;
    Files files;
    Args arguments;
    std::string message; // a distinctive part of standard error
    int status;
    std::string created = {}; // a file the run may write (the lines of a sweep that stopped)
    std::string locked = {};  // a file made unreadable, or a folder ("name/") read-only, for the run
    friend void PrintTo(const CliRow& row, std::ostream* out) { *out << row.name; }
};

Args solveOf(const std::string& structure, const Args& options = {})
{
    Args arguments{"solve", structure, "--materials", "@m.tvm"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    return arguments;
}

// A solve of "s.txt" that would write the band profile over "out.txt" and the status to "st.json".
Args usage(const Args& options)
{
    Args arguments = solveOf("@s.txt", {"--bands", "@out.txt", "--status-json", "@st.json"});
    arguments.insert(arguments.end(), options.begin(), options.end());
    return arguments;
}

std::map<std::string, std::string> snapshot(const TempDir& d)
{
    std::map<std::string, std::string> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(d.path("")))
        if (entry.is_regular_file())
            files[entry.path().string()] = readFile(entry.path().string());
    return files;
}

class CliCatalogue : public testing::TestWithParam<CliRow> {};

TEST_P(CliCatalogue, SaysWhatIsWrongAndChangesNoFile)
{
    const CliRow& row = GetParam();
    TempDir d;
    d.write("m.tvm", encodeMaterials({GaN, AlGaN, GaAs}));
    d.write("s.txt", nLayer);
    d.write("out.txt", "precious");
    fs::create_directory(d.path("sub"));
    for (const auto& [name, bytes] : row.files) {
        fs::create_directories(fs::path(d.path(name)).parent_path());
        d.write(name, bytes);
    }
    Args arguments = row.arguments;
    for (std::string& argument : arguments)
        if (argument.starts_with("@"))
            argument = d.path(argument.substr(1));
    const std::map<std::string, std::string> before = snapshot(d);
    const std::string locked = d.path(row.locked);
    const bool folder = row.locked.ends_with("/");
    if (!row.locked.empty()) {
        chmod(locked.c_str(), folder ? S_IRUSR | S_IXUSR : 0);
        if (folder ? std::ofstream(locked + "probe").good() : std::ifstream(locked).good())
            GTEST_SKIP() << "permissions do not bind this user";
    }
    const CliRun run = runCli(arguments, d.path(""));
    if (!row.locked.empty())
        chmod(locked.c_str(), S_IRWXU);

    EXPECT_EQ(run.status, row.status) << run.err;
    EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
    if (row.status == 2) {
        EXPECT_EQ(run.out, "");
    } else if (row.status == 1) {
        EXPECT_EQ(run.out.find("Solver error"), std::string::npos) << run.out;
    }
    std::map<std::string, std::string> after = snapshot(d);
    if (!row.created.empty())
        after.erase(d.path(row.created));
    EXPECT_EQ(after, before);
}

std::string nested10000Deep()
{
    std::string script;
    for (int i = 0; i < 10000; ++i)
        script += "repeat=1\n";
    return script + "GaAs\n";
}

const std::string lineOf1MB = "GaAs t=2000 " + std::string(1 << 20, 'x') + "\n";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, CliCatalogue, testing::Values(
    // Files that are empty, folders, unreadable, missing or cut short.
    CliRow{"EmptyMaterialsFile", {{"e.tvm", ""}}, {"materials", "@e.tvm"}, "The file is truncated: expected an int32 at byte 0", 1},
    CliRow{"EmptyFileForcedAsDocument", {{"e.tvn", ""}}, {"layers", "--document", "@e.tvn"}, "The file is truncated", 1},
    CliRow{"EmptyScriptHasNoLayers", {{"e.txt", ""}}, {"layers", "@e.txt"}, "", 0},
    CliRow{"FolderAsStructure", {}, {"layers", "@sub"}, "Could not open file: ", 1},
    CliRow{"FolderAsMaterials", {}, {"solve", "@s.txt", "--materials", "@sub"}, "is a folder", 1},
    CliRow{"MissingStructure", {}, {"convert", "@absent.txt", "@out.txt"}, "Could not open file", 1},
    CliRow{"MissingMaterialsFile", {}, {"layers", "@s.txt", "--materials", "@none.tvm"}, "none.tvm: Could not open file", 1},
    CliRow{"UnreadableMaterials", {}, {"materials", "@m.tvm"}, "Could not open file", 1, "", "m.tvm"},
    CliRow{"CutDocumentOverAnOutput", {{"cut.tvn", twoLayers([](Layer&) {}).substr(0, 150)}}, {"convert", "@cut.tvn", "@out.txt"}, "The file is truncated", 1},
    CliRow{"ScriptForcedAsDocument", {}, {"convert", "--document", "@s.txt", "@out.txt"}, "wrong version file!", 1},
    // Outputs that cannot be written, or would replace an input.
    CliRow{"ConvertIntoAMissingFolder", {}, {"convert", "@s.txt", "@no/o.tvn"}, "Could not open file", 1},
    CliRow{"ConvertOntoAFolder", {}, {"convert", "@s.txt", "@sub"}, "is a folder", 1},
    CliRow{"MaterialsIntoAReadOnlyFolder", {{"ro/keep.tvm", "old"}}, {"convert", "@m.tvm", "@ro/keep.tvm"}, "Could not open file", 1, "", "ro/"},
    CliRow{"ConvertOntoItsInput", {}, {"convert", "@s.txt", "@s.txt"}, "IN and OUT are the same file", 2},
    CliRow{"BandsOntoTheStructure", {}, solveOf("@s.txt", {"--bands", "@s.txt"}), "--bands names", 2},
    CliRow{"BandsIntoAMissingFolder", {}, solveOf("@s.txt", {"--bands", "@no/b.txt"}), "The band profile could not be written", 1},
    CliRow{"ChargesOntoAFolder", {}, solveOf("@s.txt", {"--charges", "@sub"}), "Could not open file", 1},
    CliRow{"CvOntoAFolder", {}, solveOf("@s.txt", {"--left", "fixed:0.8", "--cv", "0:1:0.5", "--cv-out", "@sub"}), "Can't open output CV file.", 1},
    // Counts and lengths no file of this size can hold; a count below 0 is an empty list.
    CliRow{"MaterialCountOf2e9", {{"c.tvm", int32Then(2000000000)}}, {"materials", "@c.tvm"}, "announces 2000000000 material records", 1},
    CliRow{"NegativeMaterialCount", {{"c.tvm", int32Then(-5)}}, {"materials", "@c.tvm"}, "", 0},
    CliRow{"LayerCountOf2e9", {{"c.tvn", int32Then(2, int32Then(2000000000))}}, {"layers", "@c.tvn"}, "announces 2000000000 layer records", 1},
    CliRow{"NameOf4GB", {{"n.tvm", recordWithNamePrefix("\xFF\xFF\xFF\xFE\xFF\xFF\xFF")}}, {"materials", "@n.tvm"}, "The file is truncated: the text at byte 388 claims 4294967294 characters, but only 36 bytes are left (reading material record 1 of 1)", 1},
    CliRow{"NameOf16BitCharacters", {{"n.tvm", recordWithNamePrefix("\xFF\xFE\xFF\x03")}}, {"materials", "@n.tvm"}, "The file is corrupt: the text at byte 388 is marked as 16-bit characters, which these files never hold (reading material record 1 of 1)", 1},
    // NaN and infinity in files, scripts and options.
    CliRow{"ZeroPermittivity", {{"m.tvm", encodeMaterials({GaAs, zeroPermittivity})}, {"in.txt", "GaAs t=500 Nd=1e17\nBad t=200\nGaAs t=500 Nd=1e17\n"}}, solveOf("@in.txt"), "Layer 1 (Bad): " + notFinite, 1},
    CliRow{"NanDopingInADocument", {{"d.tvn", twoLayers([](Layer& layer) { layer.Nd = nan; })}}, solveOf("@d.tvn"), "Layer 0 (GaAs): " + notFinite, 1},
    CliRow{"InfiniteBarrierInADocument", {{"d.tvn", twoLayers([](Layer&) {}, 1, inf)}}, solveOf("@d.tvn"), "Layer 0 (GaAs): " + notFinite, 1},
    CliRow{"NanInToml", {{"m.toml", gaAsTomlWith("[12.9", "[nan")}, {"out.tvm", "old"}}, {"convert", "@m.toml", "@out.tvm"}, "\"eps\"", 1},
    CliRow{"NanInAScript", {{"in.txt", "GaAs t=2000 Nd=nan\n"}}, solveOf("@in.txt"), "Invalid number in line #1: GaAs t=2000 Nd=nan", 0},
    CliRow{"NanDamping", {}, solveOf("@s.txt", {"--damping", "nan"}), "\"nan\" is not a finite number", 2},
    CliRow{"InfiniteBarrierOption", {}, solveOf("@s.txt", {"--left", "fixed:inf"}), "\"inf\" is not a finite number", 2},
    // Grids that cannot be built.
    CliRow{"ZeroSpacing", {{"in.txt", "GaAs t=100 dx=0\n"}}, solveOf("@in.txt"), "Layer 0 (GaAs): " + badSpacing, 1},
    CliRow{"NegativeSpacing", {{"in.txt", "GaAs t=100 dx=-5\n"}}, solveOf("@in.txt"), "Layer 0 (GaAs): " + badSpacing, 1},
    CliRow{"NanSpacingInADocument", {{"d.tvn", twoLayers([](Layer& layer) { layer.dx = nan; })}}, solveOf("@d.tvn"), "Layer 0 (GaAs): " + badSpacing, 1},
    CliRow{"BillionsOfPoints", {{"in.txt", "GaAs t=1e10 dx=1\n"}}, solveOf("@in.txt"), "more than 2000000 grid points", 1},
    // Scripts that would never end or blow up; a line comes in pieces of 2047 bytes, each a line.
    CliRow{"RepeatedAMillionMillionTimes", {{"r.txt", "repeat=1000000000000\nGaAs\n"}}, {"layers", "@r.txt"}, "more than 1000000 layers (line #1)", 1},
    CliRow{"Nested10000Deep", {{"r.txt", nested10000Deep()}}, {"layers", "@r.txt"}, "Repeat blocks nested deeper than 64 in line #65", 1},
    CliRow{"LineOf1MB", {{"in.txt", lineOf1MB}}, solveOf("@in.txt"), "Material not found!\nLayer 001 names the material \"xxxx", 1},
    // Names: bytes above 127, NUL, names the list does not hold.
    CliRow{"HighByteInAScriptName", {{"in.txt", "Ga\xFF" "As t=100\n"}}, solveOf("@in.txt"), "Layer 000 names the material \"Ga\\xFFAs\"", 1},
    CliRow{"NulEndsAScriptLine", {{"in.txt", std::string("Ga\0As t=100\n", 12)}}, solveOf("@in.txt"), "names the material \"Ga\"", 1},
    CliRow{"NulInADocumentName", {{"d.tvn", encodeDocument({layerOf(std::string("Ga\0As", 5), 1e-7)}, ContactKind::Neutral, 0.0)}}, solveOf("@d.tvn"), "names the material \"Ga\\x00As\"", 1},
    CliRow{"MaterialInOtherCase", {{"in.txt", "gan t=100\n"}}, {"layers", "@in.txt", "--materials", "@m.tvm"}, "Material not found!\nLayer 000 names the material \"gan\"", 1},
    CliRow{"UnknownMaterial", {{"in.txt", "GaAs t=100\nInP t=100\n"}}, solveOf("@in.txt"), "Material not found!\nLayer 001 names the material \"InP\"", 1},
    CliRow{"UnknownSubstrate", {}, solveOf("@s.txt", {"--substrate", "gan"}), "The substrate material \"gan\" is not in", 1},
    CliRow{"TomlWithoutAKey", {{"m.toml", gaAsTomlWith("e33 = [0.0, 0.0, 0.0]\n", "")}}, {"materials", "@m.toml"}, "\"polarization.e33\"", 1},
    CliRow{"MisspeltTomlKey", {{"m.toml", gaAsTomlWith("\nEg ", "\nEgg")}, {"out.tvm", "old"}}, {"convert", "@m.toml", "@out.tvm"}, "\"Egg\"", 1},
    CliRow{"BinaryBytesNamedToml", {{"m.toml", encodeMaterials({GaAs})}, {"out.tvm", "old"}}, {"convert", "@m.toml", "@out.tvm"}, "m.toml", 1},
    CliRow{"NameTwiceWrittenAsToml", {{"d.tvm", encodeMaterials({GaN, GaN})}}, {"convert", "@d.tvm", "@d.toml"}, "material 1", 1},
    // Sweeps and solver settings. Holes overflow at the contact 20 V into reverse bias.
    CliRow{"CvStepZero", {}, solveOf("@s.txt", {"--cv", "0:1:0"}), "STEP must be greater than 0", 2},
    CliRow{"CvStepNegative", {}, solveOf("@s.txt", {"--cv", "0:1:-0.5"}), "STEP must be greater than 0", 2},
    CliRow{"CvStepNan", {}, solveOf("@s.txt", {"--cv", "0:1:nan"}), "STEP: \"nan\" is not a finite number", 2},
    CliRow{"CvStepTooSmallToEnd", {}, solveOf("@s.txt", {"--cv", "0:1:1e-9"}), "more than 100000 biases", 2},
    CliRow{"CvStopsAtANonFiniteBias", {}, solveOf("@s.txt", {"--left", "fixed:0.8", "--cv", "0:40:20", "--cv-out", "@cv.txt"}), "Layer 0 (GaAs): " + notFinite, 1, "cv.txt"},
    CliRow{"NegativeIterationLimit", {}, solveOf("@s.txt", {"--poisson-iterations", "-1"}), "must be 0 or more", 2},
    // Command lines wrong in themselves: nothing is read or written.
    CliRow{"UnknownSubcommand", {}, {"solvent"}, "A subcommand is required", 2},
    CliRow{"UnknownOption", {}, {"layers", "@s.txt", "--colour"}, "The following argument was not expected: --colour", 2},
    CliRow{"NoStructure", {}, {"layers"}, "STRUCTURE is required", 2},
    CliRow{"NoMaterialsFile", {}, {"layers", "@s.txt", "--materials"}, "--materials: 1 required FILE missing", 2},
    CliRow{"TwoStructures", {}, {"layers", "@s.txt", "@s.txt"}, "The following argument was not expected", 2},
    CliRow{"DocumentAndScript", {}, {"layers", "--document", "--script", "@s.txt"}, "--document excludes --script", 2},
    CliRow{"NoListToList", {}, {"materials"}, "FILE is required", 2},
    CliRow{"NoOut", {}, {"convert", "@s.txt"}, "OUT is required", 2},
    CliRow{"MaterialsToADocument", {{"m.toml", gaAsTomlWith()}}, {"convert", "@m.toml", "@o.tvn"}, "not to", 2},
    CliRow{"MaterialsByContentToADocument", {{"m.txt", gaAsTomlWith()}}, {"convert", "@m.txt", "@o.tvn"}, "holds materials", 2},
    CliRow{"ContactForMaterials", {{"m.toml", gaAsTomlWith()}}, {"convert", "@m.toml", "@o.tvm", "--left", "fixed:1"}, "--left applies to structures", 2},
    CliRow{"StructureToAMaterialsFile", {}, {"convert", "--script", "@s.txt", "@o.toml"}, "A structure is written as a document file", 2},
    CliRow{"ValenceAlone", {}, usage({"--valence"}), "--valence requires --schroedinger", 2},
    CliRow{"DampingNotANumber", {}, usage({"--damping", "0.5x"}), "\"0.5x\" is not a number", 2},
    CliRow{"DampingAboveOne", {}, usage({"--damping", "1.5"}), "the damping must lie between 0 and 1", 2},
    CliRow{"DampingTwice", {}, usage({"--damping", "0.5", "--damping", "0.6"}), "--damping", 2},
    CliRow{"IterationsNotWhole", {}, usage({"--poisson-iterations", "2.5"}), "\"2.5\" is not a whole number", 2},
    CliRow{"IterationsBeyondInt", {}, usage({"--poisson-iterations", "99999999999"}), "is too large for the iteration limit", 2},
    CliRow{"FixedWithoutBarrier", {}, usage({"--left", "fixed"}), "a fixed contact needs its barrier height", 2},
    CliRow{"ContactInCapitals", {}, usage({"--left", "Neutral"}), "\"Neutral\" is not a contact", 2},
    CliRow{"BarrierBeyondDoubles", {}, usage({"--right", "fixed:1e999"}), "is beyond the range of numbers", 2},
    CliRow{"SubstrateWithoutComposition", {}, usage({"--substrate", "GaN:"}), "composition: a number is missing", 2},
    CliRow{"SubstrateWithoutName", {}, usage({"--substrate", ":0.2"}), "the substrate material's name is missing", 2},
    CliRow{"CvWithoutStep", {}, usage({"--cv", "0:1"}), "is not a sweep; use START:STOP:STEP", 2},
    CliRow{"CvToInfinity", {}, usage({"--cv", "0:inf:0.5"}), "STOP: \"inf\" is not a finite number", 2},
    CliRow{"CvTooFarOut", {}, usage({"--cv", "1e20:1e20:1"}), "more than 100000 biases", 2},
    CliRow{"SheetRangeOfOnePoint", {}, usage({"--sheet-range", "10"}), "is not a range; use FIRST:LAST", 2},
    CliRow{"SheetRangeBelowZero", {}, usage({"--sheet-range", "-1:3"}), "FIRST must be 0 or more", 2},
    CliRow{"UnknownEigenSolver", {}, usage({"--eigensolver", "lanczos"}), "lanczos not in {dense,tridiagonal}", 2},
    CliRow{"CvOutWithoutCv", {}, usage({"--cv-out", "cv.txt"}), "--cv-out requires --cv", 2},
    CliRow{"MissingDumpFolder", {}, usage({"--dump-dir", "@none"}), "Directory does not exist", 2}),
    [](const testing::TestParamInfo<CliRow>& info) { return info.param.name; });
// clang-format on

// ---- The core -------------------------------------------------------------------------------------

// A solve that ends in NaN or infinity, or cannot start, is refused naming the layer, and leaves the
// layers as they were and no point of the grid holding NaN or infinity for the window to draw.
TEST(CoreCatalogue, FailedSolvesLeaveNothingNonFinite)
{
    Layer nanThickness = layerOf("GaAs", 2e-7, 1e23), overflowing = layerOf("GaAs", 2e-7);
    nanThickness.thickness = nan;
    overflowing.composition = Quadratic(0, 10, 0);
    const struct {
        std::vector<Material> materials;
        std::vector<Layer> layers;
        std::string message;
    } rows[] = {
        {{GaAs, zeroPermittivity},
         {layerOf("GaAs", 5e-8, 1e23), layerOf("Bad", 2e-8), layerOf("GaAs", 5e-8, 1e23)},
         "Layer 1 (Bad): " + notFinite},
        {{gaAsWith(&Material::Eg, Quadratic(1.4, 0, 1e308), "GaAs")},
         {overflowing},
         "Layer 0 (GaAs): " + notFinite},
        {{GaAs}, {nanThickness}, "Layer 0 (GaAs): the thickness must be a finite number of 0 or more"}};
    for (const auto& row : rows) {
        Document document;
        document.materials = row.materials;
        document.layers = row.layers;
        CollectingObserver observer;
        EXPECT_FALSE(solve(document, observer));
        std::string messages;
        for (const std::string& message : observer.messages)
            messages += message + "\n";
        EXPECT_NE(messages.find(row.message), std::string::npos) << messages;
        EXPECT_EQ(encodeDocument(document.layers, ContactKind::Neutral, 0.0), encodeDocument(row.layers, ContactKind::Neutral, 0.0));
        for (const GridPoint& point : document.grid.points)
            EXPECT_TRUE(std::isfinite(point.phi) && std::isfinite(point.conductionEdge())) << row.message;
    }
}

// Cut at every byte, a small document file (both versions) and a small materials file are refused
// with a message, and the structure or list loaded before stays exactly as it was. Each cut is a file
// of its own: rewriting one file a thousand times waits on the disk.
TEST(Truncation, EveryPrefixIsRefusedAndKeepsWhatWasLoaded)
{
    TempDir d;
    const Layer layer = layerOf("GaN", 1e-8);
    for (const std::string& file :
         {encodeDocument({layer, layer}, ContactKind::Fixed, 0.5), documentVersion1({layer}, 1, 0.5)}) {
        for (std::size_t size = 0; size < file.size(); ++size) {
            Document document;
            document.layers = {layerOf("kept", 1e-9)};
            document.grid.leftBarrier = 0.25;
            const IoResult result =
                loadDocumentFile(d.write(std::to_string(size) + ".tvn", file.substr(0, size)), document);
            EXPECT_TRUE(result.message.starts_with("The file is truncated: ")) << size << result.message;
            EXPECT_EQ(document.layers, std::vector<Layer>{layerOf("kept", 1e-9)});
            EXPECT_EQ(document.grid.leftBarrier, 0.25);
        }
    }
    const std::vector<Material> sentinel = {GaN, AlGaN};
    const std::string materials = encodeMaterials({AlGaN, GaN}); // a cut list must not pass for the kept one
    for (std::size_t size = 0; size < materials.size(); ++size) {
        std::vector<Material> loaded = sentinel;
        const IoResult result =
            loadMaterials(d.write(std::to_string(size) + ".tvm", materials.substr(0, size)), loaded);
        EXPECT_TRUE(result.message.starts_with("The file is truncated: ")) << size << result.message;
        EXPECT_EQ(loaded, sentinel);
    }
    // A TOML library cut anywhere holds no material, all of it, or is refused with the list kept.
    const std::string toml = gaAsTomlWith();
    for (std::size_t size = 0; size < toml.size(); ++size) {
        std::vector<Material> loaded = sentinel;
        const IoResult result = decodeMaterialsToml(toml.substr(0, size), loaded);
        EXPECT_TRUE(result ? loaded.empty() || loaded == std::vector<Material>{GaAs}
                           : !result.message.empty() && loaded == sentinel)
            << size << result.message;
    }
}

} // namespace
} // namespace tervane::test
