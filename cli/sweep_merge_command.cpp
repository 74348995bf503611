#include "cli/sweep_merge_command.h"

#include "cli/exit_status.h"
#include "cli/messages.h"
#include "cli/results_table.h"
#include "cli/same_file.h"
#include "io/file_util.h"

namespace tervane::cli {

CLI::App* addSweepMergeCommand(CLI::App& parent, SweepMergeOptions& options)
{
    CLI::App* command = parent.add_subcommand(
        "sweep-merge",
        "Merge the results tables of a sweep's shards (tervane-cli sweep --shard K/N) into one");
    command->add_option("OUT", options.outPath, "The merged table, in point order")
        ->required()
        ->type_name("FILE");
    command->add_option("SHARD_RESULTS", options.shardPaths, "The shards' tables")
        ->required()
        ->type_name("FILE");
    command->footer("The shards must come from the same sweep (the same key in their first line) and hold "
                    "every point exactly once between them; otherwise nothing is written and the message "
                    "names the points missing or held twice.\n"
                    "Exit status: 0 when OUT was written; 1 when a check failed; 2 for a usage error.");
    return command;
}

int runSweepMerge(const SweepMergeOptions& options, std::ostream& err)
{
    for (const std::string& path : options.shardPaths)
        if (sameFile(options.outPath, path)) {
            printMessage(err, "OUT names " + path + ", one of the shards; name another file");
            return exitUsage;
        }
    ResultsTable merged;
    std::vector<std::string> owner; // the shard that holds each point, by index
    for (const std::string& path : options.shardPaths) {
        ResultsTable shard;
        if (IoResult result = readResultsTable(path, shard); !result) {
            printFileError(err, path, result);
            return exitFailure;
        }
        if (merged.header.empty()) {
            merged.header = shard.header;
            merged.key = shard.key;
            merged.pointCount = shard.pointCount;
            owner.assign(static_cast<std::size_t>(merged.pointCount), std::string());
        } else if (shard.header != merged.header) {
            printMessage(err, path + " comes from another sweep than " + options.shardPaths.front() +
                                  " (key " + shard.key + ", not " + merged.key + ")");
            return exitFailure;
        }
        for (auto& [point, row] : shard.rows) {
            std::string& holder = owner[static_cast<std::size_t>(point)];
            if (!holder.empty()) {
                printMessage(err, "Point " + std::to_string(point) + " is in both " + holder + " and " +
                                      path + "; each point must be in one shard only");
                return exitFailure;
            }
            holder = path;
            merged.rows.emplace(point, std::move(row));
        }
    }
    std::vector<long long> missing;
    for (long long point = 0; point < merged.pointCount; ++point)
        if (!merged.rows.count(point))
            missing.push_back(point);
    if (!missing.empty()) {
        printMessage(err, std::to_string(missing.size()) + " of " + std::to_string(merged.pointCount) +
                              " points are in no shard: " + pointList(missing) +
                              "; run their shards again (tervane-cli sweep resumes them), then merge");
        return exitFailure;
    }
    if (IoResult result = writeFileAtomically(options.outPath, resultsText(merged)); !result) {
        printFileError(err, options.outPath, result);
        return exitFailure;
    }
    return exitSuccess;
}

} // namespace tervane::cli
