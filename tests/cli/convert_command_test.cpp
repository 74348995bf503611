// tervane-cli convert of structures: version-2 document files from scripts and older documents, the
// contact stored with them.

#include <gtest/gtest.h>

#include <string>

#include "byte_builder.h"
#include "cli_runner.h"
#include "file_images.h"

namespace tervane::test {
namespace {

constexpr double tolLength = 1e-20; // m

TEST(ConvertScript, OneLayerGivesTheVersion2Layout)
{
    TempDir dir;
    const std::string script = dir.write("one.txt", "GaN x=0.2 t=100 dx=5 Nd=1e18 Na=2e17 noholes\n");
    const std::string out = dir.path("one.tvd");
    const CliRun run = runCli({"convert", script, out});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");

    // version, count, record (144 bytes + "\x03GaN"), contact kind, barrier.
    const std::string bytes = readFile(out);
    ASSERT_EQ(bytes.size(), 4u + 4u + (144u + 1u + 3u) + 4u + 8u);
    EXPECT_EQ(int32At(bytes, 0), 2);
    EXPECT_EQ(int32At(bytes, 4), 1);
    EXPECT_NEAR(float64At(bytes, 8), 1e-8, tolLength);   // thickness
    EXPECT_NEAR(float64At(bytes, 16), 5e-10, tolLength); // dx
    EXPECT_DOUBLE_EQ(float64At(bytes, 24), 0.2);         // composition a, then b and c
    EXPECT_EQ(float64At(bytes, 32), 0.0);
    EXPECT_EQ(float64At(bytes, 40), 0.0);
    EXPECT_EQ(bytes.substr(48, 4), "\x03GaN");
    EXPECT_DOUBLE_EQ(float64At(bytes, 52), 2e23); // Na, m^-3
    EXPECT_DOUBLE_EQ(float64At(bytes, 60), 1e24); // Nd, m^-3
    EXPECT_EQ(int32At(bytes, 84), 0);             // holes
    EXPECT_EQ(int32At(bytes, 88), 0);             // relaxed
    EXPECT_EQ(int32At(bytes, 156), 0);            // Neutral contact
    EXPECT_EQ(float64At(bytes, 160), 0.0);        // no barrier
}

TEST(ConvertScript, ConvertedFileListsTheSameLayersAndUnknownCommandsAreOnlyReported)
{
    TempDir dir;
    const std::string script = dir.write("sl.txt", "GaN t=3000 Nd=1e16 colour=blue\n"
                                                   "repeat=3\n"
                                                   "AlGaN x=0.25 t=25 Na=3e18\n"
                                                   "GaN t=12.5 Nd=2e17 Na=5e15\n"
                                                   "endrepeat\n");
    const std::string out = dir.path("sl.tvd");
    const CliRun run = runCli({"convert", script, out});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Unknown command in line #1: GaN t=3000 Nd=1e16 colour=blue\n");
    const CliRun fromDocument = runCli({"layers", out});
    EXPECT_EQ(fromDocument.status, 0);
    EXPECT_EQ(linesOf(fromDocument.out).size(), 7u);
    EXPECT_EQ(fromDocument.out, runCli({"layers", script}).out);
}

TEST(ConvertDocument, Version1BecomesVersion2AndVersion2IsWrittenBackUnchanged)
{
    TempDir dir;
    StoredLayer aln{.material = "AlN", .thickness = 2e-9, .Na = 1e23};
    ASSERT_EQ(
        runCli({"convert", dir.write("old.tvd", documentVersion1({aln, aln}, 1, 0.75)), dir.path("new.tvd")})
            .status,
        0);
    const std::string bytes = readFile(dir.path("new.tvd"));
    ASSERT_EQ(bytes.size(), 8u + 2u * (144u + 1u + 3u) + 12u);
    EXPECT_EQ(int32At(bytes, 0), 2);
    EXPECT_EQ(int32At(bytes, 4), 2);
    EXPECT_EQ(int32At(bytes, bytes.size() - 12), 1);     // Fixed
    EXPECT_EQ(float64At(bytes, bytes.size() - 8), 0.75); // eV, passed through bit for bit
    EXPECT_EQ(runCli({"layers", dir.path("new.tvd")}).out, "000 AlN t:20.0 Nd:0.000e+00 Na:1.000e+17\n"
                                                           "001 AlN t:20.0 Nd:0.000e+00 Na:1.000e+17\n");

    StoredLayer buffer{.material = "GaN", .thickness = 1e-7, .dx = 2e-9, .Nd = 1e23};
    StoredLayer barrier{
        .material = "AlGaN", .thickness = 2.5e-9, .Na = 1e24, .compositionA = 0.3, .holes = false};
    const std::string original = documentVersion2({buffer, barrier}, 1, -0.25);
    ASSERT_EQ(runCli({"convert", dir.write("in.tvd", original), dir.path("out.tvd")}).status, 0);
    EXPECT_EQ(readFile(dir.path("out.tvd")), original);
}

TEST(ConvertStructure, LeftContactIsStoredAndNeutralKeepsTheBarrier)
{
    TempDir dir;
    const std::string script = dir.write("hemt.txt", "AlGaN x=0.25 t=250 dx=5\nGaN t=1000 dx=5\n");
    const std::string fixed = dir.path("hemt.tvn");
    ASSERT_EQ(runCli({"convert", script, fixed, "--left", "fixed:1.2"}).status, 0);
    // Back to Neutral: the barrier it had stays, as in the Contacts dialog.
    const std::string neutral = dir.path("neutral.tvn");
    ASSERT_EQ(runCli({"convert", fixed, neutral, "--left", "neutral"}).status, 0);
    for (const auto& [path, kind] : {std::pair{fixed, 1}, std::pair{neutral, 0}}) {
        const std::string bytes = readFile(path);
        ASSERT_GE(bytes.size(), 12u);
        EXPECT_EQ(int32At(bytes, bytes.size() - 12), kind);
        EXPECT_EQ(float64At(bytes, bytes.size() - 8), 1.2); // eV, as typed
    }
}

} // namespace
} // namespace tervane::test
