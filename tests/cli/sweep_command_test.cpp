// tervane-cli sweep and sweep-merge as a black box: the table's layout, the same bytes whatever the
// jobs, shards and interruptions, and a failing point that leaves the others alone.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_test_support.h"

namespace tervane::test {
namespace {

constexpr double tolBarrier = 1e-9; // eV; a Fixed contact holds Ec at the barrier exactly

// 2000 A of n-GaAs under a Fixed left contact: three barriers by two spacings, the last spacing 0 A,
// which no grid can take, so those three points fail.
const std::string sweepText = R"(structure = "s.txt"
materials = "m.tvm"
[layers]
bulk = 0
[[parameter]]
name = "phi"
set = "left_barrier"
linear = [0.2, 0.6, 3]
[[parameter]]
name = "dx"
set = "bulk.dx"
values = [10, 0]
[[figure]]
name = "Ec0"
kind = "Ec"
depth_nm = 0
[[figure]]
name = "ns"
kind = "layer_sheet_density"
layer = "bulk"
)";

class SweepCommand : public testing::Test {
  protected:
    ScratchFolder dir;
    std::string sweep = dir.write("w.toml", sweepText);

    void SetUp() override
    {
        dir.write("m.tvm", encodeMaterials({GaAs}));
        dir.write("s.txt", nLayer);
    }

    // Runs the sweep into `out` with further options; returns the table's text.
    std::string run(const std::string& out, std::vector<std::string> options = {})
    {
        std::vector<std::string> arguments{"sweep", sweep, "--out", dir.path(out), "--quiet"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const CliRun result = runCli(arguments);
        EXPECT_EQ(result.status, 0) << result.err;
        return readFile(dir.path(out));
    }
};

TEST_F(SweepCommand, WritesOneRowPerPointWithFailedPointsSaidSo)
{
    const std::vector<std::string> lines = linesOf(run("r.csv", {"--jobs", "1"}));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0].substr(0, 16), "# tervane sweep ");
    EXPECT_EQ(lines[0].substr(32), ", 6 points");
    EXPECT_EQ(lines[1], "point,phi,dx,Ec0,ns,status,message");
    for (int point = 0; point < 6; ++point) {
        const std::string& row = lines[static_cast<std::size_t>(point) + 2];
        SCOPED_TRACE(row);
        const double phi = 0.2 + 0.2 * (point / 2);
        EXPECT_EQ(row.substr(0, row.find(',')), std::to_string(point));
        if (point % 2 == 0) {
            EXPECT_NEAR(std::stod(row.substr(row.find(',', row.find(',') + 1) + 4)), phi, tolBarrier);
            EXPECT_EQ(row.substr(row.size() - 4), ",ok,");
        } else {
            EXPECT_NE(row.find(",,,failed,\"Layer 0 (GaAs): the grid spacing dx must be a positive number"),
                      std::string::npos);
        }
    }
}

TEST_F(SweepCommand, JobsShardsAndResumingGiveTheSameTable)
{
    const std::string oneJob = run("one.csv", {"--jobs", "1"});
    EXPECT_EQ(run("two.csv", {"--jobs", "2"}), oneJob);

    run("a.csv", {"--shard", "0/2"});
    run("b.csv", {"--shard", "1/2"});
    const CliRun merged = runCli({"sweep-merge", dir.path("all.csv"), dir.path("b.csv"), dir.path("a.csv")});
    EXPECT_EQ(merged.status, 0) << merged.err;
    EXPECT_EQ(readFile(dir.path("all.csv")), oneJob);

    // Two finished rows and half of a third, as a run killed while writing leaves them.
    const std::vector<std::string> lines = linesOf(oneJob);
    dir.write("resumed.csv",
              lines[0] + "\n" + lines[1] + "\n" + lines[5] + "\n" + lines[2] + "\n" + lines[3].substr(0, 9));
    EXPECT_EQ(run("resumed.csv"), oneJob);
}

TEST_F(SweepCommand, MergeNamesTheMissingPointsAndWritesNothing)
{
    run("a.csv", {"--shard", "0/3"});
    const CliRun merged = runCli({"sweep-merge", dir.path("all.csv"), dir.path("a.csv")});
    EXPECT_EQ(merged.status, 1);
    EXPECT_NE(merged.err.find("4 of 6 points are in no shard: 1-2, 4-5"), std::string::npos) << merged.err;
    EXPECT_FALSE(std::filesystem::exists(dir.path("all.csv")));
}

} // namespace
} // namespace tervane::test
