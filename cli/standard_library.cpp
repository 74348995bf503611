#include "cli/standard_library.h"

#include <filesystem>
#include <system_error>

namespace tervane::cli {

std::string standardLibraryPath()
{
    // Linux names the running executable in /proc; the link resolves symbolic links to the tool, so
    // a link in ~/bin still finds the library beside the real installation.
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || executable.empty())
        return {};
    return (executable.parent_path() / standardLibraryRelativePath).lexically_normal().string();
}

} // namespace tervane::cli
