#pragma once

#include <ostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace tervane::cli {

// tervane-cli sweep-merge OUT SHARD_RESULTS...: the shards' results tables as one, in point order,
// after checking that they come from one sweep and together hold every point once.
struct SweepMergeOptions {
    std::string outPath;
    std::vector<std::string> shardPaths;
};

CLI::App* addSweepMergeCommand(CLI::App& parent, SweepMergeOptions& options);

// Returns the exit status; messages go to `err`. OUT is written only when every check passes.
int runSweepMerge(const SweepMergeOptions& options, std::ostream& err);

} // namespace tervane::cli
