#include "io/document_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/archive.h"
#include "io_test_support.h"

namespace tervane {
namespace {

using testing::bytes;

const Quadratic roomTemperature(300.0, 0.0, 0.0);

// Every stored value different (base, base + 0.125, ...), and temperatures that the file does not keep.
Layer distinctLayer(const std::string& material, double base)
{
    Layer l;
    l.material = material;
    l.holes = false;
    l.relaxed = true;
    for (double* number :
         {&l.thickness, &l.dx,    &l.composition.a, &l.composition.b, &l.composition.c, &l.Na,
          &l.Nd,        &l.Nda,   &l.Ndd,           &l.strainFactor,  &l.Efn.a,         &l.Efn.b,
          &l.Efn.c,     &l.Efp.a, &l.Efp.b,         &l.Efp.c,         &l.spare,         &l.Tn.a,
          &l.Tn.b,      &l.Tn.c,  &l.Tp.a,          &l.Tp.b,          &l.Tp.c}) {
        *number = base;
        base += 0.125;
    }
    return l;
}

// What a layer looks like after it went through a file.
Layer afterLoading(Layer layer)
{
    layer.Tn = roomTemperature;
    layer.Tp = roomTemperature;
    return layer;
}

std::string withInt32At(std::string data, std::size_t offset, std::int32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        data[offset + i] = static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFFu);
    return data;
}

TEST(DocumentLayoutTest, OneGaNLayerIs168Bytes)
{
    Layer layer;
    layer.material = "GaN";
    layer.composition = Quadratic(0.2, 0.0, 0.0);
    const std::string zero8(8, '\0');
    const std::string expected =
        bytes({2, 0, 0, 0, 1, 0, 0, 0}) + zero8 + zero8 +         // version, count, thickness, dx
        bytes({0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0xC9, 0x3F}) + // composition a = 0.2
        zero8 + zero8 + bytes({3, 'G', 'a', 'N'}) +               // b, c, material
        std::string(32, '\0') +                                   // Na, Nd, Nda, Ndd
        bytes({1, 0, 0, 0, 0, 0, 0, 0}) +                         // holes, relaxed
        zero8 + std::string(48, '\0') + zero8 +                   // strain, Efn, Efp, spare
        bytes({0, 0, 0, 0}) + zero8;                              // left contact
    ASSERT_EQ(expected.size(), 168u);
    EXPECT_EQ(encodeDocument({layer}, ContactKind::Neutral, 0.0), expected);
}

// The stored order written out field by field: a field swapped or left out shows, every value being
// different.
TEST(DocumentLayoutTest, FieldsAreStoredInTheirOrder)
{
    const Layer l = distinctLayer("AlGaN", 0.0);
    ArchiveWriter expected;
    expected.writeInt32(2);
    expected.writeInt32(1);
    for (double value : {l.thickness, l.dx, l.composition.a, l.composition.b, l.composition.c})
        expected.writeFloat64(value);
    expected.writeString("AlGaN");
    for (double value : {l.Na, l.Nd, l.Nda, l.Ndd})
        expected.writeFloat64(value);
    expected.writeInt32(0); // holes
    expected.writeInt32(1); // relaxed
    for (double value : {l.strainFactor, l.Efn.a, l.Efn.b, l.Efn.c, l.Efp.a, l.Efp.b, l.Efp.c, l.spare})
        expected.writeFloat64(value);
    expected.writeInt32(1);
    expected.writeFloat64(0.85);
    EXPECT_EQ(encodeDocument({l}, ContactKind::Fixed, 0.85), expected.bytes());
}

TEST(DocumentDecodeTest, EveryStoredFieldComesBackAndTemperaturesReset)
{
    Layer holesOnly = distinctLayer("GaN", 2.0);
    holesOnly.holes = true;
    holesOnly.relaxed = false;
    const std::vector<Layer> saved = {distinctLayer("AlGaN", 0.0), Layer(), holesOnly,
                                      distinctLayer(std::string(65534, 'n'), 4.0)};
    DocumentFileContents contents;
    const IoResult result = decodeDocument(encodeDocument(saved, ContactKind::Fixed, 0.85) + "xyz", contents);
    ASSERT_TRUE(result) << result.message;
    EXPECT_EQ(contents.version, 2);
    ASSERT_EQ(contents.layers.size(), saved.size());
    for (std::size_t i = 0; i < saved.size(); ++i)
        EXPECT_EQ(contents.layers[i], afterLoading(saved[i])) << "layer " << i;
    EXPECT_EQ(contents.leftContact, ContactKind::Fixed);
    EXPECT_EQ(contents.leftBarrier, 0.85);
}

// Version 1 keeps thickness, dx, composition, material, Na, Nd and spare per layer: 65 bytes and the
// name, against 145 and the name in version 2.
TEST(DocumentDecodeTest, VersionOneLoadsWithTheDefaultsOfTheMissingFields)
{
    ArchiveWriter file;
    file.writeInt32(1);
    file.writeInt32(2);
    for (int i = 0; i < 2; ++i) {
        for (double value : {1e-8 * (i + 1), 1e-10, 0.3 * i, 0.1, 0.0})
            file.writeFloat64(value);
        file.writeString(i == 0 ? "GaN" : "AlGaN");
        for (double value : {5e22, 7e23, -1.0})
            file.writeFloat64(value);
    }
    file.writeInt32(1);
    file.writeFloat64(1.2);
    ASSERT_EQ(file.bytes().size(), 8 + (65 + 3) + (65 + 5) + 12);
    DocumentFileContents contents;
    const IoResult result = decodeDocument(file.bytes(), contents);
    ASSERT_TRUE(result) << result.message;
    EXPECT_EQ(contents.version, 1);
    ASSERT_EQ(contents.layers.size(), 2u);
    Layer expected; // what a version-2 layer with these values and the defaults would hold
    expected.thickness = 2e-8;
    expected.dx = 1e-10;
    expected.composition = Quadratic(0.3, 0.1, 0.0);
    expected.material = "AlGaN";
    expected.Na = 5e22;
    expected.Nd = 7e23;
    expected.spare = -1.0;
    expected.Tn = expected.Tp = roomTemperature;
    EXPECT_EQ(contents.layers[1], expected);
    EXPECT_EQ(contents.leftContact, ContactKind::Fixed);
    EXPECT_EQ(contents.leftBarrier, 1.2);
}

TEST(DocumentDecodeTest, FlagsAreTrueOnlyForOneAndOnlyTwoVersionsAreKnown)
{
    Layer layer;
    layer.material = "GaN";
    const std::string file = encodeDocument({layer}, ContactKind::Neutral, 0.0); // holes at byte 84, relaxed at 88
    for (std::int32_t stored : {1, 2, -1, 257}) {
        DocumentFileContents contents;
        ASSERT_TRUE(decodeDocument(withInt32At(withInt32At(file, 84, stored), 88, stored), contents));
        EXPECT_EQ(contents.layers.at(0).holes, stored == 1) << stored;
        EXPECT_EQ(contents.layers.at(0).relaxed, stored == 1) << stored;
    }
    for (std::int32_t version : {0, 3, -1, 0x102}) {
        DocumentFileContents contents;
        EXPECT_EQ(decodeDocument(withInt32At(file, 0, version), contents).message, "wrong version file!");
        EXPECT_FALSE(looksLikeDocumentFile(withInt32At(file, 0, version)));
    }
    for (const std::string& data : {bytes({1, 0, 0, 0}), bytes({2, 0, 0, 0, 9})})
        EXPECT_TRUE(looksLikeDocumentFile(data)) << ::testing::PrintToString(data);
    for (const std::string& data : {bytes({2, 0, 0}), std::string("REPEAT 3\n")})
        EXPECT_FALSE(looksLikeDocumentFile(data)) << ::testing::PrintToString(data);
}

// Loading replaces the stack and sets the left contact only: the right contact is not in the file.
TEST(DocumentFileTest, LoadReplacesTheStackAndSetsOnlyTheLeftContact)
{
    testing::ScratchFolder folder;
    const std::string path = folder.file("well.tvd");
    Document saved;
    saved.layers = {distinctLayer("GaN", 0.0), distinctLayer("AlGaN", 1.0)};
    saved.grid.leftContact = ContactKind::Fixed;
    saved.grid.leftBarrier = 0.85;
    saved.grid.rightBarrier = 0.4;
    ASSERT_TRUE(saveDocumentFile(path, saved));
    EXPECT_EQ(testing::readFileBytes(path), encodeDocument(saved.layers, ContactKind::Fixed, 0.85));

    Document document;
    document.layers = {distinctLayer("Before", 9.0)};
    document.grid.rightBarrier = 0.6;
    document.temperature = 77.0;
    ASSERT_TRUE(loadDocumentFile(path, document));
    ASSERT_EQ(document.layers.size(), 2u);
    EXPECT_EQ(document.layers[1], afterLoading(saved.layers[1]));
    EXPECT_EQ(document.grid.leftContact, ContactKind::Fixed);
    EXPECT_EQ(document.grid.leftBarrier, 0.85);
    EXPECT_EQ(document.grid.rightBarrier, 0.6);
    EXPECT_EQ(document.temperature, 77.0);
}

} // namespace
} // namespace tervane
