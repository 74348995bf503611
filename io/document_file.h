#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/charge_view_settings.h"
#include "engine/document.h"
#include "engine/grid.h"
#include "engine/schroedinger_settings.h"
#include "io/io_result.h"
#include "model/layer.h"

namespace tervane {

// What a document keeps besides its layers and left contact, in the settings block of its file. Each
// layer's Tn and Tp go with the layer. A value-initialized one holds zeros: `defaultDocumentSettings()`
// gives a new document's values, the ones a file without a block loads with.
struct DocumentSettings {
    bool schroedingerOn{};
    bool valenceSchroedingerOn{};
    bool fullyIonized{};
    bool polarizationOn{};
    double substrateA{};   // Angstrom
    double substratePsp{}; // C/m^2
    std::string substrateMaterial;
    double substrateX{};
    int poissonIterations{};
    int schroedingerIterations{};
    double damping{};
    double temperature{}; // K
    SchroedingerSettings schroedinger;
    ContactKind rightContact{};
    double rightBarrier{}; // eV
    ChargeViewSettings chargeView;

    bool operator==(const DocumentSettings& other) const = default;
};

// The settings of a default-constructed Document.
[[nodiscard]] DocumentSettings defaultDocumentSettings();
[[nodiscard]] DocumentSettings documentSettings(const Document& document);
void applyDocumentSettings(const DocumentSettings& settings, Document& document);

// The rule that keeps a file with nothing set byte for byte a version-2 file: true, and no settings
// block is written, when `settings` are the defaults and every layer's Tn and Tp are those of a new
// Layer (the constant 300 K).
[[nodiscard]] bool settingsAreDefault(const DocumentSettings& settings, const std::vector<Layer>& layers);

// What a document file holds: the layer stack (with each layer's Tn and Tp), the left contact and the
// settings.
struct DocumentFileContents {
    int version = 2;
    std::vector<Layer> layers;
    ContactKind leftContact = ContactKind::Neutral; // stored as its int32 value
    double leftBarrier = 0.0;                       // eV
    DocumentSettings settings = defaultDocumentSettings();
    // One sentence for each part of the settings block that was skipped (unknown or damaged); the
    // settings it held keep their defaults.
    std::vector<std::string> notes;
};

// The bytes of a version-2 document file: the layers, the left contact and, unless
// `settingsAreDefault`, the settings block.
std::string encodeDocument(const std::vector<Layer>& layers, ContactKind leftContact, double leftBarrier,
                           const DocumentSettings& settings = defaultDocumentSettings());

// Parses versions 1 and 2. An unknown version gives "wrong version file!"; a truncated or corrupt
// layer section or contact gives a message; `contents` is only written on success. A settings block
// never fails the read: what cannot be read of it is skipped, with a note in `contents.notes`.
IoResult decodeDocument(std::string_view bytes, DocumentFileContents& contents);

// File > Save: the layers, the left contact and the settings of `document`, through a temporary file.
IoResult saveDocumentFile(const std::string& path, const Document& document);

// The bytes of a document file into `document` as File > Open puts them (see loadDocumentFile).
IoResult readDocument(std::string_view bytes, Document& document);

// File > Open, without the solve that follows: on success the layer stack is replaced, the left
// contact and every setting of DocumentSettings set (to its default when the file does not hold it),
// and the result's `notes` say what of the settings block was skipped; on failure nothing in
// `document` changes.
IoResult loadDocumentFile(const std::string& path, Document& document);

// True when the bytes start like a document file (the int32 1 or 2).
bool looksLikeDocumentFile(std::string_view bytes);

} // namespace tervane
