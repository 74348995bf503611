#include "io/materials_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "io_test_support.h"

namespace tervane {
namespace {

using testing::bytes;
using testing::float64At;
using testing::int32At;

// The sixteen laws in stored order, written out here from the record layout.
std::vector<Quadratic*> lawsInStoredOrder(Material& m)
{
    auto& p = m.polarization;
    return {&m.EaDeep, &m.EdDeep, &m.dEc, &m.Eg,  &m.eps, &m.me,  &m.mhh,       &m.mlh,
            &p.a,      &p.c13,    &p.c33, &p.e31, &p.e33, &p.Psp, &m.EaShallow, &m.EdShallow};
}

// Every double of the record different, so a field written to or read from the wrong place shows:
// stored double j of the laws is base + j / 3 + (j % 3 + 1) / 4.
Material distinctMaterial(const std::string& name, double base)
{
    Material m;
    const std::vector<Quadratic*> laws = lawsInStoredOrder(m);
    for (std::size_t i = 0; i < laws.size(); ++i)
        *laws[i] = Quadratic(base + double(i) + 0.25, base + double(i) + 0.5, base + double(i) + 0.75);
    m.name = name;
    m.type = Ternary;
    m.NaBackground = 1e17 + base;
    m.NdBackground = 2e17 + base;
    m.NdaBackground = 3e17 + base;
    m.NddBackground = 4e17 + base;
    return m;
}

// The list every failing read must leave exactly as it is.
const std::vector<Material> sentinel = {distinctMaterial("Sentinel", 500.0)};

TEST(MaterialsLayoutTest, EmptyListAndPlainGaNRecord)
{
    EXPECT_EQ(encodeMaterials({}), bytes({0, 0, 0, 0}));
    Material gan;
    gan.name = "GaN";
    const std::string file = encodeMaterials({gan});
    ASSERT_EQ(file.size(), 4u + 424u);
    EXPECT_EQ(file, bytes({1, 0, 0, 0}) + std::string(384, '\0') + bytes({3, 'G', 'a', 'N'}) +
                        std::string(36, '\0'));
}

// Sixteen laws at 24-byte steps, the name, the type and the four background densities; a 300-byte
// name takes the 0xFF + uint16 prefix and shifts the tail by two more bytes.
TEST(MaterialsLayoutTest, FieldsSitAtTheirOffsets)
{
    for (const std::string& name : {std::string("AlGaN"), std::string(300, 'A')}) {
        const Material m = distinctMaterial(name, 10.0);
        const std::string record = encodeMaterials({m}).substr(4);
        const std::string prefix = name.size() < 255 ? bytes({5}) : bytes({0xFF, 0x2C, 0x01});
        const std::size_t tail = 384 + prefix.size() + name.size();
        ASSERT_EQ(record.size(), tail + 36);
        for (std::size_t j = 0; j < 48; ++j)
            EXPECT_EQ(float64At(record, 8 * j), 10.0 + double(j / 3) + 0.25 * double(j % 3 + 1)) << j;
        EXPECT_EQ(record.substr(384, prefix.size() + name.size()), prefix + name);
        EXPECT_EQ(int32At(record, tail), 1); // Ternary
        EXPECT_EQ(float64At(record, tail + 4), m.NaBackground);
        EXPECT_EQ(float64At(record, tail + 12), m.NdBackground);
        EXPECT_EQ(float64At(record, tail + 20), m.NdaBackground);
        EXPECT_EQ(float64At(record, tail + 28), m.NddBackground);
    }
}

TEST(MaterialsDecodeTest, EveryFieldAndTheOrderComeBackAndTrailingBytesAreIgnored)
{
    const std::vector<Material> saved = {distinctMaterial("GaN", 1.0), Material(),
                                         distinctMaterial("GaN", 100.0),
                                         distinctMaterial(std::string(70000, 'c'), 300.0)};
    std::vector<Material> loaded = sentinel;
    const IoResult result = decodeMaterials(encodeMaterials(saved) + "trailing", loaded);
    ASSERT_TRUE(result) << result.message;
    EXPECT_EQ(loaded, saved);
}

// Any one byte set to 0xFF (which turns a count or a length huge): no allocation beyond the file's own
// size, and the list as it was when refused.
TEST(MaterialsDecodeTest, DamagedFilesKeepTheList)
{
    const std::string file =
        encodeMaterials({distinctMaterial("GaN", 1.0), distinctMaterial(std::string(300, 'x'), 2.0)});
    for (std::size_t at = 0; at < file.size(); ++at) {
        std::string damaged = file;
        damaged[at] = '\xFF';
        std::vector<Material> materials = sentinel;
        testing::LargestAllocation probe;
        const IoResult result = decodeMaterials(damaged, materials);
        ASSERT_LT(probe.bytes(), 4 * file.size() + 4096) << "byte " << at;
        if (!result) {
            EXPECT_EQ(materials, sentinel) << "byte " << at;
        }
    }
}

TEST(MaterialsFileTest, SaveAndLoadLeaveNoTemporaryFile)
{
    testing::ScratchFolder folder;
    const std::string path = folder.file("nitrides.mat");
    const std::vector<Material> saved = {distinctMaterial("GaN", 1.0), distinctMaterial("AlGaN", 2.0)};
    ASSERT_TRUE(saveMaterialsFile(path, saved));
    EXPECT_EQ(testing::readFileBytes(path), encodeMaterials(saved));
    std::vector<Material> loaded = sentinel;
    ASSERT_TRUE(loadMaterialsFile(path, loaded));
    EXPECT_EQ(loaded, saved);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1)
        << "a temporary file was left";
}

} // namespace
} // namespace tervane
