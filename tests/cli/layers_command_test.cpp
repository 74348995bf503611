// tervane-cli layers: the layer list of scripts and document files, with and without materials, and
// the refusals that list nothing or stop at the layer that fails.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "file_images.h"

namespace tervane::test {
namespace {

using Args = std::vector<std::string>;

// One run of `layers` on a file written from `content`: the expected standard output, standard error
// (or a part of it) and exit status. "@MATERIALS" in the options stands for the materials file
// holding AlN and GaN.
struct LayersCase {
    std::string name;
    std::string fileName;
    std::string content;
    Args options;
    int status;
    std::string out;
    std::string errContains;
};

void PrintTo(const LayersCase& value, std::ostream* stream)
{
    *stream << value.name;
}

class Layers : public testing::TestWithParam<LayersCase> {};

TEST_P(Layers, ListOneLinePerLayerInScriptUnits)
{
    const LayersCase& param = GetParam();
    TempDir dir;
    const std::string materials = dir.write("m.bin", plainMaterialsFile({"AlN", "GaN"}));
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

const char* const zero = " Nd:0.000e+00 Na:0.000e+00\n";
const std::string gan100 = std::string("000 GaN t:100.0") + zero;

INSTANTIATE_TEST_SUITE_P(
    Files, Layers,
    testing::Values(
        LayersCase{"Script",
                   "hemt.txt",
                   "GaN t=1000 Nd=1e18\nAlGaN x=0.25 t=200 dx=5 Na=2.5e17\n\n"
                   "GaN t=12.34 Nd=3e16 Na=4.5e15\n",
                   {},
                   0,
                   "000 GaN t:1000.0 Nd:1.000e+18 Na:0.000e+00\n001 AlGaN t:200.0 Nd:0.000e+00 Na:2.500e+17\n"
                   "002 GaN t:12.3 Nd:3.000e+16 Na:4.500e+15\n",
                   ""},
        LayersCase{"RepeatBlock",
                   "sl.txt",
                   "repeat=2\nGaN t=10\nAlN t=20\nendrepeat\nInN t=30\n",
                   {"--script"},
                   0,
                   std::string("000 GaN t:10.0") + zero + "001 AlN t:20.0" + zero + "002 GaN t:10.0" + zero +
                       "003 AlN t:20.0" + zero + "004 InN t:30.0" + zero,
                   ""},
        LayersCase{"BlankScript", "empty.txt", "\n  \n\t\n", {}, 0, "", ""},
        // The message carries the line with its own line break, added when the file has none.
        LayersCase{"UnknownCommandGoesOn",
                   "typo.txt",
                   "GaN t=50\nAlN t=20 thick=3",
                   {},
                   0,
                   std::string("000 GaN t:50.0") + zero + "001 AlN t:20.0" + zero,
                   "Unknown command in line #2: AlN t=20 thick=3\n"},
        LayersCase{
            "Version2InAngstromAndPerCubicCm",
            "hemt.tvd",
            documentVersion2({{.material = "GaN", .thickness = 3e-7, .Nd = 1e24},
                              {.material = "AlGaN", .thickness = 2.5e-9, .Na = 5e23, .compositionA = 0.3},
                              {.material = "GaN", .thickness = 1.25e-9, .Nd = 2e23, .Na = 7.5e22}}),
            {},
            0,
            "000 GaN t:3000.0 Nd:1.000e+18 Na:0.000e+00\n001 AlGaN t:25.0 Nd:0.000e+00 Na:5.000e+17\n"
            "002 GaN t:12.5 Nd:2.000e+17 Na:7.500e+16\n",
            ""},
        LayersCase{"Version1",
                   "old.tvd",
                   documentVersion1({{.material = "InGaN", .thickness = 3e-9, .Nd = 4e22}}),
                   {},
                   0,
                   "000 InGaN t:30.0 Nd:4.000e+16 Na:0.000e+00\n",
                   ""},
        LayersCase{"EmptyDocument", "empty.tvd", documentVersion2({}), {}, 0, "", ""},
        LayersCase{"EveryMaterialPresent",
                   "s.txt",
                   "GaN t=100\nAlN t=20 Nd=1e17\n",
                   {"--materials", "@MATERIALS"},
                   0,
                   gan100 + "001 AlN t:20.0 Nd:1.000e+17 Na:0.000e+00\n",
                   ""},
        // A missing material stops the list at its layer.
        LayersCase{"MissingMaterialStopsTheList",
                   "s.txt",
                   "GaN t=100\nGaN t=50\nAlGaN x=0.3 t=25\nGaN t=10\n",
                   {"--materials", "@MATERIALS"},
                   1,
                   gan100 + "001 GaN t:50.0" + zero,
                   "Material not found!\nLayer 002 names the material \"AlGaN\""}),
    [](const testing::TestParamInfo<LayersCase>& info) { return info.param.name; });

TEST(LayersIndex, IsPaddedToThreeDigitsAndGrowsBeyond)
{
    TempDir dir;
    const CliRun run = runCli({"layers", dir.write("many.txt", "repeat=1001\nGaN t=1\nendrepeat\n")});
    EXPECT_EQ(run.status, 0);
    const std::vector<std::string> lines = linesOf(run.out);
    ASSERT_EQ(lines.size(), 1001u);
    EXPECT_EQ(lines[10], "010 GaN t:1.0 Nd:0.000e+00 Na:0.000e+00");
    EXPECT_EQ(lines[999], "999 GaN t:1.0 Nd:0.000e+00 Na:0.000e+00");
    EXPECT_EQ(lines[1000], "1000 GaN t:1.0 Nd:0.000e+00 Na:0.000e+00");
}

} // namespace
} // namespace tervane::test
