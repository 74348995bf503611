// The sweep file: what a complete file decodes to, and one row per refusal with the part of the
// message that says what is wrong.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "io/sweep_file.h"

namespace tervane {
namespace {

constexpr double tolRelative = 1e-12; // of a range's values, against the decades written out

const std::string parameterAndFigure = R"(
[[parameter]]
name = "d"
set = "0.t"
values = [100]
[[figure]]
name = "p"
kind = "passes"
)";

TEST(SweepFile, DecodesRangesNamesSettingsAndFigures)
{
    const std::string text = R"(
structure = "hemt.tvn"
materials = "/lib/standard.toml"
combine = "product"
[settings]
schroedinger = true
schroedinger_iterations = 40
quantum_region_nm = [0, 80]
left = 1.2
right = "neutral"
[layers]
barrier = 0
channel = 1
[[parameter]]
name = "Nd"
set = "channel.Nd"
log = [1e16, 1e18, 3]
[[parameter]]
name = "x"
set = "barrier.x"
linear = [0.1, 0.3, 5]
[[parameter]]
name = "phi"
set = "left_barrier"
values = [0.8, 1]
[[figure]]
name = "ns"
kind = "layer_sheet_density"
layer = "channel"
[[figure]]
name = "E1"
kind = "subband"
index = 1
peak_nm = [25, 100]
[[figure]]
name = "Ec"
kind = "Ec"
depth_nm = 2.5
)";
    SweepFile file;
    ASSERT_TRUE(decodeSweepFile(text, "examples/sweep", file));
    EXPECT_EQ(file.structurePath, "examples/sweep/hemt.tvn");
    EXPECT_EQ(file.materialsPath, "/lib/standard.toml");
    EXPECT_TRUE(file.settings.schroedinger);
    EXPECT_EQ(file.settings.selfConsistency, SelfConsistency::Accelerated); // the sweeps' default
    EXPECT_EQ(file.settings.schroedingerIterations, 40);
    EXPECT_DOUBLE_EQ(file.settings.quantumTo, 80e-9);
    EXPECT_EQ(file.settings.leftContact, ContactKind::Fixed);
    EXPECT_EQ(file.settings.leftBarrier, 1.2);
    EXPECT_EQ(file.settings.rightContact, ContactKind::Neutral);

    const Sweep& sweep = file.sweep;
    ASSERT_EQ(sweep.parameters.size(), 3u);
    EXPECT_EQ(sweep.parameters[0].target, SweepTarget::LayerNd);
    EXPECT_EQ(sweep.parameters[0].layer, 1u);
    const std::vector<double> decades{1e16, 1e17, 1e18};
    for (std::size_t k = 0; k < decades.size(); ++k)
        EXPECT_NEAR(sweep.parameters[0].values[k], decades[k], tolRelative * decades[k]);
    EXPECT_EQ(sweep.parameters[0].values.back(), 1e18); // the end exactly as written
    const std::vector<double> steps{0.1, 0.15, 0.2, 0.25, 0.3};
    for (std::size_t k = 0; k < steps.size(); ++k)
        EXPECT_NEAR(sweep.parameters[1].values[k], steps[k], tolRelative);
    EXPECT_EQ(sweep.parameters[2].target, SweepTarget::LeftBarrier);
    EXPECT_EQ(sweepPointCount(sweep), 3 * 5 * 2);

    ASSERT_EQ(sweep.figures.size(), 3u);
    EXPECT_EQ(sweep.figures[0].layer, 1u);
    EXPECT_EQ(sweep.figures[1].index, 1);
    EXPECT_DOUBLE_EQ(sweep.figures[1].from, 25e-9);
    EXPECT_EQ(sweep.figures[2].kind, SweepFigureKind::ConductionEdge);
    EXPECT_DOUBLE_EQ(sweep.figures[2].depth, 2.5e-9);
}

struct Refusal {
    std::string name;
    std::string text;
    std::string message; // a distinctive part
    friend void PrintTo(const Refusal& row, std::ostream* out) { *out << row.name; }
};

class SweepFileRefusals : public testing::TestWithParam<Refusal> {};

TEST_P(SweepFileRefusals, SayWhatIsWrongAndLeaveTheSweepAlone)
{
    SweepFile file;
    file.structurePath = "kept";
    const IoResult result = decodeSweepFile(GetParam().text, "", file);
    ASSERT_FALSE(result);
    EXPECT_NE(result.message.find(GetParam().message), std::string::npos) << result.message;
    EXPECT_EQ(file.structurePath, "kept");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, SweepFileRefusals, testing::Values(
    Refusal{"NotToml", "structure = \n", "not valid TOML: line 1"},
    Refusal{"NoStructure", parameterAndFigure, "key \"structure\": missing"},
    Refusal{"UnknownTopKey", "structure = \"s\"\nparameters = 1\n" + parameterAndFigure, "key \"parameters\": unknown key"},
    Refusal{"NoFigure", "structure = \"s\"\n[[parameter]]\nname = \"d\"\nset = \"0.t\"\nvalues = [1]\n", "Key \"figure\": missing"},
    Refusal{"UnknownLayerName", "structure = \"s\"\n[[parameter]]\nname = \"d\"\nset = \"cap.t\"\nvalues = [1]\n[[figure]]\nname = \"p\"\nkind = \"passes\"\n", "\"cap\" is neither a layer index nor a name given in [layers] (line 4"},
    Refusal{"UnknownField", "structure = \"s\"\n[[parameter]]\nname = \"d\"\nset = \"0.thickness\"\nvalues = [1]\n[[figure]]\nname = \"p\"\nkind = \"passes\"\n", "\"thickness\" is not a layer field"},
    Refusal{"UnknownParameter", "structure = \"s\"\n[[parameter]]\nname = \"d\"\nset = \"doping\"\nvalues = [1]\n[[figure]]\nname = \"p\"\nkind = \"passes\"\n", "\"doping\" is not a parameter"},
    Refusal{"TwoKindsOfValues", "structure = \"s\"\n[[parameter]]\nname = \"d\"\nset = \"0.t\"\nvalues = [1]\nlinear = [1, 2, 3]\n[[figure]]\nname = \"p\"\nkind = \"passes\"\n", "give exactly one of values"},
    Refusal{"LogThroughZero", "structure = \"s\"\n[[parameter]]\nname = \"d\"\nset = \"0.Nd\"\nlog = [0, 1e18, 3]\n[[figure]]\nname = \"p\"\nkind = \"passes\"\n", "a log range needs FROM and TO greater than 0"},
    Refusal{"ColumnNamedTwice", "structure = \"s\"\n[[parameter]]\nname = \"p\"\nset = \"0.t\"\nvalues = [1]\n[[figure]]\nname = \"p\"\nkind = \"passes\"\n", "figure 1 \"p\", key \"name\": \"p\" is already a column"},
    Refusal{"CommaInAName", "structure = \"s\"\n[[parameter]]\nname = \"a,b\"\nset = \"0.t\"\nvalues = [1]\n[[figure]]\nname = \"p\"\nkind = \"passes\"\n", "holds no comma"},
    Refusal{"UnknownFigure", "structure = \"s\"\n[[parameter]]\nname = \"d\"\nset = \"0.t\"\nvalues = [1]\n[[figure]]\nname = \"p\"\nkind = \"mobility\"\n", "\"mobility\" is not a figure"},
    Refusal{"ZipOfUnequalLists", "structure = \"s\"\ncombine = \"zip\"\n[[parameter]]\nname = \"a\"\nset = \"0.t\"\nvalues = [1, 2]\n" + parameterAndFigure, "needs lists of one length"},
    Refusal{"ValenceWithoutSchroedinger", "structure = \"s\"\n[settings]\nvalence = true\n" + parameterAndFigure, "needs schroedinger = true"},
    Refusal{"BadContact", "structure = \"s\"\n[settings]\nleft = \"fixed\"\n" + parameterAndFigure, "settings, key \"left\": is \"neutral\" or the barrier height"},
    Refusal{"BillionsOfPoints", "structure = \"s\"\n[[parameter]]\nname = \"a\"\nset = \"0.t\"\nlinear = [1, 2, 100000]\n[[parameter]]\nname = \"b\"\nset = \"0.dx\"\nlinear = [1, 2, 100000]\n[[figure]]\nname = \"p\"\nkind = \"passes\"\n", "more than 1000000000 points"}));
// clang-format on

} // namespace
} // namespace tervane
