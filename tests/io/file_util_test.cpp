#include "io/file_util.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "io/document_file.h"
#include "io/materials_file.h"
#include "io/materials_toml.h"
#include "io_test_support.h"

namespace tervane::test {
namespace {

constexpr rlim_t fullDiskBytes = 1000; // what a save may write before the disk is full

// Each save stops part-way, as on a full disk, whatever the user's rights (root too): the previous
// file stays whole, no temporary file is left, and the message says so. With room, the save goes through.
TEST(AtomicSave, FailedSaveKeepsThePreviousFileWhole)
{
    ScratchFolder folder;
    const std::vector<Material> materials = {numberedMaterial("GaN", 0), numberedMaterial("AlGaN", 60),
                                             numberedMaterial("AlN", 120)};
    Document document;
    document.layers.assign(8, layerOf("GaN", 1e-8, 1e23));
    const auto save = [&](const std::string& path) {
        return path.ends_with(".tvm")    ? saveMaterialsFile(path, materials)
               : path.ends_with(".toml") ? saveMaterialsTomlFile(path, materials)
                                         : saveDocumentFile(path, document);
    };
    for (const std::string name : {"list.tvm", "list.toml", "stack.tvn"}) {
        const std::string path = folder.write(name, "previous contents");
        IoResult result;
        {
            const FileSizeLimit fullDisk(fullDiskBytes);
            result = save(path);
        }
        EXPECT_EQ(result.message, "Could not write the file " + path + "; the previous file is unchanged");
        EXPECT_EQ(readFile(path), "previous contents");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1) << name;
        ASSERT_TRUE(save(path)) << name;
        EXPECT_GT(readFile(path).size(), fullDiskBytes);
        std::filesystem::remove(path);
    }
}

} // namespace
} // namespace tervane::test
