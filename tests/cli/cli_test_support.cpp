#include "cli_test_support.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

extern char** environ;

namespace tervane::test {

CliRun runCli(const std::vector<std::string>& arguments, const std::string& workingDirectory)
{
    return runProgram(TERVANE_CLI_PATH, arguments, workingDirectory);
}

// Standard output and error go to files of their own folder, read once the program has ended.
CliRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& workingDirectory)
{
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    const TempDir capture;
    const std::string out = capture.path("out"), err = capture.path("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!workingDirectory.empty())
        posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("could not start " + words[0]);

    int waitStatus = 0;
    while (waitpid(pid, &waitStatus, 0) < 0 && errno == EINTR) {
    }
    return {readFile(out), readFile(err), WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1};
}

} // namespace tervane::test
