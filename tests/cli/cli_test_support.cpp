#include "cli_test_support.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <optional>

extern char** environ;

namespace tervane::test {

// Standard output and error go to files of their own folder, read once the program has ended.
CliRun runCli(const std::vector<std::string>& arguments, const std::string& workingDirectory,
              rlim_t fileSizeLimit)
{
    std::vector<std::string> words{TERVANE_CLI_PATH};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const ScratchFolder capture;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, capture.path("out").c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, capture.path("err").c_str(), O_WRONLY | O_CREAT, 0600);
    if (!workingDirectory.empty())
        posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
    pid_t pid = 0;
    std::optional<FileSizeLimit> limit; // the program inherits it
    if (fileSizeLimit != RLIM_INFINITY)
        limit.emplace(fileSizeLimit);
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    limit.reset();
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("could not start " + words[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return {readFile(capture.path("out")), readFile(capture.path("err")),
            WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

} // namespace tervane::test
