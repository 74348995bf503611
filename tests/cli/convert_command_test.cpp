// tervane-cli convert: structures into version-2 document files (scripts are the examples' checks), and
// materials lists between the TOML library and the binary materials file, as the build makes the
// binary form of the standard library.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli_test_support.h"

namespace tervane::test {
namespace {

// Version 1 becomes version 2 with the stored contact; version 2 is written back unchanged but for
// --left neutral, which keeps the barrier the contact had, as the Contacts dialog does.
TEST(ConvertCommand, DocumentsBecomeVersion2WithTheirContact)
{
    ScratchFolder dir;
    Layer aln = layerOf("AlN", 2e-9, 0.0, 1e23), barrier = layerOf("AlGaN", 2.5e-9, 0.0, 1e24);
    aln.spare = -1.0;
    barrier.composition = Quadratic(0.3, 0.0, 0.0);
    barrier.holes = false;
    const std::string v1 = dir.write("v1.tvd", documentVersion1({aln, aln}, 1, 0.75));
    ASSERT_EQ(runCli({"convert", v1, dir.path("v2.tvd")}).status, 0);
    EXPECT_EQ(readFile(dir.path("v2.tvd")), encodeDocument({aln, aln}, ContactKind::Fixed, 0.75));
    const std::string v2 = dir.write("v2.tvn", encodeDocument({aln, barrier}, ContactKind::Fixed, -0.25));
    ASSERT_EQ(runCli({"convert", v2, dir.path("new.tvd"), "--left", "neutral"}).status, 0);
    EXPECT_EQ(readFile(dir.path("new.tvd")), encodeDocument({aln, barrier}, ContactKind::Neutral, -0.25));
}

// A document keeps its settings through convert; an item this version does not know is named on
// standard error and left out. The examples, written with every setting at its default, convert to
// their own bytes.
TEST(ConvertCommand, DocumentsKeepTheirSettings)
{
    ScratchFolder dir;
    DocumentSettings settings = defaultDocumentSettings();
    settings.schroedingerOn = true;
    Layer cold = layerOf("GaN", 1e-7);
    cold.Tn = Quadratic(77, 0, 0);
    const std::string file = encodeDocument({cold}, ContactKind::Fixed, 0.5, settings);
    const std::string in = dir.write("in.tvn", file + "ZZZZ" + i32(0));
    const CliRun run = runCli({"convert", in, dir.path("out.tvn")});
    EXPECT_EQ(std::to_string(run.status) + run.err,
              "0" + in + ": Settings skipped: unknown item \"ZZZZ\" (0 bytes).\n");
    EXPECT_EQ(readFile(dir.path("out.tvn")), file);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(TERVANE_SOURCE_DIR "/examples"))
        if (entry.path().extension() == ".tvn") {
            ASSERT_EQ(runCli({"convert", entry.path().string(), dir.path("copy.tvn")}).status, 0);
            EXPECT_EQ(readFile(dir.path("copy.tvn")), readFile(entry.path().string())) << entry.path();
        }
}

// TOML, told by its text, to binary; binary (under any name) to TOML (".toml" in any case) and back.
// The build makes the binary form of the standard library from the checked-in TOML the same way.
TEST(ConvertCommand, MaterialsConvertBothWaysKeepingEveryBit)
{
    ScratchFolder dir;
    const std::string original = encodeMaterials({GaN, AlGaN, GaAs});
    std::string toml;
    ASSERT_TRUE(encodeMaterialsToml({GaN, AlGaN, GaAs}, toml));
    const CliRun run = runCli({"convert", dir.write("hand.txt", "# by hand\n" + toml), dir.path("lib.tvm")});
    EXPECT_EQ(std::to_string(run.status) + run.out + run.err, "0");
    EXPECT_EQ(readFile(dir.path("lib.tvm")), original);
    ASSERT_EQ(runCli({"convert", dir.write("lib.dat", original), dir.path("copy.TOML")}).status, 0);
    ASSERT_EQ(runCli({"convert", dir.path("copy.TOML"), dir.path("back.tvm")}).status, 0);
    EXPECT_EQ(readFile(dir.path("back.tvm")), original);
    EXPECT_EQ(readFile(TERVANE_MATERIALS_BUILD_DIR "/standard.tvm"), encodeMaterials(standardLibrary));
}

} // namespace
} // namespace tervane::test
