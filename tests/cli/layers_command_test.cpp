// tervane-cli layers: the layer list of scripts and document files, with and without materials.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_test_support.h"

namespace tervane::test {
namespace {

using Args = std::vector<std::string>;

// One run of `layers` on a file written from `content`: the expected standard output, standard error
// (or a part of it) and exit status. "@MATERIALS" stands for a materials file holding GaN and AlGaN.
struct LayersCase {
    std::string name;
    std::string fileName;
    std::string content;
    Args options;
    int status;
    std::string out;
    std::string errContains;
};

class Layers : public testing::TestWithParam<LayersCase> {};

TEST_P(Layers, ListOneLinePerLayerInScriptUnits)
{
    const LayersCase& param = GetParam();
    TempDir dir;
    const std::string materials = dir.write("m.tvm", encodeMaterials({GaN, AlGaN}));
    Args arguments{"layers"};
    for (const std::string& option : param.options)
        arguments.push_back(option == "@MATERIALS" ? materials : option);
    arguments.push_back(dir.write(param.fileName, param.content));
    const CliRun run = runCli(arguments);
    EXPECT_EQ(run.status, param.status);
    EXPECT_EQ(run.out, param.out);
    if (param.errContains.empty())
        EXPECT_EQ(run.err, "");
    else
        EXPECT_NE(run.err.find(param.errContains), std::string::npos) << run.err;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Files, Layers, testing::Values(
    LayersCase{"Script", "hemt.txt", "GaN t=1000 Nd=1e18\nAlGaN x=0.25 t=200 dx=5 Na=2.5e17\n\nGaN t=12.34 Nd=3e16 Na=4.5e15\n", {}, 0,
               "000 GaN t:1000.0 Nd:1.000e+18 Na:0.000e+00\n001 AlGaN t:200.0 Nd:0.000e+00 Na:2.500e+17\n002 GaN t:12.3 Nd:3.000e+16 Na:4.500e+15\n", ""},
    // The message carries the line with its own line break, added when the file has none.
    LayersCase{"UnknownCommandGoesOn", "typo.txt", "GaN t=50\nAlN t=20 thick=3", {"--script"}, 0,
               "000 GaN t:50.0 Nd:0.000e+00 Na:0.000e+00\n001 AlN t:20.0 Nd:0.000e+00 Na:0.000e+00\n", "Unknown command in line #2: AlN t=20 thick=3\n"},
    LayersCase{"Version2", "hemt.tvd", encodeDocument({layerOf("GaN", 3e-7, 1e24), layerOf("AlGaN", 2.5e-9, 0.0, 5e23), layerOf("GaN", 1.25e-9, 2e23, 7.5e22)}, ContactKind::Neutral, 0.0), {}, 0,
               "000 GaN t:3000.0 Nd:1.000e+18 Na:0.000e+00\n001 AlGaN t:25.0 Nd:0.000e+00 Na:5.000e+17\n002 GaN t:12.5 Nd:2.000e+17 Na:7.500e+16\n", ""},
    // A missing material stops the list at its layer.
    LayersCase{"MissingMaterialStopsTheList", "s.txt", "GaN t=100\nAlGaN t=50 Nd=1e17\nAlN x=0.3 t=25\nGaN t=10\n", {"--materials", "@MATERIALS"}, 1,
               "000 GaN t:100.0 Nd:0.000e+00 Na:0.000e+00\n001 AlGaN t:50.0 Nd:1.000e+17 Na:0.000e+00\n", "Material not found!\nLayer 002 names the material \"AlN\""}),
    [](const testing::TestParamInfo<LayersCase>& info) { return info.param.name; });
// clang-format on

} // namespace
} // namespace tervane::test
