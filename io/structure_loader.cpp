#include "io/structure_loader.h"

#include <utility>

#include "io/document_file.h"
#include "io/file_util.h"
#include "io/import_script.h"
#include "model/observer.h"

namespace tervane {

namespace {

IoResult decodeDocumentStructure(const std::string& bytes, Structure& structure)
{
    DocumentFileContents contents;
    IoResult result = decodeDocument(bytes, contents);
    if (!result)
        return result;
    structure.layers = std::move(contents.layers);
    structure.leftContact = contents.leftContact;
    structure.leftBarrier = contents.leftBarrier;
    structure.settings = std::move(contents.settings);
    result.notes = std::move(contents.notes);
    return result;
}

IoResult parseScriptStructure(const std::string& bytes, Observer& observer, Structure& structure)
{
    std::vector<Layer> layers;
    IoResult result = parseScriptText(bytes, layers, observer);
    if (!result)
        return result;
    structure = Structure{};
    structure.layers = std::move(layers);
    return result;
}

} // namespace

IoResult loadStructure(const std::string& path, StructureFormat format, Observer& observer,
                       Structure& structure)
{
    // The whole file is read once so that detection and parsing see the same bytes.
    std::string bytes;
    if (IoResult result = readWholeFile(path, bytes); !result)
        return result;
    return decodeStructure(bytes, format, observer, structure);
}

IoResult decodeStructure(const std::string& bytes, StructureFormat format, Observer& observer,
                         Structure& structure)
{
    const bool isDocument = format == StructureFormat::Document ||
                            (format == StructureFormat::Detect && looksLikeDocumentFile(bytes));
    return isDocument ? decodeDocumentStructure(bytes, structure)
                      : parseScriptStructure(bytes, observer, structure);
}

} // namespace tervane
