#include "cli/structure_arguments.h"

namespace tervane::cli {

StructureFormat StructureArguments::format() const
{
    if (forceDocument)
        return StructureFormat::Document;
    if (forceScript)
        return StructureFormat::Script;
    return StructureFormat::Detect;
}

void addStructureArguments(CLI::App& command, StructureArguments& arguments)
{
    command
        .add_option("STRUCTURE", arguments.path,
                    "Document file or import script; a file whose first four bytes are the "
                    "little-endian int32 1 or 2 is read as a document file, any other as a script")
        ->required()
        ->type_name("FILE");
    CLI::Option* document =
        command.add_flag("--document", arguments.forceDocument, "Read STRUCTURE as a document file");
    CLI::Option* script =
        command.add_flag("--script", arguments.forceScript, "Read STRUCTURE as an import script");
    document->excludes(script);
    script->excludes(document);
}

} // namespace tervane::cli
