// tervane-cli layers: one line per layer in script units, with and without a materials list.

#include <gtest/gtest.h>

#include <string>

#include "cli_test_support.h"

namespace tervane::test {
namespace {

// An unknown command is reported with its line, a line break added when the file has none; a material
// missing from the list stops the list at its layer.
TEST(LayersCommand, ListsOneLinePerLayerInScriptUnits)
{
    ScratchFolder dir;
    const std::string script =
        dir.write("s.txt", "GaN t=1000 Nd=1e18\nAlGaN x=.25 t=200 dx=5 Na=2.5e17\n\nAlN t=12.34 Nd=3e16 y=3");
    const std::string listed =
        "000 GaN t:1000.0 Nd:1.000e+18 Na:0.000e+00\n001 AlGaN t:200.0 Nd:0.000e+00 Na:2.500e+17\n";
    const CliRun all = runCli({"layers", script});
    EXPECT_EQ(all.status, 0);
    EXPECT_EQ(all.out, listed + "002 AlN t:12.3 Nd:3.000e+16 Na:0.000e+00\n");
    EXPECT_EQ(all.err, "Unknown command in line #4: AlN t=12.34 Nd=3e16 y=3\n");

    const std::string materials = dir.write("m.tvm", encodeMaterials({GaN, AlGaN}));
    const CliRun stopped = runCli({"layers", script, "--materials", materials});
    EXPECT_EQ(stopped.status, 1);
    EXPECT_EQ(stopped.out, listed);
    EXPECT_EQ(stopped.err, all.err + "Material not found!\nLayer 002 names the material \"AlN\", which " +
                               materials + " does not hold.\n");
}

} // namespace
} // namespace tervane::test
