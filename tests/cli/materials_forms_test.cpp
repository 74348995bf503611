// The two forms of a materials list, the TOML library and the binary materials file: listed by
// `materials`, converted both ways by `convert`, and taken by `solve --materials`; and the contact a
// converted structure stores.

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "byte_builder.h"
#include "cli_runner.h"
#include "file_images.h"

namespace tervane::test {
namespace {

using Args = std::vector<std::string>;

// Two Binary materials with distinct laws in every slot, so that a law landing in the wrong place of
// the binary record shows.
const StoredMaterial first{.name = "GaN",
                           .Eg = {3.4376, 0, 0},
                           .dEc = {0.7976, 0, 0},
                           .eps = {9.5, 0, 0},
                           .EaShallow = {0.17, 0, 0},
                           .EdShallow = {0.015, 0, 0},
                           .EaDeep = {0.9, 0, 0},
                           .EdDeep = {1.65, 0, 0},
                           .me = {0.2, 0, 0},
                           .mhh = {1.887, 0, 0},
                           .mlh = {0.139, 0, 0},
                           .a = {3.189, 0, 0},
                           .Psp = {-0.029, 0, 0},
                           .c13 = {103, 0, 0},
                           .c33 = {405, 0, 0},
                           .e31 = {-0.49, 0, 0},
                           .e33 = {0.73, 0, 0}};

const StoredMaterial second{.name = "GaAs",
                            .Eg = {1.42248, 0.1, 0.01},
                            .dEc = {0.62248, 0.2, 0.02},
                            .eps = {12.9, 0.3, 0.03},
                            .EaShallow = {0.028, 0.4, 0.04},
                            .EdShallow = {0.0058, 0.5, 0.05},
                            .EaDeep = {0.001, 0.6, 0.06},
                            .EdDeep = {0.75, 0.7, 0.07},
                            .me = {0.067, 0.8, 0.08},
                            .mhh = {0.34965, 0.9, 0.09},
                            .mlh = {0.09009, 1.0, 0.10},
                            .a = {5.65325, 1.1, 0.11},
                            .Psp = {0.002, 1.2, 0.12},
                            .c13 = {56.6, 1.3, 0.13},
                            .c33 = {122.1, 1.4, 0.14},
                            .e31 = {0.003, 1.5, 0.15},
                            .e33 = {0.004, 1.6, 0.16}};

std::string lawText(const Law& law)
{
    // %.17g keeps every bit of the coefficients the binary image holds.
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "[%.17g, %.17g, %.17g]", law[0], law[1], law[2]);
    return buffer;
}

// The TOML form of materials, as a person would write it: comments, keys in their own order.
std::string tomlOf(const std::vector<StoredMaterial>& materials)
{
    std::string text = "# hand-written library\n\n";
    for (const StoredMaterial& m : materials) {
        text += "[[material]]\nname = \"" + m.name + "\"\ntype = \"Binary\"\nsource = \"test\"\n";
        const std::pair<const char*, const Law*> laws[] = {{"Eg", &m.Eg},
                                                           {"dEc", &m.dEc},
                                                           {"eps", &m.eps},
                                                           {"EaShallow", &m.EaShallow},
                                                           {"EdShallow", &m.EdShallow},
                                                           {"EaDeep", &m.EaDeep},
                                                           {"EdDeep", &m.EdDeep},
                                                           {"me", &m.me},
                                                           {"mhh", &m.mhh},
                                                           {"mlh", &m.mlh}};
        for (const auto& [key, law] : laws)
            text += std::string(key) + " = " + lawText(*law) + "\n";
        text += "NdBackground = 0\nNaBackground = 0.0\nNddBackground = 0\nNdaBackground = 0\n";
        text += "[material.polarization]\n";
        const std::pair<const char*, const Law*> polarization[] = {
            {"a", &m.a}, {"Psp", &m.Psp}, {"c13", &m.c13}, {"c33", &m.c33}, {"e31", &m.e31}, {"e33", &m.e33}};
        for (const auto& [key, law] : polarization)
            text += std::string(key) + " = " + lawText(*law) + "\n";
        text += "\n";
    }
    return text;
}

std::int32_t int32At(const std::string& bytes, std::size_t offset)
{
    std::uint32_t bits = 0;
    for (int i = 3; i >= 0; --i)
        bits = (bits << 8) | static_cast<unsigned char>(bytes.at(offset + static_cast<std::size_t>(i)));
    return static_cast<std::int32_t>(bits);
}

double float64At(const std::string& bytes, std::size_t offset)
{
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | static_cast<unsigned char>(bytes.at(offset + static_cast<std::size_t>(i)));
    return std::bit_cast<double>(bits);
}

TEST(MaterialsListingForms, TomlListsAsTheBinaryFileOfTheSameValues)
{
    TempDir dir;
    const CliRun fromBinary = runCli({"materials", dir.write("lib.tvm", materialsFile({first, second}))});
    const CliRun fromToml = runCli({"materials", dir.write("lib.toml", tomlOf({first, second}))});
    ASSERT_EQ(fromBinary.status, 0) << fromBinary.err;
    ASSERT_EQ(fromToml.status, 0) << fromToml.err;
    EXPECT_EQ(fromToml.err, "");
    EXPECT_EQ(fromToml.out, fromBinary.out);
    EXPECT_EQ(fromToml.out.substr(0, 13), "GaN (Binary)\n");
}

TEST(MaterialsListingForms, TomlIsToldByContentWhateverItsName)
{
    TempDir dir;
    const CliRun run = runCli({"materials", dir.write("library.txt", tomlOf({first}))});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, 13), "GaN (Binary)\n");
}

TEST(MaterialsListingForms, TomlErrorNamesTheKeyAndLineAndListsNothing)
{
    TempDir dir;
    std::string text = tomlOf({first});
    text.replace(text.find("Eg = "), 5, "Egg = ");
    const CliRun run = runCli({"materials", dir.write("typo.toml", text)});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Egg"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("typo.toml"), std::string::npos) << run.err;
}

TEST(MaterialsListingForms, FileNamedTomlIsReadAsTomlEvenWhenItIsNot)
{
    // Binary bytes in a .toml file: the TOML reader's complaint, not a listing of garbage.
    TempDir dir;
    const CliRun run = runCli({"materials", dir.write("wrong.toml", materialsFile({first}))});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err, "");
}

TEST(ConvertMaterials, TomlToBinaryLaysOutEveryRecordAsStored)
{
    TempDir dir;
    const std::string toml = dir.write("lib.toml", tomlOf({first, second}));
    const std::string out = dir.path("lib.tvm");
    const CliRun run = runCli({"convert", toml, out});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(readFile(out), materialsFile({first, second}));
}

TEST(ConvertMaterials, BinaryToTomlAndBackGivesTheSameBytes)
{
    TempDir dir;
    const std::string original = materialsFile({second, first});
    const std::string binary = dir.write("lib.tvm", original);
    const std::string toml = dir.path("lib.toml");
    const std::string back = dir.path("back.tvm");
    ASSERT_EQ(runCli({"convert", binary, toml}).status, 0);
    EXPECT_NE(readFile(toml).find("[[material]]"), std::string::npos);
    ASSERT_EQ(runCli({"convert", toml, back}).status, 0);
    EXPECT_EQ(readFile(back), original);
}

TEST(ConvertMaterials, NameTwiceCannotBecomeToml)
{
    // The binary file allows it (the first wins when a layer looks the name up); the TOML form does not.
    TempDir dir;
    const std::string binary = dir.write("dup.tvm", materialsFile({first, second, first}));
    const std::string toml = dir.path("dup.toml");
    const CliRun run = runCli({"convert", binary, toml});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("GaN"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(toml));
}

TEST(ConvertMaterials, EmptyListRoundTrips)
{
    TempDir dir;
    const std::string binary = dir.write("none.tvm", plainMaterialsFile({}));
    const std::string toml = dir.path("none.toml");
    const std::string back = dir.path("back.tvm");
    ASSERT_EQ(runCli({"convert", binary, toml}).status, 0);
    ASSERT_EQ(runCli({"convert", toml, back}).status, 0);
    EXPECT_EQ(readFile(back), std::string(4, '\0'));
}

TEST(ConvertMaterials, OutputExtensionDecidesForAnyInputName)
{
    // A binary materials file under another extension: OUT's ".toml" says it holds materials.
    TempDir dir;
    const std::string binary = dir.write("materials.dat", materialsFile({second}));
    const std::string toml = dir.path("copy.TOML");
    ASSERT_EQ(runCli({"convert", binary, toml}).status, 0);
    EXPECT_EQ(runCli({"materials", toml}).out, runCli({"materials", binary}).out);
}

TEST(ConvertMaterials, TomlToTomlWritesTheProgramsOwnForm)
{
    TempDir dir;
    const std::string in = dir.write("hand.toml", tomlOf({first}));
    const std::string out = dir.path("tidy.toml");
    ASSERT_EQ(runCli({"convert", in, out}).status, 0);
    EXPECT_EQ(readFile(out).find("# hand-written"), std::string::npos);
    EXPECT_EQ(runCli({"materials", out}).out, runCli({"materials", in}).out);
}

TEST(ConvertMaterials, BrokenTomlLeavesAnExistingOutputAlone)
{
    TempDir dir;
    std::string text = tomlOf({first});
    text.erase(text.find("e33 = "));
    const std::string in = dir.write("cut.toml", text);
    const std::string out = dir.write("keep.tvm", "precious");
    const CliRun run = runCli({"convert", in, out});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("e33"), std::string::npos) << run.err;
    EXPECT_EQ(readFile(out), "precious");
}

TEST(ConvertMaterials, CorruptBinaryIsReportedAsSuch)
{
    TempDir dir;
    const std::string whole = materialsFile({first});
    const std::string in = dir.write("cut.tvm", whole.substr(0, 50));
    const std::string out = dir.path("out.toml");
    const CliRun run = runCli({"convert", in, out});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("binary materials file"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(out));
}

// Pairs of input and output the tool refuses before writing: exit status 2, a reason, no file.
struct MismatchCase {
    std::string name;
    std::string inName;
    bool materialsIn = true;
    Args extra;
    std::string outName;
};

class ConvertMismatch : public testing::TestWithParam<MismatchCase> {};

TEST_P(ConvertMismatch, IsAUsageErrorAndWritesNothing)
{
    const MismatchCase& param = GetParam();
    TempDir dir;
    const std::string in = dir.write(param.inName, param.materialsIn ? tomlOf({first}) : "GaN t=100\n");
    const std::string out = dir.path(param.outName);
    Args arguments{"convert", in, out};
    arguments.insert(arguments.end(), param.extra.begin(), param.extra.end());
    const CliRun run = runCli(arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err, "");
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(std::filesystem::exists(out));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertMismatch,
    testing::Values(MismatchCase{"MaterialsToDocument", "lib.toml", true, {}, "lib.tvn"},
                    MismatchCase{"MaterialsByContentToDocument", "lib.txt", true, {}, "lib.tvn"},
                    MismatchCase{"MaterialsWithAContact", "lib.toml", true, {"--left", "fixed:1"}, "lib.tvm"},
                    MismatchCase{"StructureForcedToMaterials", "s.txt", false, {"--script"}, "s.toml"},
                    MismatchCase{"BadContact", "s.txt", false, {"--left", "fixed"}, "s.tvn"}),
    [](const testing::TestParamInfo<MismatchCase>& info) { return info.param.name; });

TEST(ConvertStructure, LeftContactIsStoredInTheDocument)
{
    TempDir dir;
    const std::string script = dir.write("hemt.txt", "AlGaN x=0.25 t=250 dx=5\nGaN t=1000 dx=5\n");
    const std::string out = dir.path("hemt.tvn");
    ASSERT_EQ(runCli({"convert", script, out, "--left", "fixed:1.2"}).status, 0);
    const std::string bytes = readFile(out);
    ASSERT_GE(bytes.size(), 12u);
    EXPECT_EQ(int32At(bytes, bytes.size() - 12), 1);    // Fixed
    EXPECT_EQ(float64At(bytes, bytes.size() - 8), 1.2); // eV, as typed

    // Back to Neutral: the barrier it had stays, as in the Contacts dialog.
    const std::string neutral = dir.path("neutral.tvn");
    ASSERT_EQ(runCli({"convert", out, neutral, "--left", "neutral"}).status, 0);
    const std::string again = readFile(neutral);
    EXPECT_EQ(int32At(again, again.size() - 12), 0);
    EXPECT_EQ(float64At(again, again.size() - 8), 1.2);
}

// solve --materials in either form, and the standard library when it is left out.
constexpr const char* nLayer = "GaAs t=2000 dx=10 Nd=1e17\n";

TEST(SolveMaterialsForms, TomlAndBinaryGiveTheSameSolution)
{
    TempDir dir;
    const std::string structure = dir.write("n.txt", nLayer);
    const std::string binary = dir.write("lib.tvm", materialsFile({first, second}));
    const std::string toml = dir.write("lib.toml", tomlOf({first, second}));
    const CliRun withBinary = runCli({"solve", structure, "--materials", binary, "--bands", dir.path("b1")});
    const CliRun withToml = runCli({"solve", structure, "--materials", toml, "--bands", dir.path("b2")});
    ASSERT_EQ(withBinary.status, 0) << withBinary.err;
    ASSERT_EQ(withToml.status, 0) << withToml.err;
    EXPECT_EQ(withToml.out, withBinary.out);
    EXPECT_EQ(readFile(dir.path("b2")), readFile(dir.path("b1")));
}

TEST(SolveMaterialsForms, StandardLibraryIsTheDefault)
{
    TempDir dir;
    const std::string structure = dir.write("n.txt", nLayer);
    const std::string library = std::string(TERVANE_MATERIALS_BUILD_DIR) + "/standard.toml";
    const CliRun byDefault = runCli({"solve", structure, "--bands", dir.path("b1")});
    const CliRun named = runCli({"solve", structure, "--materials", library, "--bands", dir.path("b2")});
    ASSERT_EQ(byDefault.status, 0) << byDefault.err;
    ASSERT_EQ(named.status, 0) << named.err;
    EXPECT_EQ(byDefault.out, named.out);
    EXPECT_EQ(readFile(dir.path("b1")), readFile(dir.path("b2")));
}

// A copy of the tool in <dir>/bin looks for <dir>/share/tervane/materials/standard.toml.
class RelocatedTool : public testing::Test {
  protected:
    TempDir dir;
    std::string tool = dir.path("bin/tervane-cli");
    std::string structure = dir.write("n.txt", nLayer);

    void SetUp() override
    {
        std::filesystem::create_directories(dir.path("bin"));
        std::filesystem::copy_file(TERVANE_CLI_PATH, tool);
    }
};

TEST_F(RelocatedTool, WithoutTheLibraryStopsAndSaysWhereItLooked)
{
    const std::string bands = dir.write("bands.txt", "kept\n");
    const CliRun run = runProgramIn(tool, "", {"solve", structure, "--bands", bands});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("standard materials library was not found"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(dir.path("share/tervane/materials/standard.toml")), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("--materials"), std::string::npos) << run.err;
    EXPECT_EQ(readFile(bands), "kept\n");

    // A named file needs no library.
    const std::string library = dir.write("lib.toml", tomlOf({second}));
    EXPECT_EQ(runProgramIn(tool, "", {"solve", structure, "--materials", library}).status, 0);
}

TEST_F(RelocatedTool, FindsTheLibraryBesideItsOwnFolder)
{
    std::filesystem::create_directories(dir.path("share/tervane/materials"));
    dir.write("share/tervane/materials/standard.toml", tomlOf({first}));
    const CliRun run = runProgramIn(tool, "", {"solve", structure});
    // This library holds no GaAs: the message names the file it read.
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Material not found!"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(dir.path("share/tervane/materials/standard.toml")), std::string::npos) << run.err;

    // Started through a symbolic link from elsewhere, it still looks beside the real file.
    std::filesystem::create_directories(dir.path("elsewhere"));
    std::filesystem::create_symlink(tool, dir.path("elsewhere/tervane-cli"));
    dir.write("share/tervane/materials/standard.toml", tomlOf({second}));
    const CliRun linked = runProgramIn(dir.path("elsewhere/tervane-cli"), "", {"solve", structure});
    EXPECT_EQ(linked.status, 0) << linked.err;
}

} // namespace
} // namespace tervane::test
