#include "io/materials_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io_test_support.h"

namespace tervane::test {
namespace {

// The sixteen laws in stored order, the name, the type and the four backgrounds: 421 bytes and the name.
TEST(MaterialsFile, LayoutOfTheCountAndARecord)
{
    EXPECT_EQ(encodeMaterials({}), i32(0));
    const std::string record = numbers(0, 47) + bytes({3, 'G', 'a', 'N'}) + i32(Ternary) + numbers(48, 51);
    ASSERT_EQ(record.size(), 424u);
    EXPECT_EQ(encodeMaterials({numberedMaterial("GaN", 0)}), i32(1) + record);
}

// Every record in order, the same name twice, an empty record; bytes after the last are ignored.
TEST(MaterialsFile, EveryRecordComesBackInOrder)
{
    const std::vector saved{numberedMaterial("GaN", 1, Binary), Material(), numberedMaterial("GaN", 9)};
    std::vector<Material> loaded(2);
    ASSERT_TRUE(decodeMaterials(encodeMaterials(saved) + "trailing", loaded));
    EXPECT_EQ(loaded, saved);
}

} // namespace
} // namespace tervane::test
