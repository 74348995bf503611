#pragma once

#include <filesystem>
#include <string>
#include <system_error>

namespace tervane::cli {

// True when both paths name one existing file, however they are spelt (relative, through links).
// An output that is the same file as an input would replace the user's input: the commands refuse it.
inline bool sameFile(const std::string& first, const std::string& second)
{
    std::error_code error;
    return std::filesystem::equivalent(first, second, error) && !error;
}

} // namespace tervane::cli
