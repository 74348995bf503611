#include "io/document_file.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "io_test_support.h"

namespace tervane::test {
namespace {

// Every stored number different, first, first + 1, ... in stored order; holes off, relaxed on.
Layer numberedLayer(const std::string& material, double first)
{
    Layer l;
    l.material = material;
    l.holes = false;
    l.relaxed = true;
    for (double* number :
         {&l.thickness, &l.dx, &l.composition.a, &l.composition.b, &l.composition.c, &l.Na, &l.Nd, &l.Nda,
          &l.Ndd, &l.strainFactor, &l.Efn.a, &l.Efn.b, &l.Efn.c, &l.Efp.a, &l.Efp.b, &l.Efp.c, &l.spare})
        *number = first++;
    return l;
}

constexpr std::size_t v2FileSize = 168; // one layer named "GaN" and the contact

// The version-2 file of numberedLayer("GaN", 1) with a Fixed 0.85 eV left contact.
std::string version2File()
{
    return i32(2) + i32(1) + numbers(1, 5) +                       // version, count, thickness, dx, x
           bytes({3, 'G', 'a', 'N'}) + numbers(6, 9) +             // material, Na, Nd, Nda, Ndd
           i32(0) + i32(1) + numbers(10, 17) + i32(1) + f64(0.85); // holes, relaxed, ..., left contact
}

TEST(DocumentFile, Version2LayoutAndRoundTrip)
{
    const std::string expected = version2File();
    ASSERT_EQ(expected.size(), v2FileSize);
    EXPECT_EQ(encodeDocument({numberedLayer("GaN", 1)}, ContactKind::Fixed, 0.85), expected);

    const std::vector<Layer> saved{numberedLayer("AlGaN", 0), Layer(),
                                   numberedLayer(std::string(65534, 'n'), 4)};
    DocumentFileContents contents;
    ASSERT_TRUE(decodeDocument(encodeDocument(saved, ContactKind::Neutral, 0.0), contents));
    EXPECT_EQ(contents.version, 2);
    EXPECT_EQ(contents.layers, saved);
}

// A document with a setting of every item changed, each number distinct.
Document documentWithSettings()
{
    Document d;
    d.layers = {numberedLayer("GaN", 1)};
    d.layers[0].Tn = Quadratic(77, 1, 2);
    d.layers[0].Tp = Quadratic(78, 3, 4);
    d.grid.leftContact = ContactKind::Fixed, d.grid.leftBarrier = 0.85;
    d.schroedingerOn = true, d.polarizationOn = false;
    d.substrateMaterial = "AlN", d.substrateX = 0.25, d.substrateA = 3.112, d.substratePsp = -0.081;
    d.poissonIterations = 150, d.schroedingerIterations = 30, d.damping = 0.5, d.temperature = 77;
    SchroedingerSettings& q = d.schroedingerSettings;
    q.selfConsistency = SelfConsistency::Accelerated, q.tolerance = 1e-6,
    q.eigenSolver = EigenSolverKind::Dense;
    q.quantumRegion = true, q.quantumFrom = 1e-8, q.quantumTo = 3e-8, q.eigenstateFiles = true;
    q.dumpDirectory = "out";
    d.grid.rightContact = ContactKind::Fixed, d.grid.rightBarrier = 0.4;
    d.chargeView = {1e22, 1e25, false, true, 2e-9, 4e-8};
    return d;
}

// Offsets in the block of documentWithSettings() (one layer, substrate "AlN", folder "out").
constexpr std::size_t blockSize = 276;
constexpr std::size_t temperatureAt = 88;  // SOLV payload 72 + two int32 and the damping
constexpr std::size_t eigenSolverAt = 116; // SCHR payload 104 + int32 + float64
constexpr std::size_t layerCountAt = 176;  // TEMP payload
constexpr std::size_t chargeViewAt = 228;  // CHRG header

// The block of documentWithSettings(), laid out by hand.
std::string handBlock()
{
    return std::string("TVST") +                                  //
           "SWIT" + i32(16) + i32(1) + i32(0) + i32(1) + i32(0) + //
           "SUBS" + i32(28) + bytes({3, 'A', 'l', 'N'}) + f64(0.25) + f64(3.112) + f64(-0.081) + "SOLV" +
           i32(24) + i32(150) + i32(30) + f64(0.5) + f64(77) + //
           "SCHR" + i32(44) + i32(1) + f64(1e-6) + i32(1) + i32(1) + f64(1e-8) + f64(3e-8) + i32(1) +
           bytes({3, 'o', 'u', 't'}) +                                                                     //
           "RCON" + i32(12) + i32(1) + f64(0.4) +                                                          //
           "TEMP" + i32(52) + i32(1) + numbers(77, 77) + numbers(1, 2) + numbers(78, 78) + numbers(3, 4) + //
           "CHRG" + i32(40) + f64(1e22) + f64(1e25) + i32(0) + i32(1) + f64(2e-9) + f64(4e-8);
}

// The settings block after the contact, laid out by hand, saved and opened back whole into a
// document whose settings all differ.
TEST(DocumentFile, SettingsBlockLayoutAndRoundTrip)
{
    const std::string block = handBlock();
    ASSERT_EQ(block.size(), blockSize);
    ScratchFolder dir;
    const Document saved = documentWithSettings();
    ASSERT_TRUE(saveDocumentFile(dir.path("s.tvn"), saved));
    EXPECT_EQ(readFile(dir.path("s.tvn")), version2File() + block);

    Document opened;
    opened.grid.rightContact = ContactKind::Fixed; // a default of the file that must be restored
    ASSERT_TRUE(loadDocumentFile(dir.path("s.tvn"), opened));
    EXPECT_EQ(opened.layers, saved.layers);
    EXPECT_EQ(documentSettings(opened), documentSettings(saved));
}

// Everything at its default: the version-2 file, and opening it returns every setting to its default.
TEST(DocumentFile, DefaultSettingsWriteTheVersion2File)
{
    ScratchFolder dir;
    Document plain;
    plain.layers = {numberedLayer("GaN", 1)};
    plain.grid.leftContact = ContactKind::Fixed, plain.grid.leftBarrier = 0.85;
    ASSERT_TRUE(saveDocumentFile(dir.path("p.tvn"), plain));
    EXPECT_EQ(readFile(dir.path("p.tvn")), version2File());

    Document opened = documentWithSettings();
    const IoResult read = loadDocumentFile(dir.path("p.tvn"), opened);
    ASSERT_TRUE(read.ok && read.notes.empty());
    EXPECT_EQ(opened.layers[0].Tn, Layer().Tn);
    EXPECT_EQ(documentSettings(opened), defaultDocumentSettings());
}

struct DamagedBlock {
    std::string name;
    std::string file;
    std::string note;
    bool solverKept, schroedingerKept, temperaturesKept, chargeViewKept;
    friend void PrintTo(const DamagedBlock& row, std::ostream* out) { *out << row.name; }
};

// The saved file with `replacement` written over the bytes at `offset` of its block.
std::string patched(std::size_t offset, const std::string& replacement)
{
    return (version2File() + handBlock()).replace(v2FileSize + offset, replacement.size(), replacement);
}

class DamagedSettings : public testing::TestWithParam<DamagedBlock> {};

// The layers and the contact always load; every item read cleanly is kept, the rest is the default.
TEST_P(DamagedSettings, KeepTheLayersAndSayWhatWasSkipped)
{
    const DamagedBlock& row = GetParam();
    DocumentFileContents contents;
    ASSERT_TRUE(decodeDocument(row.file, contents));
    EXPECT_EQ(contents.notes, std::vector<std::string>{row.note});
    const Document saved = documentWithSettings();
    EXPECT_EQ(contents.layers[0].material, "GaN");
    EXPECT_EQ(contents.leftBarrier, 0.85);
    const DocumentSettings defaults = defaultDocumentSettings(), stored = documentSettings(saved);
    EXPECT_EQ(contents.settings.temperature, (row.solverKept ? stored : defaults).temperature);
    EXPECT_EQ(contents.settings.schroedinger, (row.schroedingerKept ? stored : defaults).schroedinger);
    EXPECT_EQ(contents.layers[0].Tp, (row.temperaturesKept ? saved.layers[0] : Layer()).Tp);
    EXPECT_EQ(contents.settings.chargeView, (row.chargeViewKept ? stored : defaults).chargeView);
}

const std::string notABlock =
    "Settings skipped: the 3 bytes after the left contact are not a settings block.";
INSTANTIATE_TEST_SUITE_P(
    Rows, DamagedSettings,
    testing::Values(
        DamagedBlock{"UnknownItem",
                     patched(chargeViewAt, "ZZZZ" + i32(3) + "abc" + handBlock().substr(chargeViewAt)),
                     "Settings skipped: unknown item \"ZZZZ\" (3 bytes).", true, true, true, true},
        DamagedBlock{"UnknownEigenSolver", patched(eigenSolverAt, i32(7)),
                     "Settings skipped: the item \"SCHR\" (44 bytes) holds the value 7, which is not a known "
                     "eigen-solver.",
                     true, false, true, true},
        DamagedBlock{
            "NanTemperature", patched(temperatureAt, f64(std::numeric_limits<double>::quiet_NaN())),
            "Settings skipped: the item \"SOLV\" (24 bytes) holds the value nan for the temperature (K).",
            false, true, true, true},
        DamagedBlock{
            "LawsOfTwoLayers", patched(layerCountAt, i32(2)),
            "Settings skipped: the item \"TEMP\" (52 bytes) holds the temperatures of 2 layers where the "
            "file has 1.",
            true, true, false, true},
        DamagedBlock{
            "CutInAnItem", (version2File() + handBlock()).substr(0, v2FileSize + blockSize - 20),
            "Settings skipped from the damaged item \"CHRG\" on: it claims 40 bytes where the file has "
            "20 left.",
            true, true, true, false},
        DamagedBlock{"CutInAHeader", (version2File() + handBlock()).substr(0, v2FileSize + chargeViewAt + 6),
                     "Settings skipped from byte 396 on: the file ends inside the tag and length of an item.",
                     true, true, true, false},
        DamagedBlock{"NotABlock", version2File() + "xyz", notABlock, false, false, false, false}),
    [](const testing::TestParamInfo<DamagedBlock>& info) { return info.param.name; });

// Version 1 keeps thickness, dx, composition, material, Na, Nd and spare; the rest is a new layer's.
TEST(DocumentFile, Version1LoadsWithTheDefaultsOfTheMissingFields)
{
    const std::string file = documentVersion1({Layer(), numberedLayer("AlGaN", 1)}, 1, 1.2);
    ASSERT_EQ(file.size(), 8u + 65 + (65 + 5) + 12);
    DocumentFileContents contents;
    ASSERT_TRUE(decodeDocument(file, contents));
    Layer expected;
    expected.material = "AlGaN";
    expected.thickness = 1, expected.dx = 2, expected.composition = Quadratic(3, 4, 5);
    expected.Na = 6, expected.Nd = 7, expected.spare = 17;
    EXPECT_EQ(contents.version, 1);
    EXPECT_EQ(contents.layers, (std::vector<Layer>{Layer(), expected}));
    EXPECT_EQ(contents.leftContact, ContactKind::Fixed);
    EXPECT_EQ(contents.leftBarrier, 1.2);
}

// Only versions 1 and 2 are known, and told from the first four bytes.
TEST(DocumentFile, OnlyTwoVersionsAreKnown)
{
    const std::string file = encodeDocument({numberedLayer("GaN", 0)}, ContactKind::Fixed, 0.85);
    for (std::int32_t version : {0, 3, -1, 0x102}) {
        DocumentFileContents contents;
        EXPECT_EQ(decodeDocument(i32(version) + file.substr(4), contents).message, "wrong version file!");
        EXPECT_FALSE(looksLikeDocumentFile(i32(version)));
    }
    EXPECT_TRUE(looksLikeDocumentFile(i32(1)) && looksLikeDocumentFile(file));
    EXPECT_FALSE(looksLikeDocumentFile(bytes({2, 0, 0})));
}

} // namespace
} // namespace tervane::test
