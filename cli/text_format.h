#pragma once

#include <string>

namespace tervane::cli {

// printf-style formatting into a string of whatever length the result needs.
[[gnu::format(printf, 1, 2)]] std::string formatText(const char* format, ...);

} // namespace tervane::cli
