#include "cli/convert_command.h"

#include "cli/exit_status.h"
#include "cli/messages.h"
#include "cli/structure_loader.h"
#include "io/document_file.h"
#include "io/file_util.h"

namespace tervane::cli {

CLI::App* addConvertCommand(CLI::App& parent, ConvertOptions& options)
{
    CLI::App* command = parent.add_subcommand(
        "convert", "Write a structure as a version-2 document file (layers and left contact; a script "
                   "gives the Neutral contact with a 0 eV barrier)");
    addStructureArguments(*command, options.structure);
    command->add_option("OUT", options.outPath, "Document file to write (replaced if it exists)")
        ->required()
        ->type_name("FILE");
    return command;
}

int runConvert(const ConvertOptions& options, std::ostream& /*out*/, std::ostream& err)
{
    StreamObserver observer(err);
    Structure structure;
    const std::string& structurePath = options.structure.path;
    if (IoResult result = loadStructure(structurePath, options.structure.format(), observer, structure);
        !result) {
        printFileError(err, structurePath, result);
        return exitFailure;
    }
    const std::string bytes = encodeDocument(structure.layers, structure.leftContact, structure.leftBarrier);
    if (IoResult result = writeFileAtomically(options.outPath, bytes); !result) {
        printFileError(err, options.outPath, result);
        return exitFailure;
    }
    return exitSuccess;
}

} // namespace tervane::cli
