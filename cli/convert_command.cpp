#include "cli/convert_command.h"

#include <vector>

#include "cli/exit_status.h"
#include "cli/messages.h"
#include "cli/parsed_option.h"
#include "cli/same_file.h"
#include "io/document_file.h"
#include "io/file_util.h"
#include "io/materials_file.h"
#include "io/materials_loader.h"
#include "io/materials_toml.h"
#include "io/structure_loader.h"

namespace tervane::cli {

namespace {

const char* formatName(MaterialsFormat format)
{
    return format == MaterialsFormat::Toml ? "TOML materials library" : "binary materials file";
}

int convertMaterials(const ConvertOptions& options, const std::string& bytes, std::ostream& err)
{
    const std::string& inPath = options.structure.path;
    const std::optional<MaterialsFormat> outFormat = materialsFormatOfName(options.outPath);
    if (!outFormat) {
        printMessage(err, inPath +
                              " holds materials, which are written as a TOML library (OUT ending in "
                              ".toml) or a binary materials file (OUT ending in .tvm), not to " +
                              options.outPath);
        return exitUsage;
    }
    if (options.left) {
        printMessage(err, "--left applies to structures; " + inPath + " holds materials");
        return exitUsage;
    }

    std::vector<Material> materials;
    const MaterialsFormat inFormat = detectMaterialsFormat(inPath, bytes);
    IoResult read = inFormat == MaterialsFormat::Toml ? decodeMaterialsToml(bytes, materials)
                                                      : decodeMaterials(bytes, materials);
    if (!read) {
        read.message = inPath + " was read as a " + formatName(inFormat) + ": " + read.message;
        printFileError(err, inPath, read);
        return exitFailure;
    }
    if (IoResult written = saveMaterials(options.outPath, materials, *outFormat); !written) {
        printFileError(err, options.outPath, written);
        return exitFailure;
    }
    return exitSuccess;
}

int convertStructure(const ConvertOptions& options, const std::string& bytes, std::ostream& err)
{
    const std::string& inPath = options.structure.path;
    if (materialsFormatOfName(options.outPath)) {
        printMessage(err, "A structure is written as a document file; " + options.outPath +
                              " names a materials file (.toml or .tvm)");
        return exitUsage;
    }

    StreamObserver observer(err);
    Structure structure;
    const IoResult result = decodeStructure(bytes, options.structure.format(), observer, structure);
    if (!result) {
        printFileError(err, inPath, result);
        return exitFailure;
    }
    printNotes(err, inPath, result);
    applyContact(options.left, structure.leftContact, structure.leftBarrier);
    const std::string document =
        encodeDocument(structure.layers, structure.leftContact, structure.leftBarrier, structure.settings);
    if (IoResult written = writeFileAtomically(options.outPath, document); !written) {
        printFileError(err, options.outPath, written);
        return exitFailure;
    }
    return exitSuccess;
}

} // namespace

CLI::App* addConvertCommand(CLI::App& parent, ConvertOptions& options)
{
    CLI::App* command = parent.add_subcommand(
        "convert", "Write a structure as a version-2 document file (layers, left contact and the settings "
                   "a document keeps; a script gives the Neutral contact with a 0 eV barrier unless --left "
                   "says otherwise, and the settings of a new document), or convert "
                   "a materials list between its TOML form (.toml) and the binary materials file (.tvm)");
    command
        ->add_option("IN", options.structure.path,
                     "Structure (document file or import script) or materials list (TOML library or "
                     "binary materials file); see below how it is told apart")
        ->required()
        ->type_name("FILE");
    command
        ->add_option("OUT", options.outPath,
                     "File to write (replaced if it exists): a materials list in the form its extension "
                     "names (.toml or .tvm), a structure as a document file")
        ->required()
        ->type_name("FILE");
    CLI::Option* document = command->add_flag("--document", options.structure.forceDocument,
                                              "Read IN as a document file (a structure)");
    CLI::Option* script = command->add_flag("--script", options.structure.forceScript,
                                            "Read IN as an import script (a structure)");
    document->excludes(script);
    script->excludes(document);
    addParsedOption<ContactChoice>(*command, "--left", options.left, parseContact,
                                   "Left contact stored in the document, in place of the structure's own: "
                                   "neutral (keeping the barrier height it had) or fixed with barrier height "
                                   "B (eV)",
                                   "neutral|fixed:B");
    command->footer(
        "IN is read as a materials list when its name ends in .toml or .tvm, when its text opens the TOML "
        "material array ([[material]]), or when OUT ends in .toml or .tvm; otherwise as a structure. A "
        "materials list is written in the form OUT's extension names: .toml the TOML library, .tvm the "
        "binary materials file. A structure (a document file when its first four bytes are the "
        "little-endian int32 1 or 2, an import script otherwise) is written as a version-2 document "
        "file (.tvn by custom).\n"
        "Exit status: 0 written; 1 IN could not be read or OUT not written (OUT is then left as it was); "
        "2 a usage error, including OUT naming the same file as IN, a materials list with an OUT that is "
        "not .toml or .tvm and a structure with an OUT that is.");
    return command;
}

int runConvert(const ConvertOptions& options, std::ostream& /*out*/, std::ostream& err)
{
    const std::string& inPath = options.structure.path;
    if (sameFile(inPath, options.outPath)) {
        // A script or a commented TOML library written over itself would be lost.
        printMessage(err, "IN and OUT are the same file, " + inPath +
                              ", which the conversion would replace; name another OUT");
        return exitUsage;
    }
    std::string bytes;
    if (IoResult result = readWholeFile(inPath, bytes); !result) {
        printFileError(err, inPath, result);
        return exitFailure;
    }

    const bool structureForced = options.structure.format() != StructureFormat::Detect;
    const bool materialsIn =
        !structureForced && (materialsFormatOfName(inPath) || looksLikeMaterialsToml(bytes) ||
                             materialsFormatOfName(options.outPath));
    return materialsIn ? convertMaterials(options, bytes, err) : convertStructure(options, bytes, err);
}

} // namespace tervane::cli
