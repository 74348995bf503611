// The two forms of a materials list, the TOML library and the binary materials file, converted both
// ways by `convert`; the standard library built from the checked-in one, and found beside the tool
// when --materials is left out.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli_test_support.h"

namespace tervane::test {
namespace {

using Args = std::vector<std::string>;

// A TOML library as a person keeps it: a comment above the program's own form.
std::string tomlOf(const std::vector<Material>& materials)
{
    std::string text;
    EXPECT_TRUE(encodeMaterialsToml(materials, text));
    return "# hand-written library\n\n" + text;
}

TEST(MaterialsForms, ConversionsBothWaysKeepEveryBit)
{
    TempDir dir;
    for (const std::vector<Material>& list :
         {std::vector<Material>{GaN, AlGaN, GaAs}, std::vector<Material>{}}) {
        const std::string original = encodeMaterials(list);
        // TOML, told by its text, to binary, nothing said.
        const CliRun run = runCli({"convert", dir.write("hand.txt", tomlOf(list)), dir.path("lib.tvm")});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out + run.err, "");
        EXPECT_EQ(readFile(dir.path("lib.tvm")), original);
        // Binary (under any name) to TOML (".toml" in any case) and back: the same bytes.
        ASSERT_EQ(runCli({"convert", dir.write("lib.dat", original), dir.path("copy.TOML")}).status, 0);
        ASSERT_EQ(runCli({"convert", dir.path("copy.TOML"), dir.path("back.tvm")}).status, 0);
        EXPECT_EQ(readFile(dir.path("back.tvm")), original) << list.size();
        // TOML to TOML writes the program's own form.
        ASSERT_EQ(runCli({"convert", dir.path("hand.txt"), dir.path("tidy.toml")}).status, 0);
        EXPECT_EQ("# hand-written library\n\n" + readFile(dir.path("tidy.toml")), tomlOf(list));
    }
}

// The build makes the binary form of the standard library from the checked-in TOML with convert: the
// same list bit for bit.
TEST(StandardLibrary, BuiltFilesHoldTheCheckedInListExactly)
{
    const std::string checkedIn = std::string(TERVANE_SOURCE_DIR) + "/examples/materials/standard.toml";
    std::vector<Material> fromToml;
    const IoResult read = decodeMaterialsToml(readFile(checkedIn), fromToml);
    ASSERT_TRUE(read) << read.message;
    ASSERT_EQ(fromToml.size(), 11u);
    EXPECT_EQ(readFile(std::string(TERVANE_MATERIALS_BUILD_DIR) + "/standard.tvm"),
              encodeMaterials(fromToml));
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
    const CliRun missing = runProgram(tool, {"solve", structure, "--bands", bands});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    for (const std::string& part :
         {std::string("standard materials library was not found"), expected, std::string("--materials")})
        EXPECT_NE(missing.err.find(part), std::string::npos) << missing.err;
    EXPECT_EQ(readFile(bands), "kept\n");
    // A named file needs no library.
    EXPECT_EQ(
        runProgram(tool, {"solve", structure, "--materials", dir.write("l.toml", tomlOf({GaAs}))}).status, 0);

    // This library holds no GaAs: the message names the file it read.
    std::filesystem::create_directories(dir.path("share/tervane/materials"));
    dir.write("share/tervane/materials/standard.toml", tomlOf({GaN}));
    const CliRun found = runProgram(tool, {"solve", structure});
    EXPECT_EQ(found.status, 1);
    EXPECT_NE(found.err.find("Material not found!"), std::string::npos) << found.err;
    EXPECT_NE(found.err.find(expected), std::string::npos) << found.err;

    // Started through a symbolic link from elsewhere, it still looks beside the real file.
    std::filesystem::create_directories(dir.path("elsewhere"));
    std::filesystem::create_symlink(tool, dir.path("elsewhere/tervane-cli"));
    dir.write("share/tervane/materials/standard.toml", tomlOf({GaAs}));
    EXPECT_EQ(runProgram(dir.path("elsewhere/tervane-cli"), {"solve", structure}).status, 0);
}

} // namespace
} // namespace tervane::test
