// tervane-cli help: asked of the tool or of a command, it goes to standard output and succeeds.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_test_support.h"

namespace tervane::test {
namespace {

using Args = std::vector<std::string>;

TEST(Help, OfTheToolAndEachCommandIsUsageOnStandardOutput)
{
    for (const Args& arguments : {Args{"--help"}, Args{"layers", "-h"}, Args{"materials", "--help"},
                                  Args{"convert", "--help"}, Args{"solve", "--help"}}) {
        const CliRun run = runCli(arguments);
        EXPECT_EQ(run.status, 0) << arguments[0] << run.err;
        EXPECT_EQ(run.err, "") << arguments[0];
        EXPECT_NE(run.out.find("Usage"), std::string::npos) << arguments[0] << run.out;
    }
}

} // namespace
} // namespace tervane::test
