// tervane-cli: the structure and materials files of Tervane, read, written and solved without the
// desktop program. Each subcommand lives in its own *_command file; this file only parses the command
// line and turns the outcome into an exit status.

#include <exception>
#include <iostream>
#include <new>

#include <CLI/CLI.hpp>

#include "cli/convert_command.h"
#include "cli/exit_status.h"
#include "cli/layers_command.h"
#include "cli/materials_command.h"
#include "cli/messages.h"
#include "cli/solve_command.h"
#include "cli/sweep_command.h"
#include "cli/sweep_merge_command.h"

using namespace tervane::cli;

namespace {

// Each subcommand with the options it fills.
struct Commands {
    CLI::App* layers = nullptr;
    LayersOptions layersOptions;
    CLI::App* materials = nullptr;
    MaterialsOptions materialsOptions;
    CLI::App* convert = nullptr;
    ConvertOptions convertOptions;
    CLI::App* solve = nullptr;
    SolveOptions solveOptions;
    CLI::App* sweep = nullptr;
    SweepOptions sweepOptions;
    CLI::App* sweepMerge = nullptr;
    SweepMergeOptions sweepMergeOptions;
};

int runParsed(const Commands& commands)
{
    const auto& [layers, layersOptions, materials, materialsOptions, convert, convertOptions, solve,
                 solveOptions, sweep, sweepOptions, sweepMerge, sweepMergeOptions] = commands;
    if (layers->parsed())
        return runLayers(layersOptions, std::cout, std::cerr);
    if (materials->parsed())
        return runMaterials(materialsOptions, std::cout, std::cerr);
    if (convert->parsed())
        return runConvert(convertOptions, std::cout, std::cerr);
    if (solve->parsed())
        return runSolve(solveOptions, std::cout, std::cerr);
    if (sweep->parsed())
        return runSweep(sweepOptions, std::cerr);
    if (sweepMerge->parsed())
        return runSweepMerge(sweepMergeOptions, std::cerr);
    return exitUsage;
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{
        "Tervane command-line tool: lists, converts, solves and sweeps structures (document files and "
        "import scripts); lists and converts materials lists (TOML libraries and binary materials "
        "files).\n"
        "Exit status: 0 done, 1 stopped on an error (reported on standard error), 2 usage error.",
        "tervane-cli"};
    app.require_subcommand(1);

    Commands commands;
    commands.layers = addLayersCommand(app, commands.layersOptions);
    commands.materials = addMaterialsCommand(app, commands.materialsOptions);
    commands.convert = addConvertCommand(app, commands.convertOptions);
    commands.solve = addSolveCommand(app, commands.solveOptions);
    commands.sweep = addSweepCommand(app, commands.sweepOptions);
    commands.sweepMerge = addSweepMergeCommand(app, commands.sweepMergeOptions);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // --help is reported as a "parse error" with the exit code 0.
        return app.exit(error) == 0 ? exitSuccess : exitUsage;
    }

    int status = exitFailure;
    try {
        status = runParsed(commands);
    } catch (const std::bad_alloc&) {
        printMessage(std::cerr, "Out of memory");
        return exitFailure;
    } catch (const std::exception& error) {
        printMessage(std::cerr, error.what());
        return exitFailure;
    }

    // A listing cut short by a full disk or a closed pipe must not pass for a complete one.
    std::cout.flush();
    if (!std::cout) {
        printMessage(std::cerr, "Could not write to standard output");
        return exitFailure;
    }
    return status;
}
