#include "io/import_script.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "model/observer.h"
#include "io_test_support.h"

namespace tervane {
namespace {

constexpr double tolRelative = 1e-12;

struct Parsed {
    IoResult result;
    std::vector<Layer> layers;
    std::vector<std::string> messages;
};

Parsed parse(std::string_view text)
{
    Parsed parsed;
    CollectingObserver observer;
    parsed.result = parseScriptText(text, parsed.layers, observer);
    parsed.messages = observer.messages;
    return parsed;
}

// The material names of the layers, blank-separated.
std::string names(const std::vector<Layer>& layers)
{
    std::string text;
    for (const Layer& layer : layers)
        text += (text.empty() ? "" : " ") + layer.material;
    return text;
}

void expectClose(double actual, double expected)
{
    EXPECT_NEAR(actual, expected, tolRelative * std::fabs(expected)) << "expected " << expected;
}

// --- Properties of a layer line ----------------------------------------------------------------

struct PropertyCase {
    const char* line;
    double Layer::*field;
    double expected;      // SI
    bool invalid = false; // a number that is not finite: reported, and the earlier value kept
    friend void PrintTo(const PropertyCase& row, std::ostream* out) { *out << '"' << row.line << '"'; }
};

constexpr auto thicknessOf = &Layer::thickness, dxOf = &Layer::dx, NdOf = &Layer::Nd, NaOf = &Layer::Na,
               NddOf = &Layer::Ndd, NdaOf = &Layer::Nda, strainOf = &Layer::strainFactor;

class ScriptProperty : public ::testing::TestWithParam<PropertyCase> {};

TEST_P(ScriptProperty, IsReadInScriptUnitsAndStoredInSi)
{
    const std::string line = GetParam().line;
    const Parsed parsed = parse(line);
    ASSERT_TRUE(parsed.result.ok);
    ASSERT_EQ(parsed.layers.size(), 1u);
    EXPECT_EQ(parsed.layers[0].material, "GaN");
    expectClose(parsed.layers[0].*GetParam().field, GetParam().expected);
    EXPECT_EQ(parsed.messages, GetParam().invalid
                                   ? std::vector<std::string>{"Invalid number in line #1: " + line}
                                   : std::vector<std::string>{});
}

// Units: t and dx in Angstrom, densities in cm^-3; keys in any case, the last one wins; the number is
// what strtod takes from the text after the last '='.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Import, ScriptProperty, ::testing::Values(
    PropertyCase{"GaN t=200\n", thicknessOf, 2e-8}, PropertyCase{"GaN\n", thicknessOf, 0.0},
    PropertyCase{"GaN\n", dxOf, 1e-9}, PropertyCase{"GaN dx=5", dxOf, 5e-10},
    PropertyCase{"GaN Nd=1e18", NdOf, 1e24}, PropertyCase{"GaN Na=2e17", NaOf, 2e23},
    PropertyCase{"GaN Ndd=3e16", NddOf, 3e22}, PropertyCase{"GaN Nda=4.5e15", NdaOf, 4.5e21},
    PropertyCase{"GaN nd=1e18 ND=2e18", NdOf, 2e24}, PropertyCase{"GaN t=100A", thicknessOf, 1e-8},
    PropertyCase{"GaN t=5 t=abc", thicknessOf, 5e-10}, PropertyCase{"GaN t=3=5", thicknessOf, 5e-10},
    PropertyCase{"GaN t=0x1p3", thicknessOf, 8e-10}, PropertyCase{"GaN t=1e", thicknessOf, 1e-10},
    PropertyCase{"GaN=AlN t=2", thicknessOf, 2e-10}, PropertyCase{"GaN relax=0.5", strainOf, 0.5},
    PropertyCase{"GaN t=5 t=nan\n", thicknessOf, 5e-10, true}, PropertyCase{"GaN t=1e999", thicknessOf, 0.0, true},
    PropertyCase{"GaN dx=infinity", dxOf, 1e-9, true}, PropertyCase{"GaN Nd=2 Nd=1e305", NdOf, 2e6, true},
    PropertyCase{"GaN relax=nan(1)", strainOf, 0.0, true}, PropertyCase{"GaN Nd=1 Nd=-inf", NdOf, 1e6, true}));
// clang-format on

struct LawCase {
    const char* line;
    Quadratic Layer::*law;
    double a, b, c;
    std::size_t messages;
    friend void PrintTo(const LawCase& row, std::ostream* out) { *out << '"' << row.line << '"'; }
};

class ScriptLaw : public ::testing::TestWithParam<LawCase> {};

TEST_P(ScriptLaw, FillsCoefficientsFromTheLeft)
{
    const LawCase& expected = GetParam();
    const Parsed parsed = parse(expected.line);
    ASSERT_EQ(parsed.layers.size(), 1u);
    const Quadratic& law = parsed.layers[0].*expected.law;
    expectClose(law.a, expected.a);
    expectClose(law.b, expected.b);
    expectClose(law.c, expected.c);
    EXPECT_EQ(parsed.messages.size(), expected.messages);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Import, ScriptLaw, ::testing::Values(
    LawCase{"GaN x=0.1,0.2", &Layer::composition, 0.1, 0.2, 0, 0},
    LawCase{"GaN x=0.1, 0.2", &Layer::composition, 0.1, 0, 0, 1},
    LawCase{"GaN x=0.2,0.1,0.05,9", &Layer::composition, 0.2, 0.1, 0.05, 0},
    LawCase{"GaN x=0.1,,0.2", &Layer::composition, 0.1, 0, 0, 0},
    LawCase{"GaN x=0.5 x=abc", &Layer::composition, 0, 0, 0, 0},
    LawCase{"GaN Efn=-0.1,0.2,0.3", &Layer::Efn, -0.1, 0.2, 0.3, 0},
    LawCase{"GaN efp=0.3", &Layer::Efp, 0.3, 0, 0, 0},
    LawCase{"GaN Efn=0,0.5 Efn=0,0,inf", &Layer::Efn, 0, 0.5, 0, 1}));
// clang-format on

TEST(ScriptLayer, FlagsAndNamesFollowTheFirstToken)
{
    const Parsed parsed = parse("x=0.3 t=10\nGaN relax\nGaN noholes=0\nGaN noholesx\nrep=2\n");
    ASSERT_EQ(names(parsed.layers), "x GaN GaN GaN rep");
    expectClose(parsed.layers[0].thickness, 1e-9);
    expectClose(parsed.layers[0].composition.a, 0.0);
    EXPECT_TRUE(parsed.layers[1].relaxed);
    EXPECT_FALSE(parsed.layers[0].relaxed);
    EXPECT_FALSE(parsed.layers[2].holes);
    EXPECT_TRUE(parsed.layers[3].holes);
    EXPECT_EQ(parsed.messages, std::vector<std::string>{"Unknown command in line #4: GaN noholesx\n"});
}

// --- Repeat blocks -------------------------------------------------------------------------------

struct StructureCase {
    const char* script;
    const char* names;
    friend void PrintTo(const StructureCase& row, std::ostream* out) { *out << '"' << row.script << '"'; }
};

class ScriptStructure : public ::testing::TestWithParam<StructureCase> {};

TEST_P(ScriptStructure, ExpandsRepeatBlocks)
{
    const Parsed parsed = parse(GetParam().script);
    ASSERT_TRUE(parsed.result.ok) << parsed.result.message;
    EXPECT_EQ(names(parsed.layers), GetParam().names);
    EXPECT_TRUE(parsed.messages.empty());
}

// Bytes above 127 are not blanks: they stay in the name.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Import, ScriptStructure, ::testing::Values(
    StructureCase{"A\r\nB\r\n", "A B"}, StructureCase{"\n \n\t\r\n=A t=1\n", ""},
    StructureCase{"GaN\xA0t=5\nAlN\x85 t=5\n", "GaN\xA0t AlN\x85"},
    StructureCase{"endrepeat\nA\n", ""}, StructureCase{"A\nendrepeat x\nB\n", "A"},
    StructureCase{"REPEAT=2\nA\nB\nEndRepeat\nC\n", "A B A B C"},
    StructureCase{"repeat=2\nA\nrepeat=2\nB\nendrepeat\nC\nendrepeat\n", "A B B C A B B C"},
    StructureCase{"repeat=2\nA\nrepeat=2\nB\n", "A B B A B B"},
    StructureCase{"repeat=2\nA\nendrepeat\nendrepeat\nB\n", "A A"},
    StructureCase{"repeat=3.7 A\nA\nendrepeat\n", "A A A"}, StructureCase{"repeat=+2\nA\n", "A A"},
    StructureCase{"repeat=-2\nA\nendrepeat\nB\n", "B"}, StructureCase{"repeat=0x10\nA\nendrepeat\nB\n", "B"},
    StructureCase{"repeat=-1000000000000\nA\nendrepeat\nB\n", "B"},
    StructureCase{"repeat=1000000000000\nendrepeat\nB\n", "B"}));
// clang-format on

TEST(ScriptRepeat, ZeroCopiesStillReadAndReportTheirLines)
{
    const Parsed parsed = parse("repeat=0\nA foo\nB bar\nendrepeat\n");
    EXPECT_TRUE(parsed.layers.empty());
    EXPECT_EQ(parsed.messages, (std::vector<std::string>{"Unknown command in line #2: A foo\n",
                                                         "Unknown command in line #3: B bar\n"}));
}

TEST(ScriptRepeat, MissingCountIsReportedAndTakesTheBlockOnce)
{
    for (const std::string count : {"repeat", "repeat=abc", "Repeat=.5"}) {
        const Parsed parsed = parse(count + "\nA\nB\nendrepeat\n");
        EXPECT_EQ(names(parsed.layers), "A B");
        EXPECT_EQ(parsed.messages,
                  std::vector<std::string>{"Missing repeat count in line #1: " + count + "\n"});
    }
}

// --- Messages and line numbers -------------------------------------------------------------------

// Lines come as fgets with a 2048-byte buffer gives them: pieces of at most 2047 bytes, each a line of
// its own, so a line of exactly 2047 bytes leaves its line break as one more (blank) line.
TEST(ScriptMessages, NameEveryLineReadIncludingBlocksAndPieces)
{
    const std::string fullLine = "GaN t=10" + std::string(2039, ' ') + "\n";
    const std::string longLine =
        "GaN t=10" + std::string(2036, ' ') + "AlNxyz t=20" + std::string(944, ' ') + "\n";
    ASSERT_EQ(fullLine.size() + longLine.size(), 2048u + 3000u);
    const Parsed parsed = parse("GaN\nGaN\nrepeat=2\nA\nB\nC\nD\nE\nendrepeat\nGaN\nGaN\nGaN foo=1 bar\n" +
                                fullLine + longLine + "InN baz\r\n");
    ASSERT_EQ(parsed.layers.size(), 19u);
    for (std::size_t k : {15, 16})
        expectClose(parsed.layers[k].thickness, 1e-9);
    EXPECT_EQ(parsed.layers[17].material, "xyz");
    expectClose(parsed.layers[17].thickness, 2e-9);
    const std::string firstPiece = longLine.substr(0, 2047);
    EXPECT_EQ(parsed.messages, (std::vector<std::string>{"Unknown command in line #12: GaN foo=1 bar\n",
                                                         "Unknown command in line #12: GaN foo=1 bar\n",
                                                         "Unknown command in line #15: " + firstPiece,
                                                         "Unknown command in line #17: InN baz\r\n"}));
}

// --- Bounds --------------------------------------------------------------------------------------

// A million layers are made; one more is refused, naming the line that went past the bound, and a
// block that would go past it is refused before room for its copies is allocated.
TEST(ScriptLimits, LayerCountIsBoundedBeforeAnythingIsAllocated)
{
    const Parsed atBound = parse("A\nrepeat=999999\nB\n");
    ASSERT_TRUE(atBound.result.ok);
    ASSERT_EQ(atBound.layers.size(), maxScriptLayers);
    EXPECT_EQ(atBound.layers.back().material, "B");
    const Parsed oneMore = parse("repeat=999999\nB\nendrepeat\nA\nC\n");
    EXPECT_EQ(oneMore.result.message, "The script makes more than 1000000 layers (line #5)");
    EXPECT_TRUE(oneMore.layers.empty());
    struct Refused {
        const char* script;
        const char* line;
    };
    for (const Refused& refused : {Refused{"A\nA\nrepeat=999999\nB\n", "3"},
                                   Refused{"repeat=1000\nA\nrepeat=1000\nB\nendrepeat\nendrepeat\n", "1"},
                                   Refused{"repeat=2147483647\nA\n", "1"}}) {
        std::vector<Layer> layers(3);
        CollectingObserver observer;
        testing::LargestAllocation largest;
        const IoResult result = parseScriptText(refused.script, layers, observer);
        EXPECT_LT(largest.bytes(), std::size_t{1} << 20) << refused.script;
        EXPECT_EQ(result.message,
                  std::string("The script makes more than 1000000 layers (line #") + refused.line + ")");
        EXPECT_TRUE(layers.empty());
    }
}

// A block is expanded in place: 63 blocks of one copy around 10000 layers allocate room for the layers
// about once, not once per level (at the bound that took minutes).
TEST(ScriptLimits, NestedBlocksAreNotCopiedPerLevel)
{
    constexpr std::size_t layerCount = 10000;
    std::string script;
    for (int depth = 1; depth < maxRepeatDepth; ++depth)
        script += "repeat=1\n";
    script += "repeat=" + std::to_string(layerCount) + "\nA\n";
    testing::LargestAllocation allocations;
    const Parsed parsed = parse(script);
    ASSERT_EQ(parsed.layers.size(), layerCount);
    EXPECT_LT(allocations.totalBytes(), 3 * layerCount * sizeof(Layer));
}

} // namespace
} // namespace tervane
