#include "io/document_file.h"

#include <cstdint>
#include <limits>
#include <new>

#include "io/archive.h"
#include "io/file_util.h"
#include "io/stored_records.h"

namespace tervane {

namespace {

constexpr std::int32_t currentVersion = 2;

// Smallest layer records (empty material name) of each version.
constexpr std::size_t minStoredLayerSizeV1 = 2 * 8 + storedQuadraticSize + 1 + 2 * 8 + 8;
constexpr std::size_t minStoredLayerSizeV2 =
    2 * 8 + storedQuadraticSize + 1 + 4 * 8 + 2 * 4 + 8 + 2 * storedQuadraticSize + 8;
// Left contact kind and barrier after the layers.
constexpr std::size_t contactSize = 4 + 8;

// One layer record. Version 1 holds only thickness, dx, composition, material, Na, Nd and spare.
// Tn and Tp are never stored: a loaded layer has the constructor's 300 K.
template <class Archive, StoredAs<Layer> L> void serialize(Archive& archive, L& layer, std::int32_t version)
{
    archive.field(layer.thickness);
    archive.field(layer.dx);
    serialize(archive, layer.composition);
    archive.field(layer.material);
    archive.field(layer.Na);
    archive.field(layer.Nd);
    if (version >= 2) {
        archive.field(layer.Nda);
        archive.field(layer.Ndd);
        archive.flag(layer.holes);
        archive.flag(layer.relaxed);
        archive.field(layer.strainFactor);
        serialize(archive, layer.Efn);
        serialize(archive, layer.Efp);
    } else if constexpr (Archive::isLoading) {
        layer.holes = true;
        layer.Nda = 0.0;
        layer.Ndd = 0.0;
        layer.relaxed = false;
        layer.strainFactor = 0.0;
        layer.Efn = Quadratic();
        layer.Efp = Quadratic();
    }
    archive.field(layer.spare);
}

std::string writeDocument(const std::vector<Layer>& layers, ContactKind leftContact, double leftBarrier)
{
    if (layers.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw ArchiveError(ArchiveError::Kind::TooLong, "There are too many layers to be stored in one file");
    ArchiveWriter archive;
    archive.writeInt32(currentVersion);
    archive.writeInt32(static_cast<std::int32_t>(layers.size()));
    for (const Layer& layer : layers)
        serialize(archive, layer, currentVersion);
    archive.writeInt32(static_cast<std::int32_t>(leftContact));
    archive.writeFloat64(leftBarrier);
    return archive.take();
}

} // namespace

std::string encodeDocument(const std::vector<Layer>& layers, ContactKind leftContact, double leftBarrier)
{
    return writeDocument(layers, leftContact, leftBarrier);
}

IoResult decodeDocument(std::string_view bytes, DocumentFileContents& contents)
{
    try {
        ArchiveReader archive(bytes);
        archive.setContext("reading the version");
        const std::int32_t version = archive.readInt32();
        if (version != 1 && version != 2)
            return IoResult::failure(textWrongVersion);
        archive.setContext("reading the layer count");
        const std::int32_t count = archive.readInt32();
        archive.setContext({});
        archive.requireRecords(count, version == 1 ? minStoredLayerSizeV1 : minStoredLayerSizeV2, contactSize,
                               "layer records");
        DocumentFileContents loaded;
        loaded.version = version;
        if (count > 0)
            loaded.layers.reserve(static_cast<std::size_t>(count));
        for (std::int32_t i = 0; i < count; ++i) {
            archive.setContext("reading layer record " + std::to_string(i + 1) + " of " +
                               std::to_string(count));
            serialize(archive, loaded.layers.emplace_back(), version);
        }
        archive.setContext("reading the left contact");
        loaded.leftContact = static_cast<ContactKind>(archive.readInt32());
        loaded.leftBarrier = archive.readFloat64();
        // Bytes after the contact are ignored, as the reader of these files always has.
        contents = std::move(loaded);
        return IoResult::success();
    } catch (const ArchiveError& error) {
        return IoResult::failure(error.what());
    } catch (const std::bad_alloc&) {
        return IoResult::failure("There is not enough memory to read the document file");
    }
}

IoResult saveDocumentFile(const std::string& path, const Document& document)
{
    std::string bytes;
    try {
        bytes = writeDocument(document.layers, document.grid.leftContact, document.grid.leftBarrier);
    } catch (const ArchiveError& error) {
        return IoResult::failure(std::string("Could not write the file ") + path + ": " + error.what());
    } catch (const std::bad_alloc&) {
        return IoResult::failure("There is not enough memory to write the file " + path);
    }
    return writeFileAtomically(path, bytes);
}

IoResult loadDocumentFile(const std::string& path, Document& document)
{
    std::string bytes;
    if (IoResult read = readWholeFile(path, bytes); !read)
        return read;
    DocumentFileContents contents;
    if (IoResult decoded = decodeDocument(bytes, contents); !decoded)
        return decoded;
    // Opening replaces the stack rather than appending to it; the right contact is not in the file.
    document.layers = std::move(contents.layers);
    document.grid.leftContact = contents.leftContact;
    document.grid.leftBarrier = contents.leftBarrier;
    return IoResult::success();
}

bool looksLikeDocumentFile(std::string_view bytes)
{
    if (bytes.size() < archivedInt32Size)
        return false;
    ArchiveReader archive(bytes);
    const std::int32_t version = archive.readInt32();
    return version == 1 || version == 2;
}

} // namespace tervane
