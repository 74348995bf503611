// tervane-cli convert of structures: version-2 document files from scripts and older documents, the
// contact stored with them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_test_support.h"
#include "model/observer.h"
#include "io/import_script.h"

namespace tervane::test {
namespace {

// The document holds the layers the script makes, in SI units; unknown commands are only reported.
TEST(ConvertScript, StoresTheScriptsLayersAndOnlyReportsUnknownCommands)
{
    TempDir dir;
    const std::string text = "GaN x=0.2 t=100 dx=5 Nd=1e18 Na=2e17 noholes colour=blue\n"
                             "repeat=2\nAlGaN x=0.25 t=25\nendrepeat\n";
    const CliRun run = runCli({"convert", dir.write("sl.txt", text), dir.path("sl.tvd")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "Unknown command in line #1: GaN x=0.2 t=100 dx=5 Nd=1e18 Na=2e17 noholes colour=blue\n");
    std::vector<Layer> layers;
    CollectingObserver ignored;
    ASSERT_TRUE(parseScriptText(text, layers, ignored));
    ASSERT_EQ(layers.size(), 3u);
    EXPECT_EQ(readFile(dir.path("sl.tvd")), encodeDocument(layers, ContactKind::Neutral, 0.0));
}

TEST(ConvertDocument, Version1BecomesVersion2AndVersion2IsWrittenBackUnchanged)
{
    TempDir dir;
    Layer aln = layerOf("AlN", 2e-9, 0.0, 1e23);
    aln.spare = -1.0;
    const std::string old = dir.write("old.tvd", documentVersion1({aln, aln}, 1, 0.75));
    ASSERT_EQ(runCli({"convert", old, dir.path("new.tvd")}).status, 0);
    EXPECT_EQ(readFile(dir.path("new.tvd")), encodeDocument({aln, aln}, ContactKind::Fixed, 0.75));

    Layer barrier = layerOf("AlGaN", 2.5e-9, 0.0, 1e24);
    barrier.composition = Quadratic(0.3, 0.0, 0.0);
    barrier.holes = false;
    const std::string original = encodeDocument({layerOf("GaN", 1e-7, 1e23), barrier}, ContactKind::Fixed, -0.25);
    ASSERT_EQ(runCli({"convert", dir.write("in.tvd", original), dir.path("out.tvd")}).status, 0);
    EXPECT_EQ(readFile(dir.path("out.tvd")), original);
}

// Back to Neutral, the barrier the contact had stays, as in the Contacts dialog.
TEST(ConvertStructure, LeftContactIsStoredAndNeutralKeepsTheBarrier)
{
    TempDir dir;
    const std::string script = dir.write("hemt.txt", "AlGaN x=0.25 t=250 dx=5\nGaN t=1000 dx=5\n");
    const std::string fixed = dir.path("hemt.tvn"), neutral = dir.path("neutral.tvn");
    ASSERT_EQ(runCli({"convert", script, fixed, "--left", "fixed:1.2"}).status, 0);
    ASSERT_EQ(runCli({"convert", fixed, neutral, "--left", "neutral"}).status, 0);
    for (const auto& [path, kind] : {std::pair{fixed, 1}, std::pair{neutral, 0}}) {
        DocumentFileContents contents;
        ASSERT_TRUE(decodeDocument(readFile(path), contents));
        EXPECT_EQ(static_cast<int>(contents.leftContact), kind);
        EXPECT_EQ(contents.leftBarrier, 1.2); // eV, as typed
    }
}

} // namespace
} // namespace tervane::test
