#include "cli/solve_command.h"

#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <tuple>
#include <utility>
#include <vector>

#include "cli/exit_status.h"
#include "cli/messages.h"
#include "cli/parsed_option.h"
#include "cli/same_file.h"
#include "cli/solve_status.h"
#include "cli/standard_library.h"
#include "cli/text_format.h"
#include "engine/cv_profile.h"
#include "engine/document.h"
#include "engine/solve_driver.h"
#include "engine/solve_settings.h"
#include "export/band_profile_export.h"
#include "export/charge_export.h"
#include "io/document_file.h"
#include "io/file_util.h"
#include "io/materials_loader.h"
#include "io/structure_loader.h"

namespace tervane::cli {

namespace {

// The first output option that names the same file as an input, as "--bands" and the input's path;
// nothing when every output is a file of its own.
std::optional<std::pair<std::string, std::string>> outputOverInput(const SolveOptions& options,
                                                                   const std::string& materialsPath)
{
    std::vector<std::pair<std::string, std::string>> outputs;
    if (options.bandsPath)
        outputs.emplace_back("--bands", *options.bandsPath);
    if (options.chargesPath)
        outputs.emplace_back("--charges", *options.chargesPath);
    if (options.cv)
        outputs.emplace_back("--cv-out", options.cvOutPath);
    if (options.statusJsonPath)
        outputs.emplace_back("--status-json", *options.statusJsonPath);
    for (const auto& [option, path] : outputs)
        for (const std::string& input : {options.structure.path, materialsPath})
            if (sameFile(path, input))
                return std::pair{option, input};
    return std::nullopt;
}

// After a solve stopped on "Material not found!": which layer named which material.
void explainMissingMaterial(const Document& document, const std::string& materialsPath, std::ostream& err)
{
    for (std::size_t k = 0; k < document.layers.size(); ++k) {
        const Layer& layer = document.layers[k];
        if (!findMaterial(document.materials, layer.material)) {
            printMessage(err, missingMaterialText(static_cast<int>(k), layer.material, materialsPath));
            return;
        }
    }
}

} // namespace

CLI::App* addSolveCommand(CLI::App& parent, SolveOptions& options)
{
    CLI::App* command = parent.add_subcommand(
        "solve", "Solve a structure as the desktop program does after opening it, with the settings its "
                 "document file keeps (a script: those of a new document) unless the options below change "
                 "them; print the solver status");
    addStructureArguments(*command, options.structure);
    command
        ->add_option("--materials", options.materialsPath,
                     "Materials list: a TOML library (.toml) or a binary materials file (.tvm), told apart "
                     "by content. Default: the standard library, " +
                         std::string(standardLibraryRelativePath) + " from the folder of tervane-cli")
        ->type_name("FILE");

    CLI::Option* schroedinger = command->add_flag("--schroedinger", options.schroedinger,
                                                  "Bound-state electron densities after the classical solve");
    command
        ->add_flag("--valence", options.valence,
                   "Bound-state hole densities as well (light and heavy holes); needs --schroedinger")
        ->needs(schroedinger);
    command->add_flag("--no-polarization", options.noPolarization,
                      "Leave out the spontaneous and piezoelectric polarization charges");
    command->add_flag("--partial-ionization", options.partialIonization,
                      "Dopants ionized according to their levels (the \"Fully Ionized\" switch off)");

    addParsedOption<SubstrateChoice>(
        *command, "--substrate", options.substrate, parseSubstrate,
        "Substrate: the first material named NAME exactly, at composition X (default 0); its lattice "
        "constant a and spontaneous polarization Psp at X become the reference of the polarization",
        "NAME[:X]");
    addParsedOption<ContactChoice>(*command, "--left", options.left, parseContact,
                                   "Left contact, in place of the structure's own: neutral (keeping the "
                                   "barrier height it had) or fixed with barrier height B (eV)",
                                   "neutral|fixed:B");
    addParsedOption<ContactChoice>(*command, "--right", options.right, parseContact,
                                   "Right contact: neutral (the default) or fixed with barrier height B (eV)",
                                   "neutral|fixed:B");
    addParsedOption<double>(*command, "--damping", options.damping, parseDamping,
                            "Factor on each Newton update, 0 to 1 (default 1, the full update)", "D");
    addParsedOption<int>(
        *command, "--poisson-iterations", options.poissonIterations, parseIterationLimit,
        "Limit of classical Newton steps (default 200); 0 runs none, a negative limit is refused", "N");
    addParsedOption<int>(*command, "--schroedinger-iterations", options.schroedingerIterations,
                         parseIterationLimit,
                         "Limit of Schroedinger passes (default 20); one pass always runs, so 0 and 1 "
                         "both give one; a negative limit is refused",
                         "N");
    command
        ->add_option("--eigensolver", options.eigenSolver,
                     "Eigen-solver of the bound states: dense or tridiagonal (the same states; "
                     "tridiagonal, the default, is faster)")
        ->check(CLI::IsMember({"dense", "tridiagonal"}).description(""))
        ->type_name("KIND");
    addParsedOption<double>(*command, "--schroedinger-tolerance", options.tolerance, parsePositiveNumber,
                            "The Schroedinger passes end when one moves the potential by no more than "
                            "this (default 1e-5 V)",
                            "V");
    addParsedOption<DepthRange>(*command, "--quantum-region", options.quantumRegion, parseDepthRange,
                                "Solve the bound states only between these depths (nm from the left "
                                "contact); outside, the carriers are classical (default: everywhere)",
                                "A:B");
    command
        ->add_option("--self-consistency", options.selfConsistency,
                     "How the bound states and the potential are made to agree: alternating (one Newton "
                     "step per Schroedinger pass) or accelerated (the bound charge follows the potential "
                     "between passes: the same solution in a few passes); default alternating")
        ->check(CLI::IsMember({"alternating", "accelerated"}).description(""))
        ->type_name("MODE");
    command
        ->add_option("--dump-dir", options.dumpDirectory,
                     "Write the eigenstate files qstates.dat, qstateslh.dat and qstateshh.dat of the last "
                     "Schroedinger pass into this existing folder (without it, none are written)")
        ->check(CLI::ExistingDirectory.description(""))
        ->type_name("DIR");

    CLI::Option* cv = addParsedOption<CvSweep>(
        *command, "--cv", options.cv, parseCvSweep,
        "C-V sweep after the solve: the left barrier is shifted from START to STOP volts in steps of STEP "
        "(greater than 0; START above STOP writes the header only; at most 100000 biases); the structure "
        "is solved again at the end",
        "START:STOP:STEP");
    command->add_option("--cv-out", options.cvOutPath, "File of the C-V sweep (V and C in F/cm^2)")
        ->needs(cv)
        ->capture_default_str()
        ->type_name("FILE");
    addParsedOption<SheetRange>(*command, "--sheet-range", options.sheetRange, parseSheetRange,
                                "Grid points between which the electron sheet density is integrated, or "
                                "depths in nm as A:Bnm (default: the first interval, 0:0)",
                                "FIRST:LAST|A:Bnm");
    command
        ->add_option("--bands", options.bandsPath,
                     "Band-profile export: x, Ec, Ev, Ef, n, p per grid point (densities as the "
                     "Schroedinger switches choose)")
        ->type_name("FILE");
    command
        ->add_option("--charges", options.chargesPath,
                     "Charge export: position and polarization step of each layer's left edge")
        ->type_name("FILE");
    command
        ->add_option("--status-json", options.statusJsonPath,
                     "Status as JSON: count, iterations, solverError, converged, tolerance, boundStates, "
                     "sheetCharge, substrateA, substratePsp, chargeFirst, chargeLast, subbands, messages")
        ->type_name("FILE");

    command->footer(
        "The work runs in this order: materials, structure, switches and settings, contacts, substrate, "
        "the solve, the C-V sweep, the sheet-density range, the band export, the charge export, the "
        "status (the line \"Solver error: ... iterations: ... bound states: ... ns: ... cm-2\" on "
        "standard output, then --status-json). Messages go to standard error, one per line.\n"
        "Exit status: 0 when everything ran; 1 when a message stopped the work (nothing after that "
        "point is written), a solution that is not finite included; 2 for a usage error, an output "
        "naming the structure or materials file included (nothing is written); 3 when everything was "
        "written but the solve stopped at an iteration limit with its error above the tolerance.");
    return command;
}

int runSolve(const SolveOptions& options, std::ostream& out, std::ostream& err)
{
    RecordingObserver observer(err);
    Document document;

    std::string materialsPath;
    if (options.materialsPath) {
        materialsPath = *options.materialsPath;
    } else {
        materialsPath = standardLibraryPath();
        std::error_code error;
        if (materialsPath.empty() || !std::filesystem::is_regular_file(materialsPath, error)) {
            printMessage(err,
                         "The standard materials library was not found" +
                             (materialsPath.empty() ? std::string(" (the folder of tervane-cli is unknown)")
                                                    : " at " + materialsPath) +
                             "; name a materials file with --materials FILE.");
            return exitFailure;
        }
    }
    if (const auto clash = outputOverInput(options, materialsPath)) {
        printMessage(err, clash->first + " names " + clash->second +
                              ", an input of this solve, which writing it would replace; name another file");
        return exitUsage;
    }
    if (IoResult result = loadMaterials(materialsPath, document.materials); !result) {
        printFileError(err, materialsPath, result);
        return exitFailure;
    }

    Structure structure;
    const std::string& structurePath = options.structure.path;
    const IoResult loaded = loadStructure(structurePath, options.structure.format(), observer, structure);
    if (!loaded) {
        printFileError(err, structurePath, loaded);
        return exitFailure;
    }
    printNotes(err, structurePath, loaded);
    document.layers = std::move(structure.layers);
    document.grid.leftContact = structure.leftContact;
    document.grid.leftBarrier = structure.leftBarrier;
    applyDocumentSettings(structure.settings, document);

    // The stored settings are the starting values: a switch can only be turned one way from here, and
    // an option left out keeps what the document holds.
    SolveSettings settings;
    settings.schroedinger = options.schroedinger || document.schroedingerOn;
    settings.valence = options.valence || document.valenceSchroedingerOn;
    settings.polarization = !options.noPolarization && document.polarizationOn;
    settings.partialIonization = options.partialIonization || !document.fullyIonized;
    settings.damping = options.damping;
    settings.poissonIterations = options.poissonIterations;
    settings.schroedingerIterations = options.schroedingerIterations;
    settings.eigenSolver = !options.eigenSolver              ? document.schroedingerSettings.eigenSolver
                           : *options.eigenSolver == "dense" ? EigenSolverKind::Dense
                                                             : EigenSolverKind::Tridiagonal;
    settings.selfConsistency = !options.selfConsistency ? document.schroedingerSettings.selfConsistency
                               : *options.selfConsistency == "accelerated" ? SelfConsistency::Accelerated
                                                                           : SelfConsistency::Alternating;
    settings.tolerance = options.tolerance;
    if (options.quantumRegion) {
        settings.quantumRegion = true;
        settings.quantumFrom = options.quantumRegion->from;
        settings.quantumTo = options.quantumRegion->to;
    }
    for (const auto& [choice, kind, barrier] :
         {std::tuple{&options.left, &settings.leftContact, &settings.leftBarrier},
          std::tuple{&options.right, &settings.rightContact, &settings.rightBarrier}})
        if (*choice) {
            *kind = (*choice)->fixed ? ContactKind::Fixed : ContactKind::Neutral;
            *barrier = (*choice)->barrier;
        }
    if (options.substrate) {
        settings.substrateMaterial = options.substrate->name;
        settings.substrateX = options.substrate->x;
    }
    if (!applySolveSettings(settings, document)) {
        printMessage(err, "The substrate material \"" + printableName(options.substrate->name) +
                              "\" is not in " + materialsPath + ".");
        return exitFailure;
    }
    // Eigenstate files only where --dump-dir says, never where a document was saved to write them.
    document.schroedingerSettings.eigenstateFiles = options.dumpDirectory.has_value();
    document.schroedingerSettings.dumpDirectory = options.dumpDirectory.value_or(std::string());

    // The sweep starts from the left barrier in force, which only now is known.
    if (options.cv && countCvBiases(document.grid.leftBarrier, *options.cv, maxCvBiases) > maxCvBiases) {
        printMessage(err, formatText("--cv: the sweep would take more than %lld biases from the left "
                                     "barrier of %g eV; use a larger STEP or a shorter range",
                                     maxCvBiases, document.grid.leftBarrier));
        return exitUsage;
    }

    if (!solve(document, observer)) {
        if (!observer.messages().empty() && observer.messages().back() == "Material not found!")
            explainMissingMaterial(document, materialsPath, err);
        return exitFailure;
    }

    if (options.cv) {
        const CvSweep& sweep = *options.cv;
        if (!runCvProfile(document, sweep.start, sweep.stop, sweep.step, options.cvOutPath, observer)) {
            printMessage(err, "The C-V sweep to " + options.cvOutPath + " did not run to its end");
            return exitFailure;
        }
    }

    if (options.sheetRange) {
        const SheetRange& range = *options.sheetRange;
        if (range.inNanometres)
            setChargeRangeByDepth(document, range.from, range.to);
        else
            setChargeRange(document, range.first, range.last);
    }

    if (options.bandsPath && !dumpFile(document.grid, *options.bandsPath, solutionDensityMode(document))) {
        printMessage(err, "The band profile could not be written to " + *options.bandsPath);
        return exitFailure;
    }

    if (options.chargesPath && !exportCharges(document, *options.chargesPath, observer)) {
        printMessage(err, "The charges could not be written to " + *options.chargesPath);
        return exitFailure;
    }

    out << statusLine(document) << '\n';
    if (!document.converged)
        printMessage(err, notConvergedText(document) +
                              "; raise the limit (--poisson-iterations, --schroedinger-iterations) or use "
                              "--self-consistency accelerated");
    if (options.statusJsonPath) {
        const std::string json = statusJson(document, observer.messages());
        if (IoResult result = writeFileAtomically(*options.statusJsonPath, json); !result) {
            printFileError(err, *options.statusJsonPath, result);
            return exitFailure;
        }
    }
    return document.converged ? exitSuccess : exitNotConverged;
}

} // namespace tervane::cli
