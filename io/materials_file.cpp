#include "io/materials_file.h"

#include <cstdint>
#include <limits>
#include <new>

#include "io/archive.h"
#include "io/file_util.h"
#include "io/stored_records.h"

namespace tervane {

namespace {

// Writes the count and the records; throws ArchiveError (TooLong) for a name beyond 4 GiB.
std::string writeMaterials(const std::vector<Material>& materials)
{
    if (materials.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw ArchiveError(ArchiveError::Kind::TooLong,
                           "There are too many materials to be stored in one file");
    ArchiveWriter archive;
    archive.writeInt32(static_cast<std::int32_t>(materials.size()));
    for (const Material& material : materials)
        serialize(archive, material);
    return archive.take();
}

} // namespace

std::string encodeMaterials(const std::vector<Material>& materials)
{
    return writeMaterials(materials);
}

IoResult decodeMaterials(std::string_view bytes, std::vector<Material>& materials)
{
    try {
        ArchiveReader archive(bytes);
        archive.setContext("reading the material count");
        const std::int32_t count = archive.readInt32();
        archive.setContext({});
        archive.requireRecords(count, minStoredMaterialSize, 0, "material records");
        std::vector<Material> loaded;
        if (count > 0)
            loaded.reserve(static_cast<std::size_t>(count));
        for (std::int32_t i = 0; i < count; ++i) {
            archive.setContext("reading material record " + std::to_string(i + 1) + " of " +
                               std::to_string(count));
            serialize(archive, loaded.emplace_back());
        }
        // Bytes after the last record are ignored, as the reader of these files always has.
        materials = std::move(loaded);
        return IoResult::success();
    } catch (const ArchiveError& error) {
        return IoResult::failure(error.what());
    } catch (const std::bad_alloc&) {
        return IoResult::failure("There is not enough memory to read the materials file");
    }
}

IoResult saveMaterialsFile(const std::string& path, const std::vector<Material>& materials)
{
    std::string bytes;
    try {
        bytes = writeMaterials(materials);
    } catch (const ArchiveError& error) {
        return IoResult::failure(std::string("Could not write the file ") + path + ": " + error.what());
    } catch (const std::bad_alloc&) {
        return IoResult::failure("There is not enough memory to write the file " + path);
    }
    return writeFileAtomically(path, bytes);
}

IoResult loadMaterialsFile(const std::string& path, std::vector<Material>& materials)
{
    std::string bytes;
    if (IoResult read = readWholeFile(path, bytes); !read)
        return read;
    return decodeMaterials(bytes, materials);
}

} // namespace tervane
