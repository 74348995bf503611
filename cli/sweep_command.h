#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include <CLI/CLI.hpp>

namespace tervane::cli {

// "K/N": shard K (from 0) of N; the shard runs the points whose index leaves the remainder K when
// divided by N.
struct Shard {
    long long index = 0;
    long long count = 1;
};
std::string parseShard(std::string_view text, Shard& shard);

// tervane-cli sweep SWEEP.toml [--out FILE] [--jobs N] [--shard K/N] [--bands DIR] [--materials FILE]:
// runs every point of a sweep file (docs/sweeps.md), or those of one shard, appending each finished
// point's row to the results table at once. Run again with the same arguments, it skips the points
// the table holds.
struct SweepOptions {
    std::string sweepPath;
    std::string outPath = "results.csv";
    std::optional<int> jobs;
    std::optional<Shard> shard;
    std::optional<std::string> bandsDirectory;
    std::optional<std::string> materialsPath;
    bool quiet = false;
};

CLI::App* addSweepCommand(CLI::App& parent, SweepOptions& options);

// Returns the exit status; progress and messages go to `err`.
int runSweep(const SweepOptions& options, std::ostream& err);

} // namespace tervane::cli
