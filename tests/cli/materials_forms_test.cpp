// The two forms of a materials list, the TOML library and the binary materials file: listed by
// `materials`, converted both ways by `convert`, taken by `solve --materials`, and the standard
// library found when --materials is left out.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "cli_runner.h"
#include "file_images.h"

namespace tervane::test {
namespace {

using Args = std::vector<std::string>;

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

TEST(MaterialsForms, TomlByContentOrNameListsAsTheBinaryFileOfTheSameValues)
{
    TempDir dir;
    const CliRun fromBinary = runCli({"materials", dir.write("lib.tvm", materialsFile({GaN, AlGaN}))});
    ASSERT_EQ(fromBinary.status, 0) << fromBinary.err;
    EXPECT_EQ(fromBinary.out.substr(0, 13), "GaN (Binary)\n");
    for (const char* name : {"lib.toml", "library.txt"}) {
        const CliRun fromToml = runCli({"materials", dir.write(name, tomlOf({GaN, AlGaN}))});
        EXPECT_EQ(fromToml.status, 0) << fromToml.err;
        EXPECT_EQ(fromToml.err, "");
        EXPECT_EQ(fromToml.out, fromBinary.out) << name;
    }
}

TEST(MaterialsForms, ConversionsBothWaysKeepEveryLawInItsSlot)
{
    // AlGaN's coefficients differ from slot to slot, so a law written to the wrong place shows in the bytes.
    TempDir dir;
    for (const std::vector<StoredMaterial>& list :
         {std::vector<StoredMaterial>{GaN, AlGaN}, std::vector<StoredMaterial>{AlGaN, GaAs},
          std::vector<StoredMaterial>{}}) {
        const std::string original = materialsFile(list);
        // TOML to binary: each record as stored, nothing said.
        const CliRun run = runCli({"convert", dir.write("hand.toml", tomlOf(list)), dir.path("lib.tvm")});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out + run.err, "");
        EXPECT_EQ(readFile(dir.path("lib.tvm")), original);
        // Binary (under any name) to TOML (".toml" in any case) and back: the same bytes.
        ASSERT_EQ(runCli({"convert", dir.write("lib.dat", original), dir.path("copy.TOML")}).status, 0);
        ASSERT_EQ(runCli({"convert", dir.path("copy.TOML"), dir.path("back.tvm")}).status, 0);
        EXPECT_EQ(readFile(dir.path("back.tvm")), original) << list.size();
        // TOML to TOML writes the program's own form of the same list.
        ASSERT_EQ(runCli({"convert", dir.path("hand.toml"), dir.path("tidy.toml")}).status, 0);
        EXPECT_EQ(readFile(dir.path("tidy.toml")).find("# hand-written"), std::string::npos);
        EXPECT_EQ(runCli({"materials", dir.path("tidy.toml")}).out,
                  runCli({"materials", dir.path("lib.dat")}).out);
    }
}

TEST(SolveMaterialsForms, TomlBinaryAndTheDefaultStandardLibraryGiveTheSameSolution)
{
    TempDir dir;
    const std::string structure = dir.write("n.txt", nLayer);
    const std::string library = std::string(TERVANE_MATERIALS_BUILD_DIR) + "/standard.toml";
    const std::pair<Args, Args> pairs[] = {{{"--materials", dir.write("lib.tvm", materialsFile({GaN, GaAs}))},
                                            {"--materials", dir.write("lib.toml", tomlOf({GaN, GaAs}))}},
                                           {{}, {"--materials", library}}};
    for (const auto& [first, second] : pairs) {
        Args a{"solve", structure, "--bands", dir.path("b1")};
        Args b{"solve", structure, "--bands", dir.path("b2")};
        a.insert(a.end(), first.begin(), first.end());
        b.insert(b.end(), second.begin(), second.end());
        const CliRun one = runCli(a);
        const CliRun two = runCli(b);
        ASSERT_EQ(one.status, 0) << one.err;
        ASSERT_EQ(two.status, 0) << two.err;
        EXPECT_EQ(one.out, two.out);
        EXPECT_EQ(readFile(dir.path("b1")), readFile(dir.path("b2")));
    }
}

TEST(RelocatedTool, LooksForTheLibraryBesideItsOwnFolder)
{
    // A copy of the tool in <dir>/bin looks for <dir>/share/tervane/materials/standard.toml.
    TempDir dir;
    const std::string tool = dir.path("bin/tervane-cli");
    const std::string structure = dir.write("n.txt", nLayer);
    const std::string expected = dir.path("share/tervane/materials/standard.toml");
    std::filesystem::create_directories(dir.path("bin"));
    std::filesystem::copy_file(TERVANE_CLI_PATH, tool);

    const std::string bands = dir.write("bands.txt", "kept\n");
    const CliRun missing = runProgramIn(tool, "", {"solve", structure, "--bands", bands});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    for (const std::string& part :
         {std::string("standard materials library was not found"), expected, std::string("--materials")})
        EXPECT_NE(missing.err.find(part), std::string::npos) << missing.err;
    EXPECT_EQ(readFile(bands), "kept\n");
    // A named file needs no library.
    EXPECT_EQ(runProgramIn(tool, "", {"solve", structure, "--materials", dir.write("l.toml", tomlOf({GaAs}))})
                  .status,
              0);

    // This library holds no GaAs: the message names the file it read.
    std::filesystem::create_directories(dir.path("share/tervane/materials"));
    dir.write("share/tervane/materials/standard.toml", tomlOf({GaN}));
    const CliRun found = runProgramIn(tool, "", {"solve", structure});
    EXPECT_EQ(found.status, 1);
    EXPECT_NE(found.err.find("Material not found!"), std::string::npos) << found.err;
    EXPECT_NE(found.err.find(expected), std::string::npos) << found.err;

    // Started through a symbolic link from elsewhere, it still looks beside the real file.
    std::filesystem::create_directories(dir.path("elsewhere"));
    std::filesystem::create_symlink(tool, dir.path("elsewhere/tervane-cli"));
    dir.write("share/tervane/materials/standard.toml", tomlOf({GaAs}));
    const CliRun linked = runProgramIn(dir.path("elsewhere/tervane-cli"), "", {"solve", structure});
    EXPECT_EQ(linked.status, 0) << linked.err;
}

} // namespace
} // namespace tervane::test
