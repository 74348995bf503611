#include "io/import_script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io_test_support.h"
#include "model/observer.h"

namespace tervane::test {
namespace {

constexpr double tolRelative = 1e-12;

struct Parsed {
    IoResult result;
    std::vector<Layer> layers;
    std::vector<std::string> messages;
    std::string names; // the layers' materials, blank-separated
};

Parsed parse(std::string_view text)
{
    Parsed parsed;
    CollectingObserver observer;
    parsed.result = parseScriptText(text, parsed.layers, observer);
    parsed.messages = observer.messages;
    for (const Layer& layer : parsed.layers)
        parsed.names += (parsed.names.empty() ? "" : " ") + layer.material;
    return parsed;
}

// Script units (Angstrom, cm^-3) stored in SI; keys in any case, the last one wins; the number is what
// strtod takes after the last '='. A number that is not finite is reported and the earlier value kept.
// "a,b,c" fills a law from the left, the rest 0; a blank ends the value.
TEST(ImportScript, LayerLinesAreReadInScriptUnits)
{
    const std::string typo = "GaN t=100A t=abc x=0.2,0.1,0.05,9 efp=0.3 noholesx\n";
    const std::string nonFinite = "GaN t=5 t=nan Nd=2 Nd=1e305 Efn=0,0.5 Efn=0,0,inf x=0.1, 0.2\n";
    const std::string first = "GaN t=200 dx=5 Na=2e17 Ndd=3e16 Nda=4.5e15 nd=1e18 ND=2e18 relax=.5 noholes\n";
    const Parsed parsed = parse(first + typo + "GaN t=3=0x1p3 x=0.5 x=abc\n" + nonFinite + "x=0.3\n");
    ASSERT_EQ(parsed.names, "GaN GaN GaN GaN x");
    const std::vector<Layer>& l = parsed.layers;
    const std::pair<double, double> values[] = {
        {l[0].thickness, 2e-8},  {l[0].dx, 5e-10},        {l[0].Na, 2e23},          {l[0].Ndd, 3e22},
        {l[0].Nda, 4.5e21},      {l[0].Nd, 2e24},         {l[0].strainFactor, 0.5}, {l[1].thickness, 1e-8},
        {l[2].thickness, 8e-10}, {l[3].thickness, 5e-10}, {l[3].Nd, 2e6},           {l[4].thickness, 0.0},
        {l[4].dx, 1e-9}};
    for (const auto& [value, expected] : values)
        EXPECT_NEAR(value, expected, tolRelative * expected) << expected;
    const std::vector laws = {l[1].composition, l[1].Efp, l[2].composition, l[3].composition, l[3].Efn};
    EXPECT_EQ(laws, std::vector<Quadratic>({{0.2, 0.1, 0.05}, {0.3, 0, 0}, {}, {0.1, 0, 0}, {0, 0.5, 0}}));
    EXPECT_TRUE(l[0].relaxed && !l[0].holes && !l[1].relaxed && l[1].holes);
    EXPECT_EQ(l[4].composition, Quadratic());
    const std::string invalid = "Invalid number in line #4: " + nonFinite;
    const std::vector<std::string> messages = {"Unknown command in line #2: " + typo, invalid, invalid,
                                               invalid, "Unknown command in line #4: " + nonFinite};
    EXPECT_EQ(parsed.messages, messages);
}

// Bytes above 127 are not blanks; a repeat count is what "%d" reads, and one past the range of int
// stays far too large, or a count of no copies.
TEST(ImportScript, RepeatBlocksExpand)
{
    const std::pair<const char*, const char*> cases[] = {
        {"A\r\nB\r\n", "A B"},
        {"\n \n\t\r\n=A t=1\n", ""},
        {"endrepeat\nA\n", ""},
        {"GaN\xA0t=5\nAlN\x85 t=5\n", "GaN\xA0t AlN\x85"},
        {"A\nendrepeat x\nB\n", "A"},
        {"REPEAT=2\nA\nB\nEndRepeat\nC\n", "A B A B C"},
        {"repeat=+2\nA\n", "A A"},
        {"repeat=2\nA\nrepeat=2\nB\n", "A B B A B B"},
        {"repeat=2\nA\nrepeat=2\nB\nendrepeat\nC\nendrepeat\n", "A B B C A B B C"},
        {"repeat=2\nA\nendrepeat\nendrepeat\nB\n", "A A"},
        {"repeat=3.7 A\nA\nendrepeat\n", "A A A"},
        {"repeat=-2\nA\nendrepeat\nB\n", "B"},
        {"repeat=0x10\nA\nendrepeat\nB\n", "B"},
        {"repeat=-1000000000000\nA\nendrepeat\nB\n", "B"},
        {"repeat=1000000000000\nendrepeat\nB\n", "B"}};
    for (const auto& [script, names] : cases) {
        const Parsed parsed = parse(script);
        ASSERT_TRUE(parsed.result) << script << parsed.result.message;
        EXPECT_EQ(parsed.names, names) << script;
        EXPECT_TRUE(parsed.messages.empty()) << script;
    }
}

// Lines come as fgets with a 2048-byte buffer gives them: pieces of at most 2047 bytes, each a line of
// its own, so a line of exactly 2047 bytes leaves its line break as one more (blank) line. Blocks
// repeated no times are still read and reported on; a count missing takes the block once.
TEST(ImportScript, MessagesNameEveryLineRead)
{
    const std::string fullLine = "GaN t=10" + std::string(2039, ' ') + "\n";
    const std::string longLine = "GaN t=10" + std::string(2036, ' ') + "AlNxyz t=20\n";
    const std::string blocks = "repeat=0\nA foo\nendrepeat\nrepeat\nB\nendrepeat\nGaN foo=1 bar\n";
    const Parsed parsed = parse(blocks + fullLine + longLine + "InN baz\r\n");
    ASSERT_EQ(parsed.names, "B GaN GaN GaN xyz InN");
    EXPECT_NEAR(parsed.layers[4].thickness, 2e-9, 2e-9 * tolRelative);
    const std::vector<std::string> messages = {"Unknown command in line #2: A foo\n",
                                               "Missing repeat count in line #4: repeat\n",
                                               "Unknown command in line #7: GaN foo=1 bar\n",
                                               "Unknown command in line #7: GaN foo=1 bar\n",
                                               "Unknown command in line #10: " + longLine.substr(0, 2047),
                                               "Unknown command in line #12: InN baz\r\n"};
    EXPECT_EQ(parsed.messages, messages);
}

// A million layers are made; one more is refused naming the line that went past the bound, and the
// list is left empty.
TEST(ImportScript, LayerCountIsBounded)
{
    ASSERT_EQ(parse("A\nrepeat=999999\nB\n").layers.size(), maxScriptLayers);
    for (const auto& [script, line] :
         {std::pair{"repeat=999999\nB\nendrepeat\nA\nC\n", "5"}, std::pair{"A\nA\nrepeat=999999\nB\n", "3"},
          std::pair{"repeat=99\nA\nrepeat=99999\nB\nendrepeat\n", "1"}}) {
        std::vector<Layer> layers(3);
        CollectingObserver observer;
        EXPECT_EQ(parseScriptText(script, layers, observer).message,
                  std::string("The script makes more than 1000000 layers (line #") + line + ")");
        EXPECT_TRUE(layers.empty());
    }
}

} // namespace
} // namespace tervane::test
