#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/document.h"
#include "io/io_result.h"
#include "model/layer.h"

namespace tervane {

// What a document file holds: the layer stack and the left contact.
struct DocumentFileContents {
    int version = 2;
    std::vector<Layer> layers;
    ContactKind leftContact = ContactKind::Neutral; // stored as its int32 value
    double leftBarrier = 0.0;                       // eV
};

// The bytes of a version-2 document file.
std::string encodeDocument(const std::vector<Layer>& layers, ContactKind leftContact, double leftBarrier);

// Parses versions 1 and 2. An unknown version gives "wrong version file!"; a truncated or corrupt
// file gives a message; `contents` is only written on success.
IoResult decodeDocument(std::string_view bytes, DocumentFileContents& contents);

// File > Save: the layers and the left contact of `document`, through a temporary file.
IoResult saveDocumentFile(const std::string& path, const Document& document);

// File > Open, without the solve that follows: on success the layer stack is replaced and the left
// contact set; on failure nothing in `document` changes.
IoResult loadDocumentFile(const std::string& path, Document& document);

// True when the bytes start like a document file (the int32 1 or 2).
bool looksLikeDocumentFile(std::string_view bytes);

} // namespace tervane
