#pragma once

namespace tervane::cli {

// Exit statuses of tervane-cli.
inline constexpr int exitSuccess = 0;
inline constexpr int exitFailure = 1;      // the work stopped on an error, reported on standard error
inline constexpr int exitUsage = 2;        // the command line itself was wrong
inline constexpr int exitNotConverged = 3; // everything was written, but the solve ended at an iteration
                                           // limit with its error above the tolerance

} // namespace tervane::cli
