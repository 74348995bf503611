#include "io/materials_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "io/archive.h"
#include "io_test_support.h"

namespace tervane {
namespace {

using testing::bytes;
using testing::distinctMaterial;

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

// The record field by field, every value different: sixteen laws in stored order, the name (a 300-byte
// one takes the 0xFF + uint16 prefix), the type and the four background densities.
TEST(MaterialsLayoutTest, FieldsAreStoredInTheirOrder)
{
    for (const std::string& name : {std::string("AlGaN"), std::string(300, 'A')}) {
        const Material m = distinctMaterial(name, 10.0);
        const auto& p = m.polarization;
        ArchiveWriter expected;
        expected.writeInt32(1);
        for (const Quadratic* law : {&m.EaDeep, &m.EdDeep, &m.dEc, &m.Eg, &m.eps, &m.me, &m.mhh, &m.mlh, &p.a,
                                     &p.c13, &p.c33, &p.e31, &p.e33, &p.Psp, &m.EaShallow, &m.EdShallow})
            for (double value : {law->a, law->b, law->c})
                expected.writeFloat64(value);
        expected.writeString(name);
        expected.writeInt32(1); // Ternary
        for (double value : {m.NaBackground, m.NdBackground, m.NdaBackground, m.NddBackground})
            expected.writeFloat64(value);
        EXPECT_EQ(encodeMaterials({m}), expected.bytes());
    }
}

TEST(MaterialsDecodeTest, EveryFieldAndTheOrderComeBackAndTrailingBytesAreIgnored)
{
    const std::vector<Material> saved = {distinctMaterial("GaN", 1.0), Material(),
                                         distinctMaterial("GaN", 100.0),
                                         distinctMaterial(std::string(70000, 'c'), 300.0)};
    std::vector<Material> loaded(2);
    const IoResult result = decodeMaterials(encodeMaterials(saved) + "trailing", loaded);
    ASSERT_TRUE(result) << result.message;
    EXPECT_EQ(loaded, saved);
}

TEST(MaterialsFileTest, SaveAndLoadLeaveNoTemporaryFile)
{
    testing::ScratchFolder folder;
    const std::string path = folder.file("nitrides.mat");
    const std::vector<Material> saved = {distinctMaterial("GaN", 1.0), distinctMaterial("AlGaN", 2.0)};
    ASSERT_TRUE(saveMaterialsFile(path, saved));
    EXPECT_EQ(testing::readFileBytes(path), encodeMaterials(saved));
    std::vector<Material> loaded(3);
    ASSERT_TRUE(loadMaterialsFile(path, loaded));
    EXPECT_EQ(loaded, saved);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1)
        << "a temporary file was left";
}

} // namespace
} // namespace tervane
