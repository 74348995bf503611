#pragma once

namespace tervane::cli {

// Exit statuses of tervane-cli.
inline constexpr int exitSuccess = 0;
inline constexpr int exitFailure = 1; // the work stopped on an error, reported on standard error
inline constexpr int exitUsage = 2;   // the command line itself was wrong

} // namespace tervane::cli
