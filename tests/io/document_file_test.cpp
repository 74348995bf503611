#include "io/document_file.h"

#include <gtest/gtest.h>

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

// Temperatures are not stored: a layer comes back with the constructor's 300 K.
TEST(DocumentFile, Version2LayoutAndRoundTrip)
{
    const std::string expected = i32(2) + i32(1) + numbers(1, 5) + // version, count, thickness, dx, x
                                 bytes({3, 'G', 'a', 'N'}) + numbers(6, 9) + // material, Na, Nd, Nda, Ndd
                                 i32(0) + i32(1) + numbers(10, 17) +         // holes, relaxed, strain...
                                 i32(1) + f64(0.85);                         // left contact
    ASSERT_EQ(expected.size(), 8u + 145 + 3 + 12);
    EXPECT_EQ(encodeDocument({numberedLayer("GaN", 1)}, ContactKind::Fixed, 0.85), expected);

    std::vector<Layer> saved{numberedLayer("AlGaN", 0), Layer(), numberedLayer(std::string(65534, 'n'), 4)};
    saved[0].Tn = Quadratic(77, 1, 2);
    DocumentFileContents contents;
    ASSERT_TRUE(decodeDocument(encodeDocument(saved, ContactKind::Neutral, 0.0) + "xyz", contents));
    saved[0].Tn = Layer().Tn;
    EXPECT_EQ(contents.version, 2);
    EXPECT_EQ(contents.layers, saved);
}

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
