// Bad inputs, one row each, through the public entry points: the command-line tool as a black box, and
// the core's readers. Every row must end with a message that says what is wrong and the
// documented exit status, and leave what the user had as it was: every file byte for byte, the
// materials list, the loaded structure.

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "cli_test_support.h"
#include "engine/document.h"
#include "io/materials_loader.h"

namespace tervane::test {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr rlim_t fullDiskBytes = 600; // room for the messages, not for the files written
const std::string notFinite = "the solution is not finite (NaN or infinity)";
const std::string badSpacing = "the grid spacing dx must be a positive number";
const std::string fullDisk = "; the previous file is unchanged";

// GaAs as a TOML library, with `from` replaced by `to`.
std::string gaAsTomlWith(const std::string& from = "", const std::string& to = "")
{
    std::string text;
    if (!encodeMaterialsToml({GaAs}, text))
        throw std::runtime_error("GaAs does not write as TOML");
    return text.replace(text.find(from), from.size(), to);
}

// Two layers of n-GaAs, the first with `first` changed.
std::string twoLayers(void (*first)(Layer&))
{
    std::vector<Layer> layers{layerOf("GaAs", 2e-7, 1e23), layerOf("GaAs", 1e-7, 1e23)};
    first(layers[0]);
    return encodeDocument(layers, ContactKind::Neutral, 0.0);
}

// Each row runs in a fresh folder, its current folder, holding "m.tvm" (GaN, AlGaN, GaAs), "s.txt"
// (n-GaAs), "out.txt" and the folder "sub", plus the row's own files; "@name" in an argument stands
// for `name` there.
struct CliRow {
    std::string name;
    std::vector<std::pair<std::string, std::string>> files;
    Args arguments;
    std::string message; // a distinctive part of standard error
    int status;
    std::string created = {}; // a file the run may write (the lines of a sweep that stopped)
    rlim_t fileSizeLimit = RLIM_INFINITY;
    friend void PrintTo(const CliRow& row, std::ostream* out) { *out << row.name; }
};

Args solveOf(const std::string& structure, const Args& options = {})
{
    Args arguments{"solve", structure, "--materials", "@m.tvm"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    return arguments;
}

// A solve of "s.txt" that would write the band profile over "out.txt" and the status to "st.json".
Args usage(Args options)
{
    options.insert(options.end(), {"--bands", "@out.txt", "--status-json", "@st.json"});
    return solveOf("@s.txt", options);
}

// A sweep of "s.txt" over the thickness of the layer `set` names; `set` "@" for "0.t".
std::string sweepOf(const std::string& set = "0.t")
{
    return "structure = \"s.txt\"\nmaterials = \"m.tvm\"\n[[parameter]]\nname = \"d\"\nset = \"" + set +
           "\"\nvalues = [1000]\n[[figure]]\nname = \"p\"\nkind = \"passes\"\n";
}

// The first lines of a results table of the sweep with key `key`.
std::string tableOf(const std::string& key)
{
    return "# tervane sweep " + key + ", 1 points\npoint,d,p,status,message\n";
}

std::map<std::string, std::string> snapshot(const ScratchFolder& d)
{
    std::map<std::string, std::string> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(d.path()))
        if (entry.is_regular_file())
            files[entry.path().string()] = readFile(entry.path().string());
    return files;
}

class CliCatalogue : public testing::TestWithParam<CliRow> {};

TEST_P(CliCatalogue, SaysWhatIsWrongAndChangesNoFile)
{
    const CliRow& row = GetParam();
    ScratchFolder d;
    d.write("m.tvm", encodeMaterials({GaN, AlGaN, GaAs}));
    d.write("s.txt", nLayer);
    d.write("out.txt", "precious");
    fs::create_directory(d.path("sub"));
    for (const auto& [name, bytes] : row.files)
        d.write(name, bytes);
    Args arguments = row.arguments;
    for (std::string& argument : arguments)
        if (argument.starts_with("@"))
            argument = d.path(argument.substr(1));
    const std::map<std::string, std::string> before = snapshot(d);
    const CliRun run = runCli(arguments, d.path(), row.fileSizeLimit);

    EXPECT_EQ(run.status, row.status) << run.err;
    EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
    const bool solved = run.out.find("Solver error") != std::string::npos;
    EXPECT_TRUE(row.status == 2 ? run.out.empty() : !solved) << run.out;
    std::map<std::string, std::string> after = snapshot(d);
    after.erase(d.path(row.created));
    EXPECT_EQ(after, before);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, CliCatalogue, testing::Values(
    // Files that are folders, missing, cut short or of the other kind.
    CliRow{"FolderAsStructure", {}, {"layers", "@sub"}, "Could not open file: ", 1},
    CliRow{"MissingMaterialsFile", {}, {"layers", "@s.txt", "--materials", "@none.tvm"}, "none.tvm: Could not open file", 1},
    CliRow{"CutDocumentOverAnOutput", {{"cut.tvn", twoLayers([](Layer&) {}).substr(0, 150)}}, {"convert", "@cut.tvn", "@out.txt"}, "The file is truncated", 1},
    CliRow{"ScriptForcedAsDocument", {}, {"convert", "--document", "@s.txt", "@out.txt"}, "wrong version file!", 1},
    // Outputs that cannot be written, or would replace an input; a full disk keeps the previous file.
    CliRow{"ConvertIntoAMissingFolder", {}, {"convert", "@s.txt", "@no/o.tvn"}, "Could not open file", 1},
    CliRow{"ConvertOntoAFolder", {}, {"convert", "@s.txt", "@sub"}, "is a folder", 1},
    CliRow{"MaterialsOntoAFullDisk", {{"old.tvm", "old"}}, {"convert", "@m.tvm", "@old.tvm"}, "old.tvm" + fullDisk, 1, "", fullDiskBytes},
    CliRow{"DocumentOntoAFullDisk", {{"l.txt", "repeat=20\nGaAs t=10\n"}, {"old.tvn", "old"}}, {"convert", "@l.txt", "@old.tvn"}, "old.tvn" + fullDisk, 1, "", fullDiskBytes},
    CliRow{"ConvertOntoItsInput", {}, {"convert", "@s.txt", "@s.txt"}, "IN and OUT are the same file", 2},
    CliRow{"BandsOntoTheStructure", {}, solveOf("@s.txt", {"--bands", "@s.txt"}), "--bands names", 2},
    CliRow{"BandsIntoAMissingFolder", {}, solveOf("@s.txt", {"--bands", "@no/b.txt"}), "The band profile could not be written", 1},
    CliRow{"ChargesOntoAFolder", {}, solveOf("@s.txt", {"--charges", "@sub"}), "Could not open file", 1},
    CliRow{"CvOntoAFolder", {}, solveOf("@s.txt", {"--left", "fixed:0.8", "--cv", "0:1:0.5", "--cv-out", "@sub"}), "Can't open output CV file.", 1},
    // Counts and lengths no file of this size can hold; a count below 0 is an empty list.
    CliRow{"MaterialCountOf2e9", {{"c.tvm", i32(2000000000)}}, {"materials", "@c.tvm"}, "announces 2000000000 material records", 1},
    CliRow{"NegativeMaterialCount", {{"c.tvm", i32(-5)}}, {"materials", "@c.tvm"}, "", 0},
    CliRow{"LayerCountOf2e9", {{"c.tvn", i32(2) + i32(2000000000)}}, {"layers", "@c.tvn"}, "announces 2000000000 layer records", 1},
    CliRow{"NameOf4GB", {{"n.tvm", i32(1) + std::string(384, '\0') + "\xFF\xFF\xFF\xFE\xFF\xFF\xFF" + std::string(36, '\0')}}, {"materials", "@n.tvm"}, "The file is truncated: the text at byte 388 claims 4294967294 characters, but only 36 bytes are left (reading material record 1 of 1)", 1},
    CliRow{"NameOf16BitCharacters", {{"n.tvm", i32(1) + std::string(384, '\0') + "\xFF\xFE\xFF\x03" + std::string(36, '\0')}}, {"materials", "@n.tvm"}, "The file is corrupt: the text at byte 388 is marked as 16-bit characters, which these files never hold (reading material record 1 of 1)", 1},
    // NaN and infinity in files and options, a permittivity of 0 (the polarization potential divides by
    // it); grids that cannot be built.
    CliRow{"ZeroPermittivity", {{"m.tvm", encodeMaterials({GaAs, [] { Material m = GaAs; m.name = "Bad"; m.eps = Quadratic(0, 0, 0); return m; }()})}, {"in.txt", "GaAs t=500 Nd=1e17\nBad t=200\nGaAs t=500 Nd=1e17\n"}}, solveOf("@in.txt"), "Layer 1 (Bad): " + notFinite, 1},
    CliRow{"NanInToml", {{"m.toml", gaAsTomlWith("[12.9", "[nan")}, {"out.tvm", "old"}}, {"convert", "@m.toml", "@out.tvm"}, "\"eps\"", 1},
    CliRow{"InfiniteBarrierOption", {}, solveOf("@s.txt", {"--left", "fixed:inf"}), "\"inf\" is not a finite number", 2},
    CliRow{"ZeroSpacing", {{"in.txt", "GaAs t=100 dx=0\n"}}, solveOf("@in.txt"), "Layer 0 (GaAs): " + badSpacing, 1},
    CliRow{"NanThicknessInADocument", {{"d.tvn", twoLayers([](Layer& layer) { layer.thickness = nan; })}}, solveOf("@d.tvn"), "Layer 0 (GaAs): the thickness must be a finite number of 0 or more", 1},
    CliRow{"NanSpacingInADocument", {{"d.tvn", twoLayers([](Layer& layer) { layer.dx = nan; })}}, solveOf("@d.tvn"), "Layer 0 (GaAs): " + badSpacing, 1},
    CliRow{"BillionsOfPoints", {{"in.txt", "GaAs t=1e10 dx=1\n"}}, solveOf("@in.txt"), "more than 2000000 grid points", 1},
    // Scripts that would never end or blow up; a line comes in pieces of 2047 bytes, each a line.
    CliRow{"RepeatedAMillionMillionTimes", {{"r.txt", "repeat=1000000000000\nGaAs\n"}}, {"layers", "@r.txt"}, "more than 1000000 layers (line #1)", 1},
    CliRow{"Nested10000Deep", {{"r.txt", [] { std::string s; for (int i = 0; i < 10000; ++i) s += "repeat=1\n"; return s + "GaAs\n"; }()}}, {"layers", "@r.txt"}, "Repeat blocks nested deeper than 64 in line #65", 1},
    CliRow{"LineOf1MB", {{"in.txt", "GaAs t=2000 " + std::string(1 << 20, 'x') + "\n"}}, solveOf("@in.txt"), "Material not found!\nLayer 001 names the material \"xxxx", 1},
    // Names: NUL, names the list does not hold; TOML keys missing or misspelt; lists TOML cannot hold.
    CliRow{"NulEndsAScriptLine", {{"in.txt", std::string("Ga\0As t=100\n", 12)}}, solveOf("@in.txt"), "names the material \"Ga\"", 1},
    CliRow{"NulInADocumentName", {{"d.tvn", encodeDocument({layerOf(std::string("Ga\0As", 5), 1e-7)}, ContactKind::Neutral, 0.0)}}, solveOf("@d.tvn"), "names the material \"Ga\\x00As\"", 1},
    CliRow{"MaterialInOtherCase", {{"in.txt", "gan t=100\n"}}, {"layers", "@in.txt", "--materials", "@m.tvm"}, "Material not found!\nLayer 000 names the material \"gan\"", 1},
    CliRow{"UnknownSubstrate", {}, solveOf("@s.txt", {"--substrate", "gan"}), "The substrate material \"gan\" is not in", 1},
    CliRow{"TomlWithoutAKey", {{"m.toml", gaAsTomlWith("e33 = [0.0, 0.0, 0.0]\n", "")}}, {"materials", "@m.toml"}, "\"polarization.e33\"", 1},
    CliRow{"MisspeltTomlKey", {{"m.toml", gaAsTomlWith("\nEg ", "\nEgg")}, {"out.tvm", "old"}}, {"convert", "@m.toml", "@out.tvm"}, "\"Egg\"", 1},
    CliRow{"BinaryBytesNamedToml", {{"m.toml", encodeMaterials({GaAs})}, {"out.tvm", "old"}}, {"convert", "@m.toml", "@out.tvm"}, "m.toml", 1},
    CliRow{"NameTwiceWrittenAsToml", {{"d.tvm", encodeMaterials({GaN, GaN})}}, {"convert", "@d.tvm", "@d.toml"}, "material 1", 1},
    // Sweeps and solver settings. Holes overflow at the contact 20 V into reverse bias.
    CliRow{"CvStepZero", {}, solveOf("@s.txt", {"--cv", "0:1:0"}), "STEP must be greater than 0", 2},
    CliRow{"CvStepTooSmallToEnd", {}, solveOf("@s.txt", {"--cv", "0:1:1e-9"}), "more than 100000 biases", 2},
    CliRow{"CvStopsAtANonFiniteBias", {}, solveOf("@s.txt", {"--left", "fixed:0.8", "--cv", "0:40:20", "--cv-out", "@cv.txt"}), "Layer 0 (GaAs): " + notFinite, 1, "cv.txt"},
    // Sweeps: a file that does not read, layers it names that are not there, tables of other sweeps.
    CliRow{"SweepFileNotToml", {{"w.toml", "structure = \n"}}, {"sweep", "@w.toml", "--out", "@r.csv"}, "w.toml: The sweep file is not valid TOML: line 1", 1},
    CliRow{"SweepOfAnUnknownLayerName", {{"w.toml", sweepOf("cap.t")}}, {"sweep", "@w.toml", "--out", "@r.csv"}, "\"cap\" is neither a layer index nor a name given in [layers]", 1},
    CliRow{"SweepOfALayerNotThere", {{"w.toml", sweepOf("3.t")}}, {"sweep", "@w.toml", "--out", "@r.csv"}, "parameter \"d\" sets layer 3; the structure has 1 layers, 0 to 0", 1},
    CliRow{"SweepOntoAnotherSweepsTable", {{"w.toml", sweepOf()}, {"r.csv", tableOf("0123456789abcdef")}}, {"sweep", "@w.toml", "--out", "@r.csv"}, "r.csv holds the results of another sweep (key 0123456789abcdef", 1},
    CliRow{"SweepOntoAFileThatIsNoTable", {{"w.toml", sweepOf()}}, {"sweep", "@w.toml", "--out", "@out.txt"}, "out.txt is not a results table", 1},
    CliRow{"MergeOfTwoSweeps", {{"a.csv", tableOf("0123456789abcdef")}, {"b.csv", tableOf("fedcba9876543210")}}, {"sweep-merge", "@m.csv", "@a.csv", "@b.csv"}, "b.csv comes from another sweep", 1},
    CliRow{"ShardBeyondItsCount", {{"w.toml", sweepOf()}}, {"sweep", "@w.toml", "--shard", "2/2"}, "a shard K/N needs N >= 1 and 0 <= K < N", 2},
    // Command lines wrong in themselves: nothing is read or written.
    CliRow{"UnknownSubcommand", {}, {"solvent"}, "A subcommand is required", 2},
    CliRow{"MaterialsToADocument", {{"m.toml", gaAsTomlWith()}}, {"convert", "@m.toml", "@o.tvn"}, "not to", 2},
    CliRow{"MaterialsByContentToADocument", {{"m.txt", gaAsTomlWith()}}, {"convert", "@m.txt", "@o.tvn"}, "holds materials", 2},
    CliRow{"ContactForMaterials", {{"m.toml", gaAsTomlWith()}}, {"convert", "@m.toml", "@o.tvm", "--left", "fixed:1"}, "--left applies to structures", 2},
    CliRow{"StructureToAMaterialsFile", {}, {"convert", "--script", "@s.txt", "@o.toml"}, "A structure is written as a document file", 2},
    CliRow{"ValenceAlone", {}, usage({"--valence"}), "--valence requires --schroedinger", 2},
    CliRow{"DampingNotANumber", {}, usage({"--damping", "0.5x"}), "\"0.5x\" is not a number", 2},
    CliRow{"DampingAboveOne", {}, usage({"--damping", "1.5"}), "the damping must lie between 0 and 1", 2},
    CliRow{"NegativeIterationLimit", {}, usage({"--poisson-iterations", "-1"}), "must be 0 or more", 2},
    CliRow{"IterationsNotWhole", {}, usage({"--poisson-iterations", "2.5"}), "\"2.5\" is not a whole number", 2},
    CliRow{"IterationsBeyondInt", {}, usage({"--poisson-iterations", "99999999999"}), "is too large for the iteration limit", 2},
    CliRow{"FixedWithoutBarrier", {}, usage({"--left", "fixed"}), "a fixed contact needs its barrier height", 2},
    CliRow{"ContactInCapitals", {}, usage({"--left", "Neutral"}), "\"Neutral\" is not a contact", 2},
    CliRow{"BarrierBeyondDoubles", {}, usage({"--right", "fixed:1e999"}), "is beyond the range of numbers", 2},
    CliRow{"SubstrateWithoutComposition", {}, usage({"--substrate", "GaN:"}), "composition: a number is missing", 2},
    CliRow{"SubstrateWithoutName", {}, usage({"--substrate", ":0.2"}), "the substrate material's name is missing", 2},
    CliRow{"CvWithoutStep", {}, usage({"--cv", "0:1"}), "is not a sweep; use START:STOP:STEP", 2},
    CliRow{"SheetRangeOfOnePoint", {}, usage({"--sheet-range", "10"}), "is not a range; use FIRST:LAST", 2},
    CliRow{"SheetRangeBelowZero", {}, usage({"--sheet-range", "-1:3"}), "FIRST must be 0 or more", 2},
    CliRow{"CvOutWithoutCv", {}, usage({"--cv-out", "cv.txt"}), "--cv-out requires --cv", 2}),
    [](const testing::TestParamInfo<CliRow>& info) { return info.param.name; });
// clang-format on

// Cut at every byte, a small document file (both versions) and a small materials file are refused
// with a message, and the structure or list loaded before stays exactly as it was. Each cut is a file
// of its own: rewriting one file a thousand times waits on the disk.
TEST(Truncation, EveryPrefixIsRefusedAndKeepsWhatWasLoaded)
{
    ScratchFolder d;
    const Layer layer = layerOf("GaN", 1e-8), kept = layerOf("kept", 1e-9);
    const std::vector<Material> before = {GaN, AlGaN};
    const std::string materials = encodeMaterials({AlGaN, GaN}); // a cut list must not pass for the kept one
    for (const std::string& file : {encodeDocument({layer, layer}, ContactKind::Fixed, 0.5),
                                    documentVersion1({layer}, 1, 0.5), materials}) {
        for (std::size_t size = 0; size < file.size(); ++size) {
            Document document;
            document.layers = {kept};
            std::vector<Material> loaded = before;
            const std::string cut = d.write(std::to_string(size), file.substr(0, size));
            const IoResult result =
                file == materials ? loadMaterials(cut, loaded) : loadDocumentFile(cut, document);
            EXPECT_TRUE(result.message.starts_with("The file is truncated: ")) << size << result.message;
            EXPECT_EQ(document.layers, std::vector<Layer>{kept});
            EXPECT_EQ(document.grid.leftBarrier, Document().grid.leftBarrier);
            EXPECT_EQ(loaded, before);
        }
    }
}

} // namespace
} // namespace tervane::test
