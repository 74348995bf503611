// tervane-cli convert: structures written as version-2 document files, and what a failed conversion
// leaves behind.

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

#include "byte_builder.h"
#include "cli_runner.h"
#include "file_images.h"

namespace tervane::test {
namespace {

constexpr double tolLength = 1e-20; // m

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
    EXPECT_DOUBLE_EQ(float64At(bytes, 24), 0.2);         // composition a
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

TEST(ConvertScript, ConvertedFileListsTheSameLayers)
{
    TempDir dir;
    const std::string script = dir.write("sl.txt", "GaN t=3000 Nd=1e16\n"
                                                   "repeat=3\n"
                                                   "AlGaN x=0.25 t=25 Na=3e18\n"
                                                   "GaN t=12.5 Nd=2e17 Na=5e15\n"
                                                   "endrepeat\n");
    const std::string out = dir.path("sl.tvd");
    ASSERT_EQ(runCli({"convert", script, out}).status, 0);

    const CliRun fromScript = runCli({"layers", script});
    const CliRun fromDocument = runCli({"layers", out});
    EXPECT_EQ(fromDocument.status, 0);
    EXPECT_EQ(linesOf(fromDocument.out).size(), 7u);
    EXPECT_EQ(fromDocument.out, fromScript.out);
}

TEST(ConvertScript, UnknownCommandIsReportedAndTheFileStillWritten)
{
    TempDir dir;
    const std::string script = dir.write("typo.txt", "GaN t=10 colour=blue\n");
    const std::string out = dir.path("typo.tvd");
    const CliRun run = runCli({"convert", script, out});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Unknown command in line #1: GaN t=10 colour=blue\n");
    EXPECT_EQ(runCli({"layers", out}).out, "000 GaN t:10.0 Nd:0.000e+00 Na:0.000e+00\n");
}

TEST(ConvertDocument, Version1BecomesVersion2AndKeepsTheLeftContact)
{
    TempDir dir;
    StoredLayer layer{.material = "AlN", .thickness = 2e-9, .Na = 1e23};
    const std::string input = dir.write("old.tvd", documentVersion1({layer, layer}, 1, 0.75));
    const std::string out = dir.path("new.tvd");
    ASSERT_EQ(runCli({"convert", input, out}).status, 0);

    const std::string bytes = readFile(out);
    ASSERT_EQ(bytes.size(), 8u + 2u * (144u + 1u + 3u) + 12u);
    EXPECT_EQ(int32At(bytes, 0), 2);
    EXPECT_EQ(int32At(bytes, 4), 2);
    EXPECT_EQ(int32At(bytes, bytes.size() - 12), 1);     // Fixed
    EXPECT_EQ(float64At(bytes, bytes.size() - 8), 0.75); // eV, passed through bit for bit
    EXPECT_EQ(runCli({"layers", out}).out, "000 AlN t:20.0 Nd:0.000e+00 Na:1.000e+17\n"
                                           "001 AlN t:20.0 Nd:0.000e+00 Na:1.000e+17\n");
}

TEST(ConvertDocument, Version2IsWrittenBackUnchanged)
{
    TempDir dir;
    StoredLayer buffer{.material = "GaN", .thickness = 1e-7, .dx = 2e-9, .Nd = 1e23, .compositionA = 0.0};
    StoredLayer barrier{
        .material = "AlGaN", .thickness = 2.5e-9, .Na = 1e24, .compositionA = 0.3, .holes = false};
    const std::string original = documentVersion2({buffer, barrier}, 1, -0.25);
    const std::string input = dir.write("in.tvd", original);
    const std::string out = dir.path("out.tvd");
    ASSERT_EQ(runCli({"convert", input, out}).status, 0);
    EXPECT_EQ(readFile(out), original);
}

TEST(ConvertErrors, TruncatedDocumentCreatesNoOutput)
{
    TempDir dir;
    StoredLayer layer{.material = "GaN", .thickness = 1e-8};
    const std::string whole = documentVersion2({layer});
    const std::string input = dir.write("cut.tvd", whole.substr(0, whole.size() - 5));
    const std::string out = dir.path("out.tvd");
    const CliRun run = runCli({"convert", input, out});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err, "");
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(ConvertErrors, TruncatedDocumentLeavesAnExistingOutputAlone)
{
    TempDir dir;
    StoredLayer layer{.material = "GaN", .thickness = 1e-8};
    const std::string whole = documentVersion2({layer});
    const std::string input = dir.write("cut.tvd", whole.substr(0, 30));
    const std::string out = dir.write("keep.tvd", "precious contents");
    const CliRun run = runCli({"convert", input, out});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err, "");
    EXPECT_EQ(readFile(out), "precious contents");
}

TEST(ConvertErrors, ScriptForcedAsDocumentCreatesNoOutput)
{
    TempDir dir;
    const std::string script = dir.write("s.txt", "GaN t=100\n");
    const std::string out = dir.path("out.tvd");
    const CliRun run = runCli({"convert", "--document", script, out});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("wrong version file!"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(ConvertErrors, MissingInputCreatesNoOutput)
{
    TempDir dir;
    const std::string out = dir.path("out.tvd");
    const CliRun run = runCli({"convert", dir.path("absent.txt"), out});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Could not open file"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(ConvertErrors, UnwritableOutputIsReported)
{
    TempDir dir;
    const std::string script = dir.write("s.txt", "GaN t=100\n");
    const CliRun intoMissingFolder = runCli({"convert", script, dir.path("no/such/folder/out.tvd")});
    EXPECT_EQ(intoMissingFolder.status, 1);
    EXPECT_NE(intoMissingFolder.err, "");

    const CliRun ontoFolder = runCli({"convert", script, dir.path("")});
    EXPECT_EQ(ontoFolder.status, 1);
    EXPECT_NE(ontoFolder.err, "");
}

} // namespace
} // namespace tervane::test
