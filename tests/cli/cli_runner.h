#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tervane::test {

// What one run of tervane-cli gave back.
struct CliRun {
    std::string out;
    std::string err;
    int status = -1; // exit status; -1 when the process did not exit normally
};

// Runs tervane-cli with `arguments` (no shell involved), standard input empty.
CliRun runCli(const std::vector<std::string>& arguments);

// The same, with `workingDirectory` as the tool's current directory.
CliRun runCliIn(const std::string& workingDirectory, const std::vector<std::string>& arguments);

// Runs another copy of the tool (or any program) the same way; an empty `workingDirectory` keeps
// the current one.
CliRun runProgramIn(const std::string& program, const std::string& workingDirectory,
                    const std::vector<std::string>& arguments);

// The lines of `text`, each without its line break; a final line break ends the last line.
std::vector<std::string> linesOf(const std::string& text);

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // `name` inside the folder, as a string for the command line.
    std::string path(const std::string& name) const;
    // Writes `bytes` to `name` and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;

  private:
    std::filesystem::path root_;
};

std::string readFile(const std::string& path);

} // namespace tervane::test
