#include "io/document_file.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <new>
#include <tuple>
#include <utility>

#include "io/archive.h"
#include "io/file_util.h"
#include "io/stored_records.h"
#include "model/text.h"

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
// Tn and Tp are not in the record: a layer has the constructor's 300 K unless the settings block
// holds its laws.
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

// The settings block after the left contact: the magic, then items of a 4-character tag, a uint32
// payload length and the payload. A version-2 reader stops at the contact and never sees it.
constexpr std::string_view settingsMagic = "TVST";
constexpr std::size_t itemHeaderSize = 4 + 4;

// A value the block holds that no document can have; `detail` completes "holds ...".
struct BadSetting {
    std::string detail;
};

std::string numberText(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// Every number of the block must be finite; `what` names it with its unit ("the temperature (K)").
void requireFinite(double value, const char* what)
{
    if (!std::isfinite(value))
        throw BadSetting{"the value " + numberText(value) + " for " + what};
}

void requireAbove(double value, double bound, const char* what)
{
    if (!(value > bound) || !std::isfinite(value))
        throw BadSetting{"the value " + numberText(value) + " for " + what};
}

// An enum stored as its int32 value; on reading, a value outside 0 .. count - 1 is refused.
template <class Archive, class Enum>
void enumField(Archive& archive, Enum& value, int count, const char* what)
{
    if constexpr (Archive::isLoading) {
        const std::int32_t stored = archive.readInt32();
        if (stored < 0 || stored >= count)
            throw BadSetting{"the value " + std::to_string(stored) + ", which is not a known " + what};
        value = static_cast<Enum>(stored);
    } else {
        archive.writeInt32(static_cast<std::int32_t>(value));
    }
}

// The items, each listing its fields once in stored order (docs/file-formats.md). Reading checks
// what it read; a throw leaves the caller's settings as they were, since it reads into a copy.
template <class Archive, StoredAs<DocumentSettings> S> void serializeSwitches(Archive& archive, S& settings)
{
    archive.flag(settings.schroedingerOn);
    archive.flag(settings.valenceSchroedingerOn);
    archive.flag(settings.fullyIonized);
    archive.flag(settings.polarizationOn);
}

template <class Archive, StoredAs<DocumentSettings> S> void serializeSubstrate(Archive& archive, S& settings)
{
    archive.field(settings.substrateMaterial);
    archive.field(settings.substrateX);
    archive.field(settings.substrateA);
    archive.field(settings.substratePsp);
    if constexpr (Archive::isLoading) {
        requireFinite(settings.substrateX, "the substrate composition");
        requireFinite(settings.substrateA, "the substrate lattice constant (Angstrom)");
        requireFinite(settings.substratePsp, "the substrate polarization (C/m^2)");
    }
}

template <class Archive, StoredAs<DocumentSettings> S> void serializeSolver(Archive& archive, S& settings)
{
    archive.field(settings.poissonIterations);
    archive.field(settings.schroedingerIterations);
    archive.field(settings.damping);
    archive.field(settings.temperature);
    if constexpr (Archive::isLoading) {
        if (settings.poissonIterations < 0 || settings.schroedingerIterations < 0)
            throw BadSetting{"a negative iteration limit"};
        if (!(settings.damping >= 0.0 && settings.damping <= 1.0))
            throw BadSetting{"the value " + numberText(settings.damping) + " for the damping (0 to 1)"};
        requireAbove(settings.temperature, 0.0, "the temperature (K)");
    }
}

template <class Archive, StoredAs<DocumentSettings> S>
void serializeSchroedinger(Archive& archive, S& settings)
{
    auto& schroedinger = settings.schroedinger;
    enumField(archive, schroedinger.selfConsistency, 2, "self-consistency");
    archive.field(schroedinger.tolerance);
    enumField(archive, schroedinger.eigenSolver, 2, "eigen-solver");
    archive.flag(schroedinger.quantumRegion);
    archive.field(schroedinger.quantumFrom);
    archive.field(schroedinger.quantumTo);
    archive.flag(schroedinger.eigenstateFiles);
    archive.field(schroedinger.dumpDirectory);
    if constexpr (Archive::isLoading) {
        requireAbove(schroedinger.tolerance, 0.0, "the Schroedinger tolerance (V)");
        requireFinite(schroedinger.quantumFrom, "the start of the quantum region (m)");
        requireFinite(schroedinger.quantumTo, "the end of the quantum region (m)");
    }
}

template <class Archive, StoredAs<DocumentSettings> S>
void serializeRightContact(Archive& archive, S& settings)
{
    enumField(archive, settings.rightContact, 2, "contact kind");
    archive.field(settings.rightBarrier);
    if constexpr (Archive::isLoading)
        requireFinite(settings.rightBarrier, "the right barrier (eV)");
}

template <class Archive, StoredAs<DocumentSettings> S> void serializeChargeView(Archive& archive, S& settings)
{
    auto& view = settings.chargeView;
    archive.field(view.lower);
    archive.field(view.upper);
    archive.flag(view.autoScale);
    archive.flag(view.logScale);
    archive.field(view.rangeFrom);
    archive.field(view.rangeTo);
    if constexpr (Archive::isLoading) {
        requireFinite(view.lower, "the lower density of the charge view (m^-3)");
        requireFinite(view.upper, "the upper density of the charge view (m^-3)");
        requireFinite(view.rangeFrom, "the start of the sheet-density range (m)");
        requireFinite(view.rangeTo, "the end of the sheet-density range (m)");
    }
}

// The count of layers, then each layer's Tn and Tp laws.
void writeTemperatures(ArchiveWriter& archive, const std::vector<Layer>& layers)
{
    archive.writeInt32(static_cast<std::int32_t>(layers.size()));
    for (const Layer& layer : layers) {
        serialize(archive, layer.Tn);
        serialize(archive, layer.Tp);
    }
}

void readTemperatures(ArchiveReader& archive, std::vector<Layer>& layers)
{
    const std::int32_t count = archive.readInt32();
    if (count < 0 || static_cast<std::size_t>(count) != layers.size())
        throw BadSetting{"the temperatures of " + std::to_string(count) + " layers where the file has " +
                         std::to_string(layers.size())};
    archive.requireRecords(count, 2 * storedQuadraticSize, 0, "temperature laws");
    std::vector<std::pair<Quadratic, Quadratic>> laws(layers.size());
    for (auto& [Tn, Tp] : laws) {
        serialize(archive, Tn);
        serialize(archive, Tp);
        for (double value : {Tn.a, Tn.b, Tn.c, Tp.a, Tp.b, Tp.c})
            requireFinite(value, "a temperature law (K)");
    }
    for (std::size_t k = 0; k < layers.size(); ++k)
        std::tie(layers[k].Tn, layers[k].Tp) = laws[k];
}

struct SettingsItem {
    std::string_view tag;
    void (*write)(ArchiveWriter&, const DocumentSettings&, const std::vector<Layer>&);
    void (*read)(ArchiveReader&, DocumentSettings&, std::vector<Layer>&);
};

template <void (*Write)(ArchiveWriter&, const DocumentSettings&),
          void (*Read)(ArchiveReader&, DocumentSettings&)>
constexpr SettingsItem settingsItem(std::string_view tag)
{
    return {tag, [](ArchiveWriter& a, const DocumentSettings& s, const std::vector<Layer>&) { Write(a, s); },
            [](ArchiveReader& a, DocumentSettings& s, std::vector<Layer>&) { Read(a, s); }};
}

// Written in this order; read in any order, a later item of a tag replacing an earlier one.
const SettingsItem settingsItems[] = {
    settingsItem<serializeSwitches, serializeSwitches>("SWIT"),
    settingsItem<serializeSubstrate, serializeSubstrate>("SUBS"),
    settingsItem<serializeSolver, serializeSolver>("SOLV"),
    settingsItem<serializeSchroedinger, serializeSchroedinger>("SCHR"),
    settingsItem<serializeRightContact, serializeRightContact>("RCON"),
    {"TEMP",
     [](ArchiveWriter& a, const DocumentSettings&, const std::vector<Layer>& l) { writeTemperatures(a, l); },
     [](ArchiveReader& a, DocumentSettings&, std::vector<Layer>& l) { readTemperatures(a, l); }},
    settingsItem<serializeChargeView, serializeChargeView>("CHRG"),
};

std::string settingsBlock(const DocumentSettings& settings, const std::vector<Layer>& layers)
{
    std::string block(settingsMagic);
    for (const SettingsItem& item : settingsItems) {
        ArchiveWriter payload;
        item.write(payload, settings, layers);
        if (payload.bytes().size() > std::numeric_limits<std::uint32_t>::max())
            throw ArchiveError(ArchiveError::Kind::TooLong,
                               "The settings are too long to be stored in one file");
        ArchiveWriter length;
        length.writeUInt32(static_cast<std::uint32_t>(payload.bytes().size()));
        block += item.tag;
        block += length.bytes();
        block += payload.bytes();
    }
    return block;
}

// Reads the block that starts at `start` into `contents`, whose layers are read already. Never fails:
// an item that cannot be read is skipped with a note, and what it held keeps its default. Once an
// item's length cannot be trusted, nothing after it can be found, and the rest is skipped.
void readSettingsBlock(std::string_view bytes, std::size_t start, DocumentFileContents& contents)
{
    std::vector<std::string>& notes = contents.notes;
    const std::string_view rest = bytes.substr(start);
    if (rest.empty())
        return;
    if (!rest.starts_with(settingsMagic)) {
        notes.push_back("Settings skipped: the " + std::to_string(rest.size()) +
                        " bytes after the left contact are not a settings block.");
        return;
    }
    std::size_t position = start + settingsMagic.size();
    while (position < bytes.size()) {
        if (bytes.size() - position < itemHeaderSize) {
            notes.push_back("Settings skipped from byte " + std::to_string(position) +
                            " on: the file ends inside the tag and length of an item.");
            return;
        }
        ArchiveReader header(bytes.substr(position + 4, 4));
        const std::string tag = printableText(bytes.substr(position, 4), true);
        const std::uint32_t length = header.readUInt32();
        const std::size_t left = bytes.size() - position - itemHeaderSize;
        if (length > left) {
            notes.push_back("Settings skipped from the damaged item \"" + tag + "\" on: it claims " +
                            std::to_string(length) + " bytes where the file has " + std::to_string(left) +
                            " left.");
            return;
        }
        const std::string_view payload = bytes.substr(position + itemHeaderSize, length);
        const std::string_view rawTag = bytes.substr(position, 4);
        position += itemHeaderSize + length;

        const SettingsItem* item = nullptr;
        for (const SettingsItem& known : settingsItems)
            if (known.tag == rawTag)
                item = &known;
        const std::string named = "the item \"" + tag + "\" (" + std::to_string(length) + " bytes)";
        if (!item) {
            notes.push_back("Settings skipped: unknown item \"" + tag + "\" (" + std::to_string(length) +
                            " bytes).");
            continue;
        }
        DocumentSettings settings = contents.settings;
        std::vector<Layer>& layers = contents.layers;
        ArchiveReader archive(payload);
        try {
            item->read(archive, settings, layers);
        } catch (const BadSetting& bad) {
            notes.push_back("Settings skipped: " + named + " holds " + bad.detail + ".");
            continue;
        } catch (const ArchiveError& error) {
            notes.push_back("Settings skipped: " + named + " is damaged" +
                            (error.kind() == ArchiveError::Kind::Truncated ? ", too short for its fields."
                                                                           : ", its text unreadable."));
            continue;
        }
        contents.settings = std::move(settings);
        if (archive.remaining() > 0)
            notes.push_back("Settings skipped: the last " + std::to_string(archive.remaining()) +
                            " bytes of " + named + ", which this version does not know.");
    }
}

std::string writeDocument(const std::vector<Layer>& layers, ContactKind leftContact, double leftBarrier,
                          const DocumentSettings& settings)
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
    if (!settingsAreDefault(settings, layers))
        return archive.take() + settingsBlock(settings, layers);
    return archive.take();
}

} // namespace

DocumentSettings defaultDocumentSettings()
{
    return documentSettings(Document());
}

DocumentSettings documentSettings(const Document& document)
{
    DocumentSettings settings;
    settings.schroedingerOn = document.schroedingerOn;
    settings.valenceSchroedingerOn = document.valenceSchroedingerOn;
    settings.fullyIonized = document.fullyIonized;
    settings.polarizationOn = document.polarizationOn;
    settings.substrateA = document.substrateA;
    settings.substratePsp = document.substratePsp;
    settings.substrateMaterial = document.substrateMaterial;
    settings.substrateX = document.substrateX;
    settings.poissonIterations = document.poissonIterations;
    settings.schroedingerIterations = document.schroedingerIterations;
    settings.damping = document.damping;
    settings.temperature = document.temperature;
    settings.schroedinger = document.schroedingerSettings;
    settings.rightContact = document.grid.rightContact;
    settings.rightBarrier = document.grid.rightBarrier;
    settings.chargeView = document.chargeView;
    return settings;
}

void applyDocumentSettings(const DocumentSettings& settings, Document& document)
{
    document.schroedingerOn = settings.schroedingerOn;
    document.valenceSchroedingerOn = settings.valenceSchroedingerOn;
    document.fullyIonized = settings.fullyIonized;
    document.polarizationOn = settings.polarizationOn;
    document.substrateA = settings.substrateA;
    document.substratePsp = settings.substratePsp;
    document.substrateMaterial = settings.substrateMaterial;
    document.substrateX = settings.substrateX;
    document.poissonIterations = settings.poissonIterations;
    document.schroedingerIterations = settings.schroedingerIterations;
    document.damping = settings.damping;
    document.temperature = settings.temperature;
    document.schroedingerSettings = settings.schroedinger;
    document.grid.rightContact = settings.rightContact;
    document.grid.rightBarrier = settings.rightBarrier;
    document.chargeView = settings.chargeView;
}

bool settingsAreDefault(const DocumentSettings& settings, const std::vector<Layer>& layers)
{
    const Layer fresh;
    for (const Layer& layer : layers)
        if (!(layer.Tn == fresh.Tn && layer.Tp == fresh.Tp))
            return false;
    return settings == defaultDocumentSettings();
}

std::string encodeDocument(const std::vector<Layer>& layers, ContactKind leftContact, double leftBarrier,
                           const DocumentSettings& settings)
{
    return writeDocument(layers, leftContact, leftBarrier, settings);
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
        // A version-2 reader ignored what follows the contact; this one looks for the settings block.
        readSettingsBlock(bytes, archive.position(), loaded);
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
        bytes = writeDocument(document.layers, document.grid.leftContact, document.grid.leftBarrier,
                              documentSettings(document));
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
    return readDocument(bytes, document);
}

IoResult readDocument(std::string_view bytes, Document& document)
{
    DocumentFileContents contents;
    if (IoResult decoded = decodeDocument(bytes, contents); !decoded)
        return decoded;
    // Opening replaces the stack rather than appending to it.
    document.layers = std::move(contents.layers);
    document.grid.leftContact = contents.leftContact;
    document.grid.leftBarrier = contents.leftBarrier;
    applyDocumentSettings(contents.settings, document);
    IoResult result = IoResult::success();
    result.notes = std::move(contents.notes);
    return result;
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
