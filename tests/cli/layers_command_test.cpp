// tervane-cli layers: the layer list of scripts and document files, with and without materials.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_runner.h"
#include "file_images.h"

namespace tervane::test {
namespace {

using Lines = std::vector<std::string>;

TEST(LayersOfScript, OneLinePerLayerInScriptUnits)
{
    TempDir dir;
    const std::string script = dir.write("hemt.txt", "GaN t=1000 Nd=1e18\n"
                                                     "AlGaN x=0.25 t=200 dx=5 Na=2.5e17\n"
                                                     "\n"
                                                     "GaN t=12.34 Nd=3e16 Na=4.5e15\n");
    const CliRun run = runCli({"layers", script});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(linesOf(run.out), (Lines{"000 GaN t:1000.0 Nd:1.000e+18 Na:0.000e+00",
                                       "001 AlGaN t:200.0 Nd:0.000e+00 Na:2.500e+17",
                                       "002 GaN t:12.3 Nd:3.000e+16 Na:4.500e+15"}));
}

TEST(LayersOfScript, RepeatBlocksAreExpandedInOrder)
{
    TempDir dir;
    const std::string script = dir.write("sl.txt", "repeat=2\n"
                                                   "GaN t=10\n"
                                                   "AlN t=20\n"
                                                   "endrepeat\n"
                                                   "InN t=30\n");
    const CliRun run = runCli({"layers", script});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(linesOf(run.out),
              (Lines{"000 GaN t:10.0 Nd:0.000e+00 Na:0.000e+00", "001 AlN t:20.0 Nd:0.000e+00 Na:0.000e+00",
                     "002 GaN t:10.0 Nd:0.000e+00 Na:0.000e+00", "003 AlN t:20.0 Nd:0.000e+00 Na:0.000e+00",
                     "004 InN t:30.0 Nd:0.000e+00 Na:0.000e+00"}));
}

TEST(LayersOfScript, IndexIsPaddedToThreeDigitsAndGrowsBeyond)
{
    TempDir dir;
    const std::string script = dir.write("many.txt", "repeat=1001\nGaN t=1\nendrepeat\n");
    const CliRun run = runCli({"layers", script});
    EXPECT_EQ(run.status, 0);
    const Lines lines = linesOf(run.out);
    ASSERT_EQ(lines.size(), 1001u);
    EXPECT_EQ(lines[0], "000 GaN t:1.0 Nd:0.000e+00 Na:0.000e+00");
    EXPECT_EQ(lines[10], "010 GaN t:1.0 Nd:0.000e+00 Na:0.000e+00");
    EXPECT_EQ(lines[999], "999 GaN t:1.0 Nd:0.000e+00 Na:0.000e+00");
    EXPECT_EQ(lines[1000], "1000 GaN t:1.0 Nd:0.000e+00 Na:0.000e+00");
}

TEST(LayersOfScript, EmptyScriptListsNothing)
{
    TempDir dir;
    const CliRun run = runCli({"layers", dir.write("empty.txt", "\n  \n\t\n")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
}

TEST(LayersOfScript, UnknownCommandIsReportedOnceAndTheWorkGoesOn)
{
    TempDir dir;
    const std::string script = dir.write("typo.txt", "GaN t=50\n"
                                                     "AlN t=20 thick=3\n");
    const CliRun run = runCli({"layers", script});
    EXPECT_EQ(run.status, 0);
    // The message carries the line with its own line break: no blank line after it.
    EXPECT_EQ(run.err, "Unknown command in line #2: AlN t=20 thick=3\n");
    EXPECT_EQ(linesOf(run.out), (Lines{"000 GaN t:50.0 Nd:0.000e+00 Na:0.000e+00",
                                       "001 AlN t:20.0 Nd:0.000e+00 Na:0.000e+00"}));
}

TEST(LayersOfScript, UnknownCommandOnLastLineWithoutLineBreakStillEndsTheLine)
{
    TempDir dir;
    const CliRun run = runCli({"layers", dir.write("typo.txt", "GaN t=50 bad")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Unknown command in line #1: GaN t=50 bad\n");
    EXPECT_EQ(run.out, "000 GaN t:50.0 Nd:0.000e+00 Na:0.000e+00\n");
}

TEST(LayersOfScript, ScriptSwitchReadsTheSameWay)
{
    TempDir dir;
    const CliRun run = runCli({"layers", "--script", dir.write("one.txt", "GaN t=5\n")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "000 GaN t:5.0 Nd:0.000e+00 Na:0.000e+00\n");
}

TEST(LayersOfDocument, Version2FileIsListedInAngstromAndPerCubicCm)
{
    TempDir dir;
    StoredLayer buffer{.material = "GaN", .thickness = 3e-7, .Nd = 1e24};
    StoredLayer barrier{.material = "AlGaN", .thickness = 2.5e-9, .Na = 5e23, .compositionA = 0.3};
    StoredLayer cap{.material = "GaN", .thickness = 1.25e-9, .Nd = 2e23, .Na = 7.5e22};
    const std::string document = dir.write("hemt.tvd", documentVersion2({buffer, barrier, cap}));
    const CliRun run = runCli({"layers", document});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(linesOf(run.out), (Lines{"000 GaN t:3000.0 Nd:1.000e+18 Na:0.000e+00",
                                       "001 AlGaN t:25.0 Nd:0.000e+00 Na:5.000e+17",
                                       "002 GaN t:12.5 Nd:2.000e+17 Na:7.500e+16"}));
}

TEST(LayersOfDocument, Version1FileIsListedToo)
{
    TempDir dir;
    StoredLayer layer{.material = "InGaN", .thickness = 3e-9, .Nd = 4e22};
    const CliRun run = runCli({"layers", dir.write("old.tvd", documentVersion1({layer}))});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "000 InGaN t:30.0 Nd:4.000e+16 Na:0.000e+00\n");
}

TEST(LayersOfDocument, EmptyDocumentListsNothing)
{
    TempDir dir;
    const CliRun run = runCli({"layers", dir.write("empty.tvd", documentVersion2({}))});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
}

TEST(LayersOfDocument, UnknownVersionIsRefusedWhenForced)
{
    TempDir dir;
    ByteBuilder version3;
    version3.int32(3).int32(0).int32(0).float64(0);
    const CliRun run = runCli({"layers", "--document", dir.write("v3.tvd", version3.bytes())});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("wrong version file!"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
}

TEST(LayersOfDocument, TruncatedFileStopsWithAMessageAndListsNothing)
{
    TempDir dir;
    StoredLayer layer{.material = "GaN", .thickness = 1e-8};
    const std::string whole = documentVersion2({layer, layer});
    for (std::size_t length : {std::size_t{6}, std::size_t{60}, whole.size() - 1}) {
        const CliRun run = runCli({"layers", dir.write("cut.tvd", whole.substr(0, length))});
        EXPECT_EQ(run.status, 1) << "length " << length;
        EXPECT_NE(run.err, "") << "length " << length;
        EXPECT_EQ(run.out, "") << "length " << length;
    }
}

TEST(LayersWithMaterials, EveryMaterialPresentListsEveryLayer)
{
    TempDir dir;
    const std::string script = dir.write("s.txt", "GaN t=100\nAlN t=20 Nd=1e17\n");
    const std::string materials = dir.write("m.bin", plainMaterialsFile({"AlN", "GaN"}));
    const CliRun run = runCli({"layers", script, "--materials", materials});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(linesOf(run.out), (Lines{"000 GaN t:100.0 Nd:0.000e+00 Na:0.000e+00",
                                       "001 AlN t:20.0 Nd:1.000e+17 Na:0.000e+00"}));
}

TEST(LayersWithMaterials, MissingMaterialStopsTheListAtItsLayer)
{
    TempDir dir;
    const std::string script = dir.write("s.txt", "GaN t=100\n"
                                                  "GaN t=50\n"
                                                  "AlGaN x=0.3 t=25\n"
                                                  "GaN t=10\n");
    const std::string materials = dir.write("m.bin", plainMaterialsFile({"GaN"}));
    const CliRun run = runCli({"layers", script, "--materials", materials});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(linesOf(run.out), (Lines{"000 GaN t:100.0 Nd:0.000e+00 Na:0.000e+00",
                                       "001 GaN t:50.0 Nd:0.000e+00 Na:0.000e+00"}));
    ASSERT_FALSE(linesOf(run.err).empty());
    EXPECT_EQ(linesOf(run.err)[0], "Material not found!");
    EXPECT_NE(run.err.find("AlGaN"), std::string::npos) << run.err;
}

TEST(LayersWithMaterials, NamesMatchCaseSensitively)
{
    TempDir dir;
    const std::string script = dir.write("s.txt", "gan t=100\n");
    const std::string materials = dir.write("m.bin", plainMaterialsFile({"GaN"}));
    const CliRun run = runCli({"layers", script, "--materials", materials});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(linesOf(run.err).at(0), "Material not found!");
}

TEST(LayersWithMaterials, EmptyMaterialsFileFindsNothing)
{
    TempDir dir;
    const std::string script = dir.write("s.txt", "GaN t=100\n");
    const std::string materials = dir.write("m.bin", plainMaterialsFile({}));
    const CliRun run = runCli({"layers", script, "--materials", materials});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(linesOf(run.err).at(0), "Material not found!");
}

TEST(LayersWithMaterials, UnreadableMaterialsFileListsNothing)
{
    TempDir dir;
    const std::string script = dir.write("s.txt", "GaN t=100\n");
    const CliRun missing = runCli({"layers", script, "--materials", dir.path("none.bin")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err.find("Could not open file"), std::string::npos) << missing.err;

    const std::string whole = plainMaterialsFile({"GaN"});
    const CliRun truncated =
        runCli({"layers", script, "--materials", dir.write("cut.bin", whole.substr(0, whole.size() - 3))});
    EXPECT_EQ(truncated.status, 1);
    EXPECT_EQ(truncated.out, "");
    EXPECT_NE(truncated.err, "");
}

TEST(LayersErrors, MissingStructureCouldNotBeOpened)
{
    TempDir dir;
    const CliRun run = runCli({"layers", dir.path("absent.txt")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Could not open file"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("absent.txt"), std::string::npos) << run.err;
}

TEST(LayersErrors, FolderIsNotAStructure)
{
    TempDir dir;
    const CliRun run = runCli({"layers", dir.path("")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Could not open file"), std::string::npos) << run.err;
}

TEST(LayersErrors, ScriptForcedAsDocumentIsRefused)
{
    TempDir dir;
    const CliRun run = runCli({"layers", "--document", dir.write("s.txt", "GaN t=100\n")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("wrong version file!"), std::string::npos) << run.err;
}

} // namespace
} // namespace tervane::test
