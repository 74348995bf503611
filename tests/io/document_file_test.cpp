#include "io/document_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "io/archive.h"
#include "io_test_support.h"

namespace tervane {
namespace {

using testing::bitsOf;
using testing::bytes;
using testing::float64At;
using testing::int32At;

const Quadratic roomTemperature(300.0, 0.0, 0.0);

// Every stored value different, and temperatures that the file does not keep.
Layer distinctLayer(const std::string& material, double base)
{
    Layer layer;
    layer.thickness = 1.5e-8 + base * 1e-9;
    layer.dx = 2.5e-10;
    layer.composition = Quadratic(0.1 + base, 0.2, -0.3);
    layer.material = material;
    layer.Na = 1e23 + base;
    layer.Nd = 2e23;
    layer.Nda = 3e23;
    layer.Ndd = 4e23;
    layer.holes = false;
    layer.relaxed = true;
    layer.strainFactor = 0.75;
    layer.Efn = Quadratic(0.01, 0.02, 0.03);
    layer.Efp = Quadratic(-0.01, -0.02, -0.03);
    layer.spare = 42.0 + base;
    layer.Tn = Quadratic(77.0, 1.0, 2.0);
    layer.Tp = Quadratic(80.0, 3.0, 4.0);
    return layer;
}

// What a layer looks like after it went through a file.
Layer afterLoading(Layer layer)
{
    layer.Tn = roomTemperature;
    layer.Tp = roomTemperature;
    return layer;
}

// A document the failing loads must leave exactly as it is.
Document sentinelDocument()
{
    Document document;
    document.layers = {distinctLayer("Sentinel", 9.0)};
    document.grid.leftContact = 1;
    document.grid.leftBarrier = 0.3;
    document.grid.rightContact = 1;
    document.grid.rightBarrier = 0.6;
    return document;
}

void expectUnchanged(const Document& document)
{
    const Document sentinel = sentinelDocument();
    EXPECT_EQ(document.layers, sentinel.layers);
    EXPECT_EQ(document.grid.leftContact, sentinel.grid.leftContact);
    EXPECT_EQ(document.grid.leftBarrier, sentinel.grid.leftBarrier);
    EXPECT_EQ(document.grid.rightContact, sentinel.grid.rightContact);
    EXPECT_EQ(document.grid.rightBarrier, sentinel.grid.rightBarrier);
}

bool startsWith(const std::string& text, const std::string& start)
{
    return text.rfind(start, 0) == 0;
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
    EXPECT_EQ(encodeDocument({layer}, 0, 0.0), expected);
}

TEST(DocumentLayoutTest, FieldsSitAtTheirOffsets)
{
    const Layer layer = distinctLayer("AlGaN", 0.0);
    const std::string file = encodeDocument({layer}, 1, 0.85);
    const std::size_t shift = layer.material.size() - 3; // offsets below are for a 3-character name
    ASSERT_EQ(file.size(), 168 + shift);
    EXPECT_EQ(int32At(file, 0), 2);
    EXPECT_EQ(int32At(file, 4), 1);
    EXPECT_EQ(float64At(file, 8), layer.thickness);
    EXPECT_EQ(float64At(file, 16), layer.dx);
    EXPECT_EQ(float64At(file, 24), layer.composition.a);
    EXPECT_EQ(float64At(file, 32), layer.composition.b);
    EXPECT_EQ(float64At(file, 40), layer.composition.c);
    EXPECT_EQ(file.substr(48, 6), bytes({5, 'A', 'l', 'G', 'a', 'N'}));
    EXPECT_EQ(float64At(file, 52 + shift), layer.Na);
    EXPECT_EQ(float64At(file, 60 + shift), layer.Nd);
    EXPECT_EQ(float64At(file, 68 + shift), layer.Nda);
    EXPECT_EQ(float64At(file, 76 + shift), layer.Ndd);
    EXPECT_EQ(int32At(file, 84 + shift), 0); // holes
    EXPECT_EQ(int32At(file, 88 + shift), 1); // relaxed
    EXPECT_EQ(float64At(file, 92 + shift), layer.strainFactor);
    EXPECT_EQ(float64At(file, 100 + shift), layer.Efn.a);
    EXPECT_EQ(float64At(file, 116 + shift), layer.Efn.c);
    EXPECT_EQ(float64At(file, 124 + shift), layer.Efp.a);
    EXPECT_EQ(float64At(file, 140 + shift), layer.Efp.c);
    EXPECT_EQ(float64At(file, 148 + shift), layer.spare);
    EXPECT_EQ(int32At(file, 156 + shift), 1);
    EXPECT_EQ(float64At(file, 160 + shift), 0.85);
}

TEST(DocumentRoundTripTest, EveryStoredFieldComesBackAndTemperaturesReset)
{
    Layer plain;
    Layer holesOnly = distinctLayer("GaN", 2.0);
    holesOnly.holes = true;
    holesOnly.relaxed = false;
    const std::vector<Layer> saved = {distinctLayer("AlGaN", 0.0), plain, holesOnly,
                                      distinctLayer(std::string(300, 'm'), 3.0),
                                      distinctLayer(std::string(65534, 'n'), 4.0)};
    DocumentFileContents contents;
    const IoResult result = decodeDocument(encodeDocument(saved, 1, 0.85), contents);
    ASSERT_TRUE(result) << result.message;
    EXPECT_EQ(contents.version, 2);
    ASSERT_EQ(contents.layers.size(), saved.size());
    for (std::size_t i = 0; i < saved.size(); ++i)
        EXPECT_EQ(contents.layers[i], afterLoading(saved[i])) << "layer " << i;
    EXPECT_EQ(contents.layers[0].Tn, roomTemperature);
    EXPECT_EQ(contents.leftContact, 1);
    EXPECT_EQ(contents.leftBarrier, 0.85);
}

TEST(DocumentRoundTripTest, SpecialDoublesKeepTheirBits)
{
    Layer layer;
    layer.thickness = std::numeric_limits<double>::quiet_NaN();
    layer.Nd = std::numeric_limits<double>::infinity();
    layer.Efn = Quadratic(-0.0, std::numeric_limits<double>::denorm_min(),
                          std::bit_cast<double>(std::uint64_t{0x7FF0000000000001}));
    const double barrier = -std::numeric_limits<double>::quiet_NaN();
    const std::string file = encodeDocument({layer}, 0, barrier);
    DocumentFileContents contents;
    ASSERT_TRUE(decodeDocument(file, contents));
    ASSERT_EQ(contents.layers.size(), 1u);
    EXPECT_EQ(bitsOf(contents.layers[0].thickness), bitsOf(layer.thickness));
    EXPECT_EQ(bitsOf(contents.layers[0].Nd), bitsOf(layer.Nd));
    EXPECT_EQ(bitsOf(contents.layers[0].Efn.a), bitsOf(-0.0));
    EXPECT_EQ(bitsOf(contents.layers[0].Efn.b), bitsOf(layer.Efn.b));
    EXPECT_EQ(bitsOf(contents.layers[0].Efn.c), 0x7FF0000000000001u);
    EXPECT_EQ(bitsOf(contents.leftBarrier), bitsOf(barrier));
    EXPECT_EQ(encodeDocument(contents.layers, contents.leftContact, contents.leftBarrier), file);
}

// A version-1 file: thickness, dx, composition, material, Na, Nd, spare per layer.
std::string versionOneFile()
{
    ArchiveWriter archive;
    archive.writeInt32(1);
    archive.writeInt32(2);
    for (int i = 0; i < 2; ++i) {
        archive.writeFloat64(1e-8 * (i + 1));
        archive.writeFloat64(1e-10);
        archive.writeFloat64(0.3 * i);
        archive.writeFloat64(0.1);
        archive.writeFloat64(0.0);
        archive.writeString(i == 0 ? "GaN" : "AlGaN");
        archive.writeFloat64(5e22);
        archive.writeFloat64(7e23);
        archive.writeFloat64(-1.0);
    }
    archive.writeInt32(1);
    archive.writeFloat64(1.2);
    return archive.take();
}

TEST(DocumentVersionOneTest, LoadsWithTheDefaultsOfTheMissingFields)
{
    const std::string file = versionOneFile();
    ASSERT_EQ(file.size(), 8 + (65 + 3) + (65 + 5) + 12);
    DocumentFileContents contents;
    const IoResult result = decodeDocument(file, contents);
    ASSERT_TRUE(result) << result.message;
    EXPECT_EQ(contents.version, 1);
    ASSERT_EQ(contents.layers.size(), 2u);
    const Layer& second = contents.layers[1];
    EXPECT_EQ(second.thickness, 2e-8);
    EXPECT_EQ(second.dx, 1e-10);
    EXPECT_EQ(second.composition, Quadratic(0.3, 0.1, 0.0));
    EXPECT_EQ(second.material, "AlGaN");
    EXPECT_EQ(second.Na, 5e22);
    EXPECT_EQ(second.Nd, 7e23);
    EXPECT_EQ(second.spare, -1.0);
    for (const Layer& layer : contents.layers) {
        EXPECT_TRUE(layer.holes);
        EXPECT_EQ(layer.Nda, 0.0);
        EXPECT_EQ(layer.Ndd, 0.0);
        EXPECT_FALSE(layer.relaxed);
        EXPECT_EQ(layer.strainFactor, 0.0);
        EXPECT_EQ(layer.Efn, Quadratic());
        EXPECT_EQ(layer.Efp, Quadratic());
        EXPECT_EQ(layer.Tn, roomTemperature);
        EXPECT_EQ(layer.Tp, roomTemperature);
    }
    EXPECT_EQ(contents.leftContact, 1);
    EXPECT_EQ(contents.leftBarrier, 1.2);
}

TEST(DocumentFlagsTest, OnlyTheValueOneIsTrue)
{
    Layer layer;
    layer.material = "GaN";
    const std::string file = encodeDocument({layer}, 0, 0.0); // holes at byte 84, relaxed at 88
    struct Case {
        std::int32_t stored;
        bool expected;
    };
    for (const Case& c :
         {Case{0, false}, Case{1, true}, Case{2, false}, Case{-1, false}, Case{256 + 1, false}}) {
        DocumentFileContents contents;
        ASSERT_TRUE(decodeDocument(withInt32At(withInt32At(file, 84, c.stored), 88, c.stored), contents));
        EXPECT_EQ(contents.layers.at(0).holes, c.expected) << c.stored;
        EXPECT_EQ(contents.layers.at(0).relaxed, c.expected) << c.stored;
    }
}

TEST(DocumentDecodeTest, UnknownVersionIsRefused)
{
    const std::string valid = encodeDocument({distinctLayer("GaN", 0.0)}, 1, 0.5);
    for (std::int32_t version : {0, 3, -1, 0x102, std::numeric_limits<std::int32_t>::min()}) {
        DocumentFileContents contents;
        contents.leftBarrier = 7.0;
        IoResult result = decodeDocument(withInt32At(valid, 0, version), contents);
        EXPECT_EQ(result.message, "wrong version file!") << version;
        EXPECT_EQ(contents.leftBarrier, 7.0);
        EXPECT_TRUE(contents.layers.empty());
        // Nothing after the version is looked at.
        result = decodeDocument(withInt32At(valid, 0, version).substr(0, 4), contents);
        EXPECT_EQ(result.message, "wrong version file!");
    }
}

TEST(DocumentDecodeTest, NegativeCountGivesNoLayers)
{
    const std::string file =
        bytes({2, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xE0, 0x3F});
    DocumentFileContents contents;
    contents.layers = {Layer()};
    ASSERT_TRUE(decodeDocument(file, contents));
    EXPECT_TRUE(contents.layers.empty());
    EXPECT_EQ(contents.leftContact, 1);
    EXPECT_EQ(contents.leftBarrier, 0.5);
}

TEST(DocumentDecodeTest, TruncationAtEveryByteFails)
{
    const std::vector<std::string> files = {
        encodeDocument({distinctLayer("GaN", 0.0), distinctLayer(std::string(300, 'z'), 1.0)}, 1, 0.5),
        versionOneFile()};
    for (const std::string& file : files) {
        for (std::size_t size = 0; size < file.size(); ++size) {
            DocumentFileContents contents;
            contents.leftBarrier = 7.0;
            const IoResult result = decodeDocument(std::string_view(file).substr(0, size), contents);
            ASSERT_FALSE(result) << "a file cut to " << size << " bytes was accepted";
            EXPECT_TRUE(startsWith(result.message, "The file is truncated: "))
                << size << ": " << result.message;
            EXPECT_TRUE(contents.layers.empty());
            EXPECT_EQ(contents.leftBarrier, 7.0);
        }
    }
}

TEST(DocumentDecodeTest, BytesAfterTheContactAreIgnored)
{
    DocumentFileContents contents;
    ASSERT_TRUE(decodeDocument(encodeDocument({Layer()}, 0, 0.25) + "xyz", contents));
    EXPECT_EQ(contents.layers.size(), 1u);
    EXPECT_EQ(contents.leftBarrier, 0.25);
}

TEST(DocumentHostileInputTest, HugeCountIsRefusedBeforeAllocating)
{
    const std::string file = bytes({2, 0, 0, 0, 0x00, 0x94, 0x35, 0x77, 0, 0, 0, 0});
    DocumentFileContents contents;
    testing::LargestAllocation probe;
    const IoResult result = decodeDocument(file, contents);
    EXPECT_LT(probe.bytes(), 4096u);
    EXPECT_EQ(result.message,
              "The file is truncated: it announces 2000000000 layer records, but the 4 bytes that "
              "follow cannot hold them");
}

TEST(DocumentHostileInputTest, HugeOrWideMaterialNameIsRefused)
{
    const std::string head = bytes({2, 0, 0, 0, 1, 0, 0, 0}) + std::string(40, '\0');
    // Na .. spare of the record (104 bytes), then the contact (12).
    const std::string tail = std::string(104, '\0') + std::string(12, '\0');
    DocumentFileContents contents;
    {
        const std::string file = head + bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF}) + tail;
        testing::LargestAllocation probe;
        const IoResult result = decodeDocument(file, contents);
        EXPECT_LT(probe.bytes(), 4096u);
        EXPECT_EQ(result.message,
                  "The file is truncated: the text at byte 48 claims 4294967294 characters, but "
                  "only 116 bytes are left (reading layer record 1 of 1)");
    }
    {
        const std::string file = head + bytes({0xFF, 0xFE, 0xFF, 0x00}) + tail;
        const IoResult result = decodeDocument(file, contents);
        EXPECT_EQ(result.message,
                  "The file is corrupt: the text at byte 48 is marked as 16-bit characters, which "
                  "these files never hold (reading layer record 1 of 1)");
    }
    EXPECT_TRUE(contents.layers.empty());
}

TEST(DocumentHostileInputTest, RandomDamageNeverCrashesOrOverAllocates)
{
    const std::string original =
        encodeDocument({distinctLayer("GaN", 0.0), distinctLayer(std::string(280, 'w'), 1.0)}, 1, 0.5);
    std::mt19937 random(77);
    std::uniform_int_distribution<std::size_t> position(0, original.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 2000; ++round) {
        std::string damaged = original;
        for (int i = 0; i <= round % 4; ++i)
            damaged[position(random)] = static_cast<char>(byte(random));
        if (round % 5 == 0)
            damaged[0] = 1; // also exercise the version-1 reader on damaged data
        if (round % 3 == 0)
            damaged.resize(position(random));
        DocumentFileContents contents;
        contents.leftBarrier = 7.0;
        testing::LargestAllocation probe;
        const IoResult result = decodeDocument(damaged, contents);
        ASSERT_LT(probe.bytes(), 4 * original.size() + 4096) << "round " << round;
        if (!result) {
            EXPECT_FALSE(result.message.empty());
            EXPECT_EQ(contents.leftBarrier, 7.0);
        }
    }
}

TEST(DocumentFileTest, LoadReplacesTheStackAndSetsOnlyTheLeftContact)
{
    testing::ScratchFolder folder;
    const std::string path = folder.file("well.tvd");
    Document saved;
    saved.layers = {distinctLayer("GaN", 0.0), distinctLayer("AlGaN", 1.0)};
    saved.grid.leftContact = 1;
    saved.grid.leftBarrier = 0.85;
    saved.grid.rightContact = 1;
    saved.grid.rightBarrier = 0.4;
    ASSERT_TRUE(saveDocumentFile(path, saved));
    EXPECT_EQ(testing::readFileBytes(path), encodeDocument(saved.layers, 1, 0.85));

    Document document = sentinelDocument(); // right contact Fixed at 0.6 eV
    document.grid.leftContact = 0;
    document.grid.leftBarrier = 0.0;
    document.materials.resize(2);
    document.temperature = 77.0;
    const IoResult result = loadDocumentFile(path, document);
    ASSERT_TRUE(result) << result.message;
    ASSERT_EQ(document.layers.size(), 2u);
    EXPECT_EQ(document.layers[0], afterLoading(saved.layers[0]));
    EXPECT_EQ(document.layers[1], afterLoading(saved.layers[1]));
    EXPECT_EQ(document.grid.leftContact, 1);
    EXPECT_EQ(document.grid.leftBarrier, 0.85);
    EXPECT_EQ(document.grid.rightContact, 1); // the right contact is not in the file
    EXPECT_EQ(document.grid.rightBarrier, 0.6);
    EXPECT_EQ(document.materials.size(), 2u);
    EXPECT_EQ(document.temperature, 77.0);

    // A fresh program opening the same file gets the default right contact, not the saved one.
    Document fresh;
    ASSERT_TRUE(loadDocumentFile(path, fresh));
    EXPECT_EQ(fresh.grid.rightContact, 0);
    EXPECT_EQ(fresh.grid.rightBarrier, 0.0);
}

TEST(DocumentFileTest, FailedLoadsLeaveTheDocumentAlone)
{
    testing::ScratchFolder folder;
    const std::string good = encodeDocument({distinctLayer("GaN", 0.0), distinctLayer("InGaN", 1.0)}, 0, 0.0);
    const std::string path = folder.file("bad.tvd");
    Document document = sentinelDocument();
    testing::writeFileBytes(path, good.substr(0, good.size() - 1));
    EXPECT_TRUE(startsWith(loadDocumentFile(path, document).message, "The file is truncated: "));
    testing::writeFileBytes(path, withInt32At(good, 0, 3));
    EXPECT_EQ(loadDocumentFile(path, document).message, "wrong version file!");
    EXPECT_EQ(loadDocumentFile(folder.file("absent.tvd"), document).message, "Could not open file");
    EXPECT_FALSE(loadDocumentFile(folder.path().string(), document));
    expectUnchanged(document);
}

TEST(DocumentFileTest, FailedSaveReportsAndKeepsTheOldFile)
{
    testing::ScratchFolder folder;
    const Document document = sentinelDocument();
    IoResult result = saveDocumentFile(folder.file("missing/well.tvd"), document);
    EXPECT_FALSE(result);
    EXPECT_FALSE(result.message.empty());

    std::filesystem::create_directory(folder.path() / "sub");
    testing::writeFileBytes(folder.file("sub/old.tvd"), "old");
    result = saveDocumentFile(folder.file("sub"), document);
    EXPECT_FALSE(result);
    EXPECT_FALSE(result.message.empty());
    EXPECT_EQ(testing::readFileBytes(folder.file("sub/old.tvd")), "old");
}

TEST(DocumentSniffTest, RecognisesTheTwoVersions)
{
    EXPECT_TRUE(looksLikeDocumentFile(bytes({1, 0, 0, 0})));
    EXPECT_TRUE(looksLikeDocumentFile(bytes({2, 0, 0, 0, 9})));
    EXPECT_TRUE(looksLikeDocumentFile(encodeDocument({}, 0, 0.0)));
    EXPECT_FALSE(looksLikeDocumentFile(bytes({3, 0, 0, 0})));
    EXPECT_FALSE(looksLikeDocumentFile(bytes({0, 0, 0, 0})));
    EXPECT_FALSE(looksLikeDocumentFile(bytes({1, 0, 0, 1})));
    EXPECT_FALSE(looksLikeDocumentFile(bytes({2, 0, 0})));
    EXPECT_FALSE(looksLikeDocumentFile(""));
    EXPECT_FALSE(looksLikeDocumentFile("REPEAT 3\n"));
}

} // namespace
} // namespace tervane
