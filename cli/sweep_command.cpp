#include "cli/sweep_command.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "cli/exit_status.h"
#include "cli/messages.h"
#include "cli/parsed_option.h"
#include "cli/progress_meter.h"
#include "cli/results_table.h"
#include "cli/solve_arguments.h"
#include "cli/standard_library.h"
#include "cli/text_format.h"
#include "engine/document.h"
#include "engine/lapack.h"
#include "export/band_profile_export.h"
#include "io/file_util.h"
#include "io/sweep_loader.h"

namespace tervane::cli {

namespace {

constexpr int maxJobs = 1024;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string parseJobs(std::string_view text, int& jobs)
{
    int parsed = 0;
    if (std::string reason = parseIterationLimit(text, parsed); !reason.empty())
        return reason;
    if (parsed < 1 || parsed > maxJobs)
        return "the number of jobs must lie between 1 and " + std::to_string(maxJobs);
    jobs = parsed;
    return {};
}

int defaultJobs()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(cores);
}

// The results file as this sweep left it or as a new one: its rows so far, with the header written
// and any torn last line cut off. Empty string on success, else the message.
std::string prepareTable(const std::string& path, const std::string& header, const LoadedSweep& sweep,
                         ResultsTable& table)
{
    std::error_code error;
    if (!std::filesystem::exists(path, error) || std::filesystem::file_size(path, error) == 0) {
        if (IoResult result = writeFileAtomically(path, header); !result)
            return path + ": " + result.message;
        table.header = header;
        table.key = sweep.key;
        table.pointCount = sweep.pointCount;
        return {};
    }
    if (IoResult result = readResultsTable(path, table); !result)
        return result.message + "; name another --out, or remove the file to start again";
    if (table.key != sweep.key || table.header != header)
        return path + " holds the results of another sweep (key " + table.key + "; this sweep's is " +
               sweep.key +
               ", from the sweep file, the structure and the materials); name another --out, or remove "
               "the file to start again";
    std::filesystem::resize_file(path, table.completeBytes, error);
    if (error)
        return path + ": could not cut off its unfinished last line: " + error.message();
    return {};
}

struct Tally {
    long long ok = 0;
    long long notConverged = 0;
    long long failed = 0;
};

} // namespace

std::string parseShard(std::string_view text, Shard& shard)
{
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos)
        return "\"" + std::string(text) + "\" is not a shard; use K/N, K from 0 to N-1";
    int index = 0;
    int count = 0;
    if (std::string reason = parseIterationLimit(text.substr(0, slash), index); !reason.empty())
        return "K: " + reason;
    if (std::string reason = parseIterationLimit(text.substr(slash + 1), count); !reason.empty())
        return "N: " + reason;
    if (count < 1 || index >= count)
        return "\"" + std::string(text) + "\": a shard K/N needs N >= 1 and 0 <= K < N";
    shard = {index, count};
    return {};
}

CLI::App* addSweepCommand(CLI::App& parent, SweepOptions& options)
{
    CLI::App* command = parent.add_subcommand(
        "sweep", "Solve every point of a sweep file (docs/sweeps.md) and write one row per point to a "
                 "results table; run again, it resumes where it stopped");
    command->add_option("SWEEP", options.sweepPath, "Sweep file (TOML)")->required()->type_name("FILE");
    command->add_option("--out", options.outPath, "Results table (CSV)")
        ->capture_default_str()
        ->type_name("FILE");
    addParsedOption<int>(*command, "--jobs", options.jobs, parseJobs,
                         "Points solved at once, each on one thread (default: every core, " +
                             std::to_string(defaultJobs()) + " here)",
                         "N");
    addParsedOption<Shard>(*command, "--shard", options.shard, parseShard,
                           "Run only shard K of N (K from 0): the points whose index is K modulo N", "K/N");
    command
        ->add_option(
            "--bands", options.bandsDirectory,
            "Write each point's band profile (x, Ec, Ev, Ef, n, p) to DIR/point-INDEX.txt; DIR must exist")
        ->check(CLI::ExistingDirectory.description(""))
        ->type_name("DIR");
    command
        ->add_option("--materials", options.materialsPath,
                     "Materials list for a sweep file that names none (default: the standard library)")
        ->type_name("FILE");
    command->add_flag("--quiet", options.quiet, "No progress lines");
    command->footer(
        "Each finished point's row is appended to the table and flushed at once; the table refuses to "
        "mix sweeps (its first line holds the key of the sweep file, structure and materials). A point "
        "that fails gets a row with its status and message and the sweep goes on. Once every point "
        "(of the shard) is in, the table is rewritten in point order.\n"
        "Exit status: 0 when every point has its row (whatever its status); 1 on an error (bad sweep "
        "file, a table of another sweep, a file that cannot be written); 2 for a usage error.");
    return command;
}

int runSweep(const SweepOptions& options, std::ostream& err)
{
    // Before any thread starts: every solve on one thread, so that N jobs use N cores.
    lapack::setThreadsPerSolve(1);

    RecordingObserver observer(err);
    LoadedSweep sweep;
    const std::string defaultMaterials =
        options.materialsPath ? *options.materialsPath : standardLibraryPath();
    if (IoResult result = loadSweep(options.sweepPath, defaultMaterials, observer, sweep); !result) {
        printMessage(err, result.message);
        return exitFailure;
    }
    const std::string header = resultsHeader(sweep.key, sweep.pointCount, sweep.sweep);
    ResultsTable table;
    if (std::string problem = prepareTable(options.outPath, header, sweep, table); !problem.empty()) {
        printMessage(err, problem);
        return exitFailure;
    }

    const Shard shard = options.shard.value_or(Shard{});
    std::vector<long long> todo;
    long long shardPoints = 0;
    for (long long point = shard.index; point < sweep.pointCount; point += shard.count) {
        ++shardPoints;
        if (!table.rows.count(point))
            todo.push_back(point);
    }

    File out(std::fopen(options.outPath.c_str(), "ab"));
    if (!out) {
        printMessage(err, options.outPath + ": could not open it to append rows");
        return exitFailure;
    }
    const int jobs = static_cast<int>(std::min<long long>(
        options.jobs.value_or(defaultJobs()), std::max<long long>(1, static_cast<long long>(todo.size()))));
    if (!options.quiet && shardPoints > static_cast<long long>(todo.size()))
        printMessage(err, formatText("sweep: %lld of %lld points already in %s; %zu to go",
                                     shardPoints - static_cast<long long>(todo.size()), shardPoints,
                                     options.outPath.c_str(), todo.size()));

    std::mutex lock; // guards the file, the meter, the tally and the failure below
    ProgressMeter meter(err, static_cast<long long>(todo.size()), isatty(STDERR_FILENO) != 0);
    Tally tally;
    std::string writeFailure;
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        Document solved;
        for (;;) {
            const std::size_t k = next++;
            if (k >= todo.size())
                return;
            const long long point = todo[k];
            SweepPointResult result;
            try {
                result = evaluateSweepPoint(sweep.base, sweep.sweep, point,
                                            options.bandsDirectory ? &solved : nullptr);
            } catch (const std::exception& error) {
                // Out of memory, most likely: the point's row says so and the others go on.
                result.index = point;
                result.parameters = sweepPointValues(sweep.sweep, point);
                result.figures.assign(sweep.sweep.figures.size(), std::numeric_limits<double>::quiet_NaN());
                result.status = SweepPointStatus::Failed;
                result.message = std::string("the solve stopped: ") + error.what();
            }
            bool bandsWritten = true;
            std::string bandsPath;
            if (options.bandsDirectory && result.status != SweepPointStatus::Failed) {
                bandsPath = (std::filesystem::path(*options.bandsDirectory) /
                             ("point-" + std::to_string(point) + ".txt"))
                                .string();
                bandsWritten = dumpFile(solved.grid, bandsPath, solutionDensityMode(solved));
            }
            const std::string row = resultsRow(result);
            const std::lock_guard<std::mutex> guard(lock);
            if (!writeFailure.empty())
                return;
            if (!bandsWritten) {
                writeFailure = "The band profile could not be written to " + bandsPath;
                return;
            }
            if (std::fwrite(row.data(), 1, row.size(), out.get()) != row.size() ||
                std::fflush(out.get()) != 0) {
                writeFailure = options.outPath + ": could not append a row (disk full?)";
                return;
            }
            table.rows.emplace(point, row);
            ++(result.status == SweepPointStatus::Ok             ? tally.ok
               : result.status == SweepPointStatus::NotConverged ? tally.notConverged
                                                                 : tally.failed);
            if (!options.quiet)
                meter.pointDone();
        }
    };
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (int j = 1; j < jobs; ++j)
        threads.emplace_back(work);
    work();
    for (std::thread& thread : threads)
        thread.join();
    if (!options.quiet)
        meter.finish();
    out.reset();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    if (!writeFailure.empty()) {
        printMessage(err, writeFailure);
        return exitFailure;
    }
    // Every point of the shard is in: the table in point order, whatever order the jobs finished in.
    if (IoResult result = writeFileAtomically(options.outPath, resultsText(table)); !result) {
        printMessage(err, options.outPath + ": " + result.message);
        return exitFailure;
    }
    if (!options.quiet)
        printMessage(err, formatText("sweep: %zu points in %.3g s on %d jobs: %lld ok, %lld not converged, "
                                     "%lld failed; %lld of %lld points of the sweep in %s",
                                     todo.size(), seconds, jobs, tally.ok, tally.notConverged, tally.failed,
                                     static_cast<long long>(table.rows.size()), sweep.pointCount,
                                     options.outPath.c_str()));
    return exitSuccess;
}

} // namespace tervane::cli
