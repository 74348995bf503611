#include "io/materials_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "io_test_support.h"

namespace tervane {
namespace {

using testing::bytes;
using testing::float64At;
using testing::int32At;

// Every double of the record different, so a field written to or read from the wrong place shows.
Material distinctMaterial(const std::string& name, double base)
{
    Material m;
    double next = base;
    auto law = [&next] {
        const Quadratic q(next + 0.25, next + 0.5, next + 0.75);
        next += 1.0;
        return q;
    };
    m.EaDeep = law();
    m.EdDeep = law();
    m.dEc = law();
    m.Eg = law();
    m.eps = law();
    m.me = law();
    m.mhh = law();
    m.mlh = law();
    m.polarization.a = law();
    m.polarization.c13 = law();
    m.polarization.c33 = law();
    m.polarization.e31 = law();
    m.polarization.e33 = law();
    m.polarization.Psp = law();
    m.EaShallow = law();
    m.EdShallow = law();
    m.name = name;
    m.type = Ternary;
    m.NaBackground = 1e17 + base;
    m.NdBackground = 2e17 + base;
    m.NdaBackground = 3e17 + base;
    m.NddBackground = 4e17 + base;
    return m;
}

// A list the failing reads must leave exactly as it is.
std::vector<Material> sentinelList()
{
    return {distinctMaterial("Sentinel", 500.0)};
}

bool startsWith(const std::string& text, const std::string& start)
{
    return text.rfind(start, 0) == 0;
}

TEST(MaterialsLayoutTest, EmptyListIsFourZeroBytes)
{
    EXPECT_EQ(encodeMaterials({}), bytes({0, 0, 0, 0}));
}

TEST(MaterialsLayoutTest, PlainGaNRecordIs424Bytes)
{
    Material gan;
    gan.name = "GaN";
    const std::string file = encodeMaterials({gan});
    ASSERT_EQ(file.size(), 4u + 424u);
    EXPECT_EQ(file.substr(0, 4), bytes({1, 0, 0, 0}));
    const std::string record = file.substr(4);
    EXPECT_EQ(record.substr(0, 384), std::string(384, '\0'));
    EXPECT_EQ(record.substr(384, 4), bytes({3, 'G', 'a', 'N'}));
    EXPECT_EQ(record.substr(388), std::string(36, '\0'));
}

TEST(MaterialsLayoutTest, LongNameTakesTheSixteenBitPrefix)
{
    Material m;
    m.name = std::string(300, 'A');
    const std::string file = encodeMaterials({m});
    ASSERT_EQ(file.size(), 4u + 421u + 300u + 2u);
    EXPECT_EQ(file.substr(4 + 384, 3), bytes({0xFF, 0x2C, 0x01}));
    EXPECT_EQ(file.substr(4 + 387, 300), m.name);
    EXPECT_EQ(file.substr(4 + 687), std::string(36, '\0'));
}

TEST(MaterialsLayoutTest, FieldsSitAtTheirOffsets)
{
    const Material m = distinctMaterial("AlGaN", 10.0);
    const std::string file = encodeMaterials({m});
    const std::size_t n = m.name.size();
    ASSERT_EQ(file.size(), 4 + 421 + n);
    const std::string record = file.substr(4);

    const std::vector<std::pair<std::size_t, const Quadratic*>> laws = {{0, &m.EaDeep},
                                                                        {24, &m.EdDeep},
                                                                        {48, &m.dEc},
                                                                        {72, &m.Eg},
                                                                        {96, &m.eps},
                                                                        {120, &m.me},
                                                                        {144, &m.mhh},
                                                                        {168, &m.mlh},
                                                                        {192, &m.polarization.a},
                                                                        {216, &m.polarization.c13},
                                                                        {240, &m.polarization.c33},
                                                                        {264, &m.polarization.e31},
                                                                        {288, &m.polarization.e33},
                                                                        {312, &m.polarization.Psp},
                                                                        {336, &m.EaShallow},
                                                                        {360, &m.EdShallow}};
    for (const auto& [offset, law] : laws) {
        SCOPED_TRACE("law at offset " + std::to_string(offset));
        EXPECT_EQ(float64At(record, offset), law->a);
        EXPECT_EQ(float64At(record, offset + 8), law->b);
        EXPECT_EQ(float64At(record, offset + 16), law->c);
    }
    EXPECT_EQ(record.substr(384, 1 + n), bytes({5, 'A', 'l', 'G', 'a', 'N'}));
    EXPECT_EQ(int32At(record, 385 + n), 1);
    EXPECT_EQ(float64At(record, 389 + n), m.NaBackground);
    EXPECT_EQ(float64At(record, 397 + n), m.NdBackground);
    EXPECT_EQ(float64At(record, 405 + n), m.NdaBackground);
    EXPECT_EQ(float64At(record, 413 + n), m.NddBackground);
}

TEST(MaterialsRoundTripTest, EveryFieldAndTheOrderComeBack)
{
    Material plain; // default: Binary, all zero, empty name
    const std::vector<Material> saved = {distinctMaterial("GaN", 1.0), plain, distinctMaterial("GaN", 100.0),
                                         distinctMaterial(std::string(300, 'b'), 200.0),
                                         distinctMaterial(std::string(70000, 'c'), 300.0)};
    std::vector<Material> loaded = sentinelList();
    const IoResult result = decodeMaterials(encodeMaterials(saved), loaded);
    ASSERT_TRUE(result) << result.message;
    EXPECT_EQ(loaded, saved);
}

TEST(MaterialsDecodeTest, CountOfZeroOrLessGivesAnEmptyList)
{
    for (const std::string& file :
         {bytes({0, 0, 0, 0}), bytes({0xFB, 0xFF, 0xFF, 0xFF, 1, 2, 3}), bytes({0x00, 0x00, 0x00, 0x80})}) {
        std::vector<Material> materials = sentinelList();
        ASSERT_TRUE(decodeMaterials(file, materials));
        EXPECT_TRUE(materials.empty());
    }
}

TEST(MaterialsDecodeTest, BytesAfterTheLastRecordAreIgnored)
{
    const std::vector<Material> saved = {distinctMaterial("InN", 3.0)};
    std::vector<Material> loaded;
    ASSERT_TRUE(decodeMaterials(encodeMaterials(saved) + "trailing", loaded));
    EXPECT_EQ(loaded, saved);
}

TEST(MaterialsDecodeTest, TruncationAtEveryByteFailsAndKeepsTheList)
{
    const std::string file =
        encodeMaterials({distinctMaterial("GaN", 1.0), distinctMaterial(std::string(300, 'x'), 2.0)});
    for (std::size_t size = 0; size < file.size(); ++size) {
        std::vector<Material> materials = sentinelList();
        const IoResult result = decodeMaterials(std::string_view(file).substr(0, size), materials);
        ASSERT_FALSE(result) << "a file cut to " << size << " bytes was accepted";
        EXPECT_TRUE(startsWith(result.message, "The file is truncated: ")) << size << ": " << result.message;
        EXPECT_EQ(materials, sentinelList()) << size;
    }
}

TEST(MaterialsDecodeTest, TruncationMessagesSayWhere)
{
    const std::string file = encodeMaterials({distinctMaterial("GaN", 1.0), distinctMaterial("AlN", 2.0)});
    std::vector<Material> materials;
    IoResult result = decodeMaterials(std::string_view(file).substr(0, 2), materials);
    EXPECT_EQ(result.message, "The file is truncated: expected an int32 at byte 0, but only 2 bytes are left "
                              "(reading the material count)");
    // Both records are present but the last double of the second is cut short.
    result = decodeMaterials(std::string_view(file).substr(0, file.size() - 1), materials);
    EXPECT_EQ(result.message,
              "The file is truncated: expected a float64 at byte 844, but only 7 bytes are left "
              "(reading material record 2 of 2)");
}

TEST(MaterialsHostileInputTest, HugeCountIsRefusedBeforeAllocating)
{
    // 2,000,000,000 = 0x77359400, then 8 bytes of nothing.
    const std::string file = bytes({0x00, 0x94, 0x35, 0x77, 0, 0, 0, 0, 0, 0, 0, 0});
    std::vector<Material> materials = sentinelList();
    testing::LargestAllocation probe;
    const IoResult result = decodeMaterials(file, materials);
    EXPECT_LT(probe.bytes(), 4096u);
    EXPECT_EQ(result.message,
              "The file is truncated: it announces 2000000000 material records, but the 8 bytes "
              "that follow cannot hold them");
    EXPECT_EQ(materials, sentinelList());
}

TEST(MaterialsHostileInputTest, HugeNameLengthIsRefusedBeforeAllocating)
{
    // One record whose name claims 0xFFFFFFFE bytes, then the 36 bytes a record ends with.
    const std::string file = bytes({1, 0, 0, 0}) + std::string(384, '\0') +
                             bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF}) + std::string(36, '\0');
    std::vector<Material> materials = sentinelList();
    testing::LargestAllocation probe;
    const IoResult result = decodeMaterials(file, materials);
    EXPECT_LT(probe.bytes(), 4096u);
    EXPECT_EQ(result.message,
              "The file is truncated: the text at byte 388 claims 4294967294 characters, but only "
              "36 bytes are left (reading material record 1 of 1)");
    EXPECT_EQ(materials, sentinelList());
}

TEST(MaterialsHostileInputTest, SixteenBitNameIsRefused)
{
    const std::string file = bytes({1, 0, 0, 0}) + std::string(384, '\0') +
                             bytes({0xFF, 0xFE, 0xFF, 0x03, 'G', 0, 'a', 0, 'N', 0}) + std::string(36, '\0');
    std::vector<Material> materials = sentinelList();
    const IoResult result = decodeMaterials(file, materials);
    EXPECT_EQ(result.message,
              "The file is corrupt: the text at byte 388 is marked as 16-bit characters, which these "
              "files never hold (reading material record 1 of 1)");
    EXPECT_EQ(materials, sentinelList());
}

TEST(MaterialsHostileInputTest, RandomDamageNeverCrashesOrOverAllocates)
{
    const std::string original =
        encodeMaterials({distinctMaterial("GaN", 1.0), distinctMaterial(std::string(260, 'q'), 2.0)});
    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::size_t> position(0, original.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 2000; ++round) {
        std::string damaged = original;
        const int changes = 1 + round % 4;
        for (int i = 0; i < changes; ++i)
            damaged[position(random)] = static_cast<char>(byte(random));
        if (round % 3 == 0)
            damaged.resize(position(random));
        std::vector<Material> materials = sentinelList();
        testing::LargestAllocation probe;
        const IoResult result = decodeMaterials(damaged, materials);
        ASSERT_LT(probe.bytes(), 4 * original.size() + 4096) << "round " << round;
        if (!result) {
            EXPECT_FALSE(result.message.empty());
            EXPECT_EQ(materials, sentinelList()) << "round " << round;
        }
    }
}

TEST(MaterialsFileTest, SaveAndLoadRoundTrip)
{
    testing::ScratchFolder folder;
    const std::string path = folder.file("nitrides.mat");
    const std::vector<Material> saved = {distinctMaterial("GaN", 1.0), distinctMaterial("AlGaN", 2.0)};
    ASSERT_TRUE(saveMaterialsFile(path, saved));
    EXPECT_EQ(testing::readFileBytes(path), encodeMaterials(saved));
    std::vector<Material> loaded = sentinelList();
    ASSERT_TRUE(loadMaterialsFile(path, loaded));
    EXPECT_EQ(loaded, saved);

    // Saving an empty list over it leaves 4 bytes, and loading those empties the list.
    ASSERT_TRUE(saveMaterialsFile(path, {}));
    EXPECT_EQ(testing::readFileBytes(path), bytes({0, 0, 0, 0}));
    ASSERT_TRUE(loadMaterialsFile(path, loaded));
    EXPECT_TRUE(loaded.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1)
        << "a temporary file was left";
}

TEST(MaterialsFileTest, MissingOrUnreadableFileKeepsTheList)
{
    testing::ScratchFolder folder;
    std::vector<Material> materials = sentinelList();
    IoResult result = loadMaterialsFile(folder.file("absent.mat"), materials);
    EXPECT_EQ(result.message, "Could not open file");
    result = loadMaterialsFile(folder.path().string(), materials);
    EXPECT_FALSE(result);
    EXPECT_TRUE(startsWith(result.message, "Could not open file")) << result.message;
    testing::writeFileBytes(folder.file("short.mat"), bytes({1, 0}));
    result = loadMaterialsFile(folder.file("short.mat"), materials);
    EXPECT_TRUE(startsWith(result.message, "The file is truncated: ")) << result.message;
    EXPECT_EQ(materials, sentinelList());
}

TEST(MaterialsFileTest, FailedSaveReportsAndKeepsTheOldFile)
{
    testing::ScratchFolder folder;
    const std::vector<Material> materials = {distinctMaterial("GaN", 1.0)};

    IoResult result = saveMaterialsFile(folder.file("no-such-folder/nitrides.mat"), materials);
    EXPECT_FALSE(result);
    EXPECT_FALSE(result.message.empty());
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "no-such-folder"));

    std::filesystem::create_directory(folder.path() / "sub");
    testing::writeFileBytes(folder.file("sub/keep.mat"), "old contents");
    result = saveMaterialsFile(folder.file("sub"), materials);
    EXPECT_FALSE(result);
    EXPECT_FALSE(result.message.empty());
    EXPECT_TRUE(std::filesystem::is_directory(folder.path() / "sub"));
    EXPECT_EQ(testing::readFileBytes(folder.file("sub/keep.mat")), "old contents");
}

TEST(MaterialsFileTest, SaveIntoReadOnlyFolderKeepsTheOldFile)
{
    testing::ScratchFolder folder;
    const std::vector<Material> materials = {distinctMaterial("GaN", 1.0)};
    std::filesystem::create_directory(folder.path() / "sub");
    testing::writeFileBytes(folder.file("sub/keep.mat"), "old contents");
    std::filesystem::permissions(folder.path() / "sub",
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    {
        std::ofstream probe(folder.file("sub/probe"));
        if (probe) {
            probe.close();
            GTEST_SKIP() << "file permissions are not enforced for this user";
        }
    }
    const IoResult result = saveMaterialsFile(folder.file("sub/keep.mat"), materials);
    EXPECT_FALSE(result);
    EXPECT_FALSE(result.message.empty());
    EXPECT_EQ(testing::readFileBytes(folder.file("sub/keep.mat")), "old contents");
}

} // namespace
} // namespace tervane
