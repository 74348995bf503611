// Bad inputs, one row each, through the public entry points: the command-line tool as a black box,
// and the core's readers, script parser, solve and C-V sweep. Every row must end with a message that
// says what is wrong and the documented exit status, and leave what the user had as it was: every
// file byte for byte, the materials list, the loaded structure.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "byte_builder.h"
#include "cli_runner.h"
#include "engine/cv_profile.h"
#include "engine/grid.h"
#include "engine/observer.h"
#include "engine/solve_driver.h"
#include "file_images.h"
#include "io/document_file.h"
#include "io/import_script.h"
#include "io/materials_file.h"
#include "io/materials_loader.h"
#include "io/materials_toml.h"
#include "model/document.h"

namespace tervane::test {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
const std::string notFinite = "the solution is not finite (NaN or infinity)";
const std::string badSpacing = "the grid spacing dx must be a positive number";

// GaAs, named `name`, with one law replaced.
StoredMaterial gaAsWith(Law StoredMaterial::*law, const Law& value, const std::string& name)
{
    StoredMaterial material = GaAs;
    material.*law = value;
    material.name = name;
    return material;
}

// A permittivity of 0, which the polarization potential divides by.
const StoredMaterial zeroPermittivity = gaAsWith(&StoredMaterial::eps, {0, 0, 0}, "Bad");

// The materials of a file built by file_images.h, which always reads.
std::vector<Material> decoded(const std::string& bytes)
{
    std::vector<Material> materials;
    decodeMaterials(bytes, materials);
    return materials;
}

// GaAs as a TOML library, with `from` replaced by `to`.
std::string gaAsTomlWith(const std::string& from = "", const std::string& to = "")
{
    std::string text;
    encodeMaterialsToml(decoded(materialsFile({GaAs})), text);
    return text.replace(text.find(from), from.size(), to);
}

// A materials file of one record of zeros whose name has the length prefix `prefix`.
std::string recordWithNamePrefix(const std::string& prefix)
{
    return ByteBuilder().int32(1).raw(std::string(384, '\0') + prefix + std::string(36, '\0')).bytes();
}

const std::string twoLayers = documentVersion2({{.material = "GaAs", .thickness = 2e-7, .Nd = 1e23},
                                                {.material = "GaAs", .thickness = 1e-7, .Nd = 1e23}});

// The document above with `bytes` at `offset`: 16 the first layer's dx, 61 its Nd, size - 12 the
// contact kind, size - 8 the barrier.
std::string twoLayersWith(std::size_t offset, const ByteBuilder& bytes)
{
    return std::string(twoLayers).replace(offset, bytes.bytes().size(), bytes.bytes());
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
};

void PrintTo(const CliRow& row, std::ostream* out)
{
    *out << row.name;
}

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
    d.write("m.tvm", materialsFile({GaN, AlGaN, GaAs}));
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
    const CliRun run = runCliIn(d.path(""), arguments);
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

const std::string fixedAtInfinity = twoLayersWith(twoLayers.size() - 12, ByteBuilder().int32(1).float64(inf));
const std::string nanDoping = twoLayersWith(61, ByteBuilder().float64(nan));
const std::string nanSpacing = twoLayersWith(16, ByteBuilder().float64(nan));
const std::string nulName = documentVersion2({{.material = std::string("Ga\0As", 5), .thickness = 1e-7}});
const std::string layerCountOf2e9 = ByteBuilder().int32(2).int32(2000000000).bytes();
const std::string withZeroPermittivity = materialsFile({GaAs, zeroPermittivity});
const char* const badLayerBetween = "GaAs t=500 Nd=1e17\nBad t=200\nGaAs t=500 Nd=1e17\n";
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
    CliRow{"CutDocumentOverAnOutput", {{"cut.tvn", twoLayers.substr(0, 150)}}, {"convert", "@cut.tvn", "@out.txt"}, "The file is truncated", 1},
    CliRow{"ScriptForcedAsDocument", {}, {"convert", "--document", "@s.txt", "@out.txt"}, "wrong version file!", 1},
    // Outputs that cannot be written, or would replace an input.
    CliRow{"ConvertIntoAMissingFolder", {}, {"convert", "@s.txt", "@no/o.tvn"}, "Could not open file", 1},
    CliRow{"ConvertOntoAFolder", {}, {"convert", "@s.txt", "@sub"}, "is a folder", 1},
    CliRow{"MaterialsIntoAMissingFolder", {}, {"convert", "@m.tvm", "@no/o.tvm"}, "Could not open file", 1},
    CliRow{"MaterialsIntoAReadOnlyFolder", {{"ro/keep.tvm", "old"}}, {"convert", "@m.tvm", "@ro/keep.tvm"}, "Could not open file", 1, "", "ro/"},
    CliRow{"ConvertOntoItsInput", {}, {"convert", "@s.txt", "@s.txt"}, "IN and OUT are the same file", 2},
    CliRow{"BandsOntoTheStructure", {}, solveOf("@s.txt", {"--bands", "@s.txt"}), "--bands names", 2},
    CliRow{"BandsIntoAMissingFolder", {}, solveOf("@s.txt", {"--bands", "@no/b.txt"}), "The band profile could not be written", 1},
    CliRow{"ChargesOntoAFolder", {}, solveOf("@s.txt", {"--charges", "@sub"}), "Could not open file", 1},
    CliRow{"CvOntoAFolder", {}, solveOf("@s.txt", {"--left", "fixed:0.8", "--cv", "0:1:0.5", "--cv-out", "@sub"}), "Can't open output CV file.", 1},
    // Counts and lengths no file of this size can hold; a count below 0 is an empty list.
    CliRow{"MaterialCountOf2e9", {{"c.tvm", ByteBuilder().int32(2000000000).bytes()}}, {"materials", "@c.tvm"}, "announces 2000000000 material records", 1},
    CliRow{"NegativeMaterialCount", {{"c.tvm", ByteBuilder().int32(-5).bytes()}}, {"materials", "@c.tvm"}, "", 0},
    CliRow{"LayerCountOf2e9", {{"c.tvn", layerCountOf2e9}}, {"layers", "@c.tvn"}, "announces 2000000000 layer records", 1},
    CliRow{"NameOf16BitCharacters", {{"n.tvm", recordWithNamePrefix("\xFF\xFE\xFF\x03")}}, {"materials", "@n.tvm"}, "The file is corrupt: the text at byte 388 is marked as 16-bit characters, which these files never hold (reading material record 1 of 1)", 1},
    // NaN and infinity in files, scripts and options.
    CliRow{"ZeroPermittivity", {{"m.tvm", withZeroPermittivity}, {"in.txt", badLayerBetween}}, solveOf("@in.txt"), "Layer 1 (Bad): " + notFinite, 1},
    CliRow{"NanDopingInADocument", {{"d.tvn", nanDoping}}, solveOf("@d.tvn"), "Layer 0 (GaAs): " + notFinite, 1},
    CliRow{"InfiniteBarrierInADocument", {{"d.tvn", fixedAtInfinity}}, solveOf("@d.tvn"), "Layer 0 (GaAs): " + notFinite, 1},
    CliRow{"NanInToml", {{"m.toml", gaAsTomlWith("[12.9", "[nan")}, {"out.tvm", "old"}}, {"convert", "@m.toml", "@out.tvm"}, "\"eps\"", 1},
    CliRow{"NanInAScript", {{"in.txt", "GaAs t=2000 Nd=nan\n"}}, solveOf("@in.txt"), "Invalid number in line #1: GaAs t=2000 Nd=nan", 0},
    CliRow{"NanDamping", {}, solveOf("@s.txt", {"--damping", "nan"}), "\"nan\" is not a finite number", 2},
    CliRow{"InfiniteBarrierOption", {}, solveOf("@s.txt", {"--left", "fixed:inf"}), "\"inf\" is not a finite number", 2},
    // Grids that cannot be built.
    CliRow{"ZeroSpacing", {{"in.txt", "GaAs t=100 dx=0\n"}}, solveOf("@in.txt"), "Layer 0 (GaAs): " + badSpacing, 1},
    CliRow{"NegativeSpacing", {{"in.txt", "GaAs t=100 dx=-5\n"}}, solveOf("@in.txt"), "Layer 0 (GaAs): " + badSpacing, 1},
    CliRow{"NanSpacingInADocument", {{"d.tvn", nanSpacing}}, solveOf("@d.tvn"), "Layer 0 (GaAs): " + badSpacing, 1},
    CliRow{"BillionsOfPoints", {{"in.txt", "GaAs t=1e10 dx=1\n"}}, solveOf("@in.txt"), "more than 2000000 grid points", 1},
    // Scripts that would never end or blow up; a line comes in pieces of 2047 bytes, each a line.
    CliRow{"RepeatedAMillionMillionTimes", {{"r.txt", "repeat=1000000000000\nGaAs\n"}}, {"layers", "@r.txt"}, "more than 1000000 layers (line #1)", 1},
    CliRow{"Nested10000Deep", {{"r.txt", nested10000Deep()}}, {"layers", "@r.txt"}, "Repeat blocks nested deeper than 64 in line #65", 1},
    CliRow{"LineOf1MB", {{"in.txt", lineOf1MB}}, solveOf("@in.txt"), "Material not found!\nLayer 001 names the material \"xxxx", 1},
    // Names: bytes above 127, NUL, names the list does not hold.
    CliRow{"HighByteInAScriptName", {{"in.txt", "Ga\xFF" "As t=100\n"}}, solveOf("@in.txt"), "Layer 000 names the material \"Ga\\xFFAs\"", 1},
    CliRow{"NulEndsAScriptLine", {{"in.txt", std::string("Ga\0As t=100\n", 12)}}, solveOf("@in.txt"), "names the material \"Ga\"", 1},
    CliRow{"NulInADocumentName", {{"d.tvn", nulName}}, solveOf("@d.tvn"), "names the material \"Ga\\x00As\"", 1},
    CliRow{"MaterialInOtherCase", {{"in.txt", "gan t=100\n"}}, {"layers", "@in.txt", "--materials", "@m.tvm"}, "Material not found!\nLayer 000 names the material \"gan\"", 1},
    CliRow{"UnknownMaterial", {{"in.txt", "GaAs t=100\nInP t=100\n"}}, solveOf("@in.txt"), "Material not found!\nLayer 001 names the material \"InP\"", 1},
    CliRow{"UnknownSubstrate", {}, solveOf("@s.txt", {"--substrate", "gan"}), "The substrate material \"gan\" is not in", 1},
    CliRow{"TomlWithoutAKey", {{"m.toml", gaAsTomlWith("e33 = [0.0, 0.0, 0.0]\n", "")}}, {"materials", "@m.toml"}, "\"polarization.e33\"", 1},
    CliRow{"MisspeltTomlKey", {{"m.toml", gaAsTomlWith("\nEg ", "\nEgg")}, {"out.tvm", "old"}}, {"convert", "@m.toml", "@out.tvm"}, "\"Egg\"", 1},
    CliRow{"BinaryBytesNamedToml", {{"m.toml", materialsFile({GaAs})}, {"out.tvm", "old"}}, {"convert", "@m.toml", "@out.tvm"}, "m.toml", 1},
    CliRow{"NameTwiceWrittenAsToml", {{"d.tvm", materialsFile({GaN, GaN})}}, {"convert", "@d.tvm", "@d.toml"}, "material 1", 1},
    // Sweeps and solver settings. Holes overflow at the contact 20 V into reverse bias.
    CliRow{"CvStepZero", {}, solveOf("@s.txt", {"--cv", "0:1:0"}), "STEP must be greater than 0", 2},
    CliRow{"CvStepNegative", {}, solveOf("@s.txt", {"--cv", "0:1:-0.5"}), "STEP must be greater than 0", 2},
    CliRow{"CvStepNan", {}, solveOf("@s.txt", {"--cv", "0:1:nan"}), "STEP: \"nan\" is not a finite number", 2},
    CliRow{"CvStepTooSmallToEnd", {}, solveOf("@s.txt", {"--cv", "0:1:1e-9"}), "more than 100000 biases", 2},
    CliRow{"CvStopsAtANonFiniteBias", {}, solveOf("@s.txt", {"--left", "fixed:0.8", "--cv", "0:40:20", "--cv-out", "@cv.txt"}), "Layer 0 (GaAs): " + notFinite, 1, "cv.txt"},
    CliRow{"NegativeIterationLimit", {}, solveOf("@s.txt", {"--poisson-iterations", "-1"}), "must be 0 or more", 2},
    // Command lines wrong in themselves: nothing is read or written.
    CliRow{"NoSubcommand", {}, {}, "A subcommand is required", 2},
    CliRow{"UnknownSubcommand", {}, {"solvent"}, "A subcommand is required", 2},
    CliRow{"UnknownOption", {}, {"layers", "@s.txt", "--colour"}, "The following argument was not expected: --colour", 2},
    CliRow{"NoStructure", {}, {"layers"}, "STRUCTURE is required", 2},
    CliRow{"NoMaterialsFile", {}, {"layers", "@s.txt", "--materials"}, "--materials: 1 required FILE missing", 2},
    CliRow{"TwoStructures", {}, {"layers", "@s.txt", "@s.txt"}, "The following argument was not expected", 2},
    CliRow{"DocumentAndScript", {}, {"layers", "--document", "--script", "@s.txt"}, "--document excludes --script", 2},
    CliRow{"NoListToList", {}, {"materials"}, "FILE is required", 2},
    CliRow{"TwoListsToList", {}, {"materials", "@m.tvm", "@m.tvm"}, "The following argument was not expected", 2},
    CliRow{"NoOut", {}, {"convert", "@s.txt"}, "OUT is required", 2},
    CliRow{"MaterialsToADocument", {{"m.toml", gaAsTomlWith()}}, {"convert", "@m.toml", "@o.tvn"}, "not to", 2},
    CliRow{"MaterialsByContentToADocument", {{"m.txt", gaAsTomlWith()}}, {"convert", "@m.txt", "@o.tvn"}, "holds materials", 2},
    CliRow{"ContactForMaterials", {{"m.toml", gaAsTomlWith()}}, {"convert", "@m.toml", "@o.tvm", "--left", "fixed:1"}, "--left applies to structures", 2},
    CliRow{"StructureToAMaterialsFile", {}, {"convert", "--script", "@s.txt", "@o.toml"}, "A structure is written as a document file", 2},
    CliRow{"ContactWithoutBarrier", {}, {"convert", "@s.txt", "@o.tvn", "--left", "fixed"}, "a fixed contact needs its barrier height", 2},
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

struct Outcome {
    bool ok;
    std::string message;
};

const std::vector<Material> sentinel = decoded(materialsFile({GaN, AlGaN}));

// Reads `bytes` as a materials file into a list that must come out as it went in.
// A name ending in "/" is a folder instead.
Outcome readMaterials(const TempDir& d, const std::string& bytes, const std::string& name = "m.tvm")
{
    std::vector<Material> materials = sentinel;
    if (name.ends_with("/"))
        fs::create_directory(d.path(name));
    const IoResult result =
        loadMaterials(name.ends_with("/") ? d.path(name) : d.write(name, bytes), materials);
    EXPECT_EQ(materials, sentinel);
    return {result.ok, result.message};
}

// Opens `bytes` as a document file over a loaded structure that must come out as it went in.
Outcome openDocument(const TempDir& d, const std::string& bytes, const std::string& name = "d.tvn")
{
    Document document;
    document.layers.resize(2);
    document.layers[1].material = "kept";
    document.grid.leftBarrier = 0.25;
    const Document before = document;
    const IoResult result = loadDocumentFile(d.write(name, bytes), document);
    EXPECT_EQ(document.layers, before.layers);
    EXPECT_EQ(document.grid.leftBarrier, before.grid.leftBarrier);
    return {result.ok, result.message};
}

Outcome parse(const std::string& script)
{
    std::vector<Layer> layers;
    CollectingObserver observer;
    const IoResult result = parseScriptText(script, layers, observer);
    return {result.ok, result.message};
}

Document documentOf(const std::vector<StoredMaterial>& materials, const std::string& script)
{
    Document document;
    document.materials = decoded(materialsFile(materials));
    CollectingObserver ignored;
    EXPECT_TRUE(parseScriptText(script, document.layers, ignored));
    return document;
}

// Solves; the layers stay as they were and no point of the grid is left holding NaN or infinity.
Outcome solveDocument(Document document)
{
    const std::string layers = encodeDocument(document.layers, 0, 0.0);
    CollectingObserver observer;
    const bool ok = solve(document, observer);
    EXPECT_EQ(encodeDocument(document.layers, 0, 0.0), layers);
    for (const GridPoint& point : document.grid.points)
        EXPECT_TRUE(std::isfinite(point.phi) && std::isfinite(point.conductionEdge()));
    std::string messages;
    for (const std::string& message : observer.messages)
        messages += message + "\n";
    return {ok, messages};
}

Outcome sweep(const TempDir& d, double start, double stop, double step)
{
    Document document = documentOf({GaAs}, nLayer);
    document.grid.leftContact = 1;
    document.grid.leftBarrier = 0.8;
    CollectingObserver observer;
    EXPECT_TRUE(solve(document, observer));
    const bool ok = runCvProfile(document, start, stop, step, d.path("cv.txt"), observer);
    EXPECT_EQ(document.grid.leftBarrier, 0.8);
    return {ok, observer.messages.empty() ? "" : observer.messages.front()};
}

struct CoreRow {
    std::string name;
    std::function<Outcome(const TempDir&)> run;
    std::string message;
};

void PrintTo(const CoreRow& row, std::ostream* out)
{
    *out << row.name;
}

class CoreCatalogue : public testing::TestWithParam<CoreRow> {};

TEST_P(CoreCatalogue, IsRefusedWithAMessage)
{
    TempDir d;
    const Outcome outcome = GetParam().run(d);
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(outcome.message.find(GetParam().message), std::string::npos) << outcome.message;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, CoreCatalogue, testing::Values(
    CoreRow{"EmptyMaterialsFile", [](auto& d) { return readMaterials(d, ""); }, "The file is truncated: expected an int32 at byte 0, but only 0 bytes are left (reading the material count)"},
    CoreRow{"MaterialsFolder", [](auto& d) { return readMaterials(d, "", "sub/"); }, "is a folder"},
    CoreRow{"MaterialCountOf2e9", [](auto& d) { return readMaterials(d, ByteBuilder().int32(2000000000).bytes()); }, "The file is truncated: it announces 2000000000 material records, but the 0 bytes that follow cannot hold them"},
    CoreRow{"NameOf4GB", [](auto& d) { return readMaterials(d, recordWithNamePrefix("\xFF\xFF\xFF\xFE\xFF\xFF\xFF")); }, "The file is truncated: the text at byte 388 claims 4294967294 characters, but only 36 bytes are left (reading material record 1 of 1)"},
    CoreRow{"InfinityInToml", [](auto& d) { return readMaterials(d, gaAsTomlWith("[0.067", "[-inf"), "m.toml"); }, "-inf"},
    CoreRow{"EmptyDocument", [](auto& d) { return openDocument(d, ""); }, "The file is truncated"},
    CoreRow{"LayerCountOf2e9", [](auto& d) { return openDocument(d, layerCountOf2e9); }, "The file is truncated: it announces 2000000000 layer records, but the 0 bytes that follow cannot hold them"},
    CoreRow{"UnknownVersion", [](auto& d) { return openDocument(d, ByteBuilder().int32(3).bytes()); }, "wrong version file!"},
    CoreRow{"RepeatedAMillionMillionTimes", [](auto&) { return parse("repeat=1000000000000\nGaAs\n"); }, "The script makes more than 1000000 layers (line #1)"},
    CoreRow{"Nested10000Deep", [](auto&) { return parse(nested10000Deep()); }, "Repeat blocks nested deeper than 64 in line #65"},
    CoreRow{"NegativeSpacing", [](auto&) { return solveDocument(documentOf({GaAs}, "GaAs t=100 dx=-1\n")); }, "Layer 0 (GaAs): " + badSpacing},
    CoreRow{"NanThickness", [](auto&) { Document document = documentOf({GaAs}, nLayer); document.layers[0].thickness = nan; return solveDocument(document); }, "Layer 0 (GaAs): the thickness must be a finite number of 0 or more"},
    CoreRow{"BillionsOfPoints", [](auto&) { return solveDocument(documentOf({GaAs}, "GaAs t=1e10 dx=1\n")); }, "more than 2000000 grid points"},
    CoreRow{"ZeroPermittivity", [](auto&) { return solveDocument(documentOf({GaAs, zeroPermittivity}, badLayerBetween)); }, "Layer 1 (Bad): " + notFinite},
    CoreRow{"OverflowingLaw", [](auto&) { return solveDocument(documentOf({gaAsWith(&StoredMaterial::Eg, {1.4, 0, 1e308}, "GaAs")}, "GaAs t=2000 x=0,10\n")); }, "Layer 0 (GaAs): " + notFinite},
    CoreRow{"UnknownMaterial", [](auto&) { return solveDocument(documentOf({GaAs}, "InP t=100\n")); }, "Material not found!"},
    CoreRow{"CvStepZero", [](auto& d) { return sweep(d, 0, 1, 0); }, "Step must be greater than 0"},
    CoreRow{"CvStepNegative", [](auto& d) { return sweep(d, 0, 1, -0.5); }, "Step must be greater than 0"},
    CoreRow{"CvStepNan", [](auto& d) { return sweep(d, 0, 1, nan); }, "must be finite numbers"},
    // A Step that does not move a barrier of 0.8 eV: the sweep would never end.
    CoreRow{"CvStepTooSmallToMove", [](auto& d) { return sweep(d, 0, 1, 1e-20); }, "more than 100000 biases"},
    // Holes overflow at the contact 20 V into reverse bias: the line of 0 V stays.
    CoreRow{"CvStopsAtANonFiniteBias", [](auto& d) { const Outcome outcome = sweep(d, 0, 40, 20); EXPECT_EQ(linesOf(readFile(d.path("cv.txt"))).size(), 2u); return outcome; }, "Layer 0 (GaAs): " + notFinite}),
    [](const testing::TestParamInfo<CoreRow>& info) { return info.param.name; });
// clang-format on

// Cut at every byte, a small document file (both versions) and a small materials file are refused
// with a message, and the structure or list loaded before stays exactly as it was. Each cut is a file
// of its own: rewriting one file a thousand times waits on the disk.
TEST(Truncation, EveryPrefixIsRefusedAndKeepsWhatWasLoaded)
{
    TempDir d;
    const StoredLayer layer{.material = "GaN", .thickness = 1e-8};
    for (const std::string& file :
         {documentVersion2({layer, layer}, 1, 0.5), documentVersion1({layer}, 1, 0.5)}) {
        for (std::size_t size = 0; size < file.size(); ++size) {
            const Outcome outcome = openDocument(d, file.substr(0, size), std::to_string(size) + ".tvn");
            ASSERT_FALSE(outcome.ok) << size;
            EXPECT_TRUE(outcome.message.starts_with("The file is truncated: ")) << size << outcome.message;
        }
    }
    const std::string materials = materialsFile({GaN, AlGaN});
    for (std::size_t size = 0; size < materials.size(); ++size) {
        const Outcome outcome = readMaterials(d, materials.substr(0, size), std::to_string(size) + ".tvm");
        ASSERT_FALSE(outcome.ok) << size;
        EXPECT_TRUE(outcome.message.starts_with("The file is truncated: ")) << size << outcome.message;
    }
    // A TOML library cut anywhere holds no material, all of it, or is refused with the list kept.
    const std::string toml = gaAsTomlWith();
    const std::vector<Material> whole = decoded(materialsFile({GaAs}));
    for (std::size_t size = 0; size < toml.size(); ++size) {
        std::vector<Material> materials = sentinel;
        const IoResult result = decodeMaterialsToml(toml.substr(0, size), materials);
        EXPECT_TRUE(result ? materials.empty() || materials == whole
                           : !result.message.empty() && materials == sentinel)
            << size << result.message;
    }
}

} // namespace
} // namespace tervane::test
