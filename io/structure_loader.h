#pragma once

#include <string>
#include <vector>

#include "engine/grid.h"
#include "io/document_file.h"
#include "io/io_result.h"
#include "model/layer.h"

namespace tervane {

class Observer;

// How a structure argument is read.
enum class StructureFormat {
    Detect,   // a document file when its first four bytes are the int32 1 or 2, a script otherwise
    Document, // always a document file
    Script,   // always an import script
};

// What a structure argument describes: the stack and the left contact, and the settings a document
// file keeps with them. An import script has no contact or settings of its own, so it gives the
// default Neutral contact with a barrier of 0 eV and the default settings.
struct Structure {
    std::vector<Layer> layers; // index 0 at the left contact
    ContactKind leftContact = ContactKind::Neutral;
    double leftBarrier = 0.0; // eV
    DocumentSettings settings = defaultDocumentSettings();
};

// Reads the document file or import script at `path`. The script's non-fatal findings ("Unknown
// command in line #...") go to `observer` as they are met and do not make the load fail; what a
// document's settings block skipped is in the result's notes. On failure `structure` is left as it
// was and the result carries the message.
IoResult loadStructure(const std::string& path, StructureFormat format, Observer& observer,
                       Structure& structure);

// The same for the bytes of a file already read.
IoResult decodeStructure(const std::string& bytes, StructureFormat format, Observer& observer,
                         Structure& structure);

} // namespace tervane
