// The accelerated self-consistency against the alternating passes run to a tight tolerance, on the
// examples: the same sheet density and levels, in far fewer passes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>

#include "tests/support/test_support.h"

namespace {

constexpr double tolSheetRelative = 1e-3; // ns within 0.1 %
constexpr double tolLevel = 1e-4;         // eV: the first level within 0.1 meV
constexpr double tolPopulation = 1e5;     // cm^-2, below which a level counts as empty
constexpr int acceleratedPassLimit = 12;

// Solves with the tool and returns its status.
nlohmann::json solveStatus(const std::string& arguments, const std::string& mode)
{
    const tervane::test::ScratchFolder scratch;
    const std::string command = std::string(TERVANE_CLI_PATH) + " solve " + arguments +
                                " --self-consistency " + mode + " --status-json " +
                                scratch.path("status.json") + " > /dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return nlohmann::json::parse(tervane::test::readFile(scratch.path("status.json")));
}

} // namespace

TEST(SelfConsistency, AcceleratedPassesReachTheAlternatingSolution)
{
    const std::string examples = std::string(TERVANE_SOURCE_DIR) + "/examples/";
    struct Case {
        const char* arguments;
    };
    for (const Case& c : {
             Case{"hemt/hemt.tvn --schroedinger --sheet-range 50:2049"},
             Case{"modulation-doped/modulation-doped.tvn --no-polarization --schroedinger --sheet-range "
                  "120:1119"},
             Case{"mqw/mqw.tvn --schroedinger --valence --sheet-range 0:1000"},
         }) {
        SCOPED_TRACE(c.arguments);
        const std::string arguments = examples + c.arguments;
        const nlohmann::json reference = solveStatus(
            arguments + " --schroedinger-iterations 1000 --schroedinger-tolerance 1e-9", "alternating");
        const nlohmann::json accelerated = solveStatus(arguments, "accelerated");
        ASSERT_TRUE(reference["converged"].get<bool>());
        ASSERT_TRUE(accelerated["converged"].get<bool>());
        EXPECT_LE(accelerated["iterations"].get<int>(), acceleratedPassLimit);
        EXPECT_LT(accelerated["iterations"].get<int>(), reference["iterations"].get<int>());
        const double ns = reference["sheetCharge"].get<double>();
        EXPECT_NEAR(accelerated["sheetCharge"].get<double>(), ns, tolSheetRelative * ns);
        EXPECT_EQ(accelerated["boundStates"], reference["boundStates"]);
        // Every bound level, electrons and holes, and the carriers it holds.
        const nlohmann::json& levels = reference["subbands"];
        ASSERT_EQ(accelerated["subbands"].size(), levels.size());
        ASSERT_FALSE(levels.empty());
        for (std::size_t k = 0; k < levels.size(); ++k) {
            const nlohmann::json& level = accelerated["subbands"][k];
            EXPECT_EQ(level["carrier"], levels[k]["carrier"]);
            EXPECT_NEAR(level["energy"].get<double>(), levels[k]["energy"].get<double>(), tolLevel) << k;
            const double population = levels[k]["population"].get<double>();
            EXPECT_NEAR(level["population"].get<double>(), population,
                        tolSheetRelative * population + tolPopulation)
                << k;
        }
    }
}

// A quantum region over the whole structure is the whole-structure solve, to the byte; one that cuts
// through the 2DEG's lowest state says so.
TEST(QuantumRegion, WholeStructureChangesNothingAndACutStateIsReported)
{
    const tervane::test::ScratchFolder folder;
    const std::string solve = std::string(TERVANE_CLI_PATH) + " solve " + TERVANE_SOURCE_DIR +
                              "/examples/hemt/hemt.tvn --schroedinger --self-consistency accelerated ";
    const auto run = [&](const std::string& options, const std::string& name) {
        const std::string command = solve + options + " --bands " + folder.path(name + ".txt") + " 2> " +
                                    folder.path(name + ".err") + " > /dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return tervane::test::readFile(folder.path(name + ".txt")) + "\n--\n" +
               tervane::test::readFile(folder.path(name + ".err"));
    };
    EXPECT_EQ(run("--quantum-region 0:1025", "region"), run("", "whole"));
    const std::string cut = run("--quantum-region 20:40", "cut");
    EXPECT_NE(cut.find("The quantum region cuts through a bound state: at its edge at 20 nm"),
              std::string::npos);
}
