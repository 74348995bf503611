// tervane-cli command-line usage: help, and the exit status 2 of a malformed command line.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_runner.h"

namespace tervane::test {
namespace {

class HelpOfEachCommand : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(HelpOfEachCommand, PrintsUsageAndSucceeds)
{
    const CliRun run = runCli(GetParam());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Usage"), std::string::npos) << run.out;
    EXPECT_EQ(run.err, "");
}

INSTANTIATE_TEST_SUITE_P(Commands, HelpOfEachCommand,
                         testing::Values(std::vector<std::string>{"--help"}, std::vector<std::string>{"-h"},
                                         std::vector<std::string>{"layers", "--help"},
                                         std::vector<std::string>{"materials", "--help"},
                                         std::vector<std::string>{"convert", "--help"},
                                         std::vector<std::string>{"convert", "-h"}));

TEST(Help, SubcommandHelpNamesItsArgumentsAndOptions)
{
    const CliRun layers = runCli({"layers", "--help"});
    for (const char* word : {"STRUCTURE", "--materials", "--document", "--script"})
        EXPECT_NE(layers.out.find(word), std::string::npos) << word;
    const CliRun convert = runCli({"convert", "--help"});
    for (const char* word : {"IN", "OUT", "--document", "--script", "--left", ".toml", ".tvm"})
        EXPECT_NE(convert.out.find(word), std::string::npos) << word;
    const CliRun top = runCli({"--help"});
    for (const char* word : {"layers", "materials", "convert"})
        EXPECT_NE(top.out.find(word), std::string::npos) << word;
}

class UsageError : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(UsageError, ExitsWithStatus2AndSaysWhy)
{
    const CliRun run = runCli(GetParam());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err, "");
    EXPECT_EQ(run.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, UsageError,
    testing::Values(std::vector<std::string>{}, std::vector<std::string>{"solvent"},
                    std::vector<std::string>{"--colour"}, std::vector<std::string>{"layers"},
                    std::vector<std::string>{"layers", "s.txt", "--colour"},
                    std::vector<std::string>{"layers", "s.txt", "--materials"},
                    std::vector<std::string>{"layers", "s.txt", "extra.txt"},
                    std::vector<std::string>{"layers", "--document", "--script", "s.txt"},
                    std::vector<std::string>{"materials"},
                    std::vector<std::string>{"materials", "a.bin", "b.bin"},
                    std::vector<std::string>{"convert", "s.txt"},
                    std::vector<std::string>{"convert", "--document", "--script", "s.txt", "o.tvd"}));

} // namespace
} // namespace tervane::test
