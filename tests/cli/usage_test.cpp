// tervane-cli command-line usage: the help of each command.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "cli_runner.h"

namespace tervane::test {
namespace {

using Args = std::vector<std::string>;

// A help request and the words its text must hold.
struct HelpCase {
    Args arguments;
    std::vector<std::string> words;
};

void PrintTo(const HelpCase& value, std::ostream* stream)
{
    for (const std::string& argument : value.arguments)
        *stream << argument << ' ';
}

class Help : public testing::TestWithParam<HelpCase> {};

TEST_P(Help, PrintsUsageNamingItsArgumentsAndOptionsAndSucceeds)
{
    const CliRun run = runCli(GetParam().arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("Usage"), std::string::npos) << run.out;
    for (const std::string& word : GetParam().words)
        EXPECT_NE(run.out.find(word), std::string::npos) << word;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, Help,
    testing::Values(HelpCase{{"--help"}, {"layers", "materials", "convert", "solve"}},
                    HelpCase{{"-h"}, {"solve"}},
                    HelpCase{{"layers", "--help"}, {"STRUCTURE", "--materials", "--document", "--script"}},
                    HelpCase{{"materials", "--help"}, {}},
                    HelpCase{{"convert", "--help"},
                             {"IN", "OUT", "--document", "--script", "--left", ".toml", ".tvm"}},
                    HelpCase{{"convert", "-h"}, {"IN", "OUT"}},
                    HelpCase{{"solve", "--help"},
                             {"STRUCTURE",
                              "--materials",
                              "--schroedinger",
                              "--valence",
                              "--no-polarization",
                              "--partial-ionization",
                              "--substrate",
                              "--left",
                              "--right",
                              "--damping",
                              "--poisson-iterations",
                              "--schroedinger-iterations",
                              "--eigensolver",
                              "--sheet-range",
                              "--bands",
                              "--charges",
                              "--cv",
                              "--cv-out",
                              "--dump-dir",
                              "--status-json",
                              "0 runs none, a negative limit is refused",
                              "Exit status"}}));

} // namespace
} // namespace tervane::test
