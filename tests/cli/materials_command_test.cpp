// tervane-cli materials: the listing of a materials list.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_test_support.h"

namespace tervane::test {
namespace {

// The library's AlGaN with four different backgrounds, so a law or a density shown in the wrong place
// shows (EdShallow's 0.015 and 0.235 lie just below their halves in binary); then, after a blank line,
// a record whose name and type are shown escaped and as a number.
TEST(MaterialsCommand, ListsEveryLawBackgroundAndPolarizationLawInFileOrder)
{
    Material m = AlGaN, odd;
    m.NdBackground = 5.5e17, m.NaBackground = 2e15, m.NddBackground = 3e14, m.NdaBackground = 4e13;
    odd.name = "Ga\x01N";
    odd.type = 7;
    ScratchFolder dir;
    const CliRun run = runCli({"materials", dir.write("algan.tvm", encodeMaterials({m, odd}))});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    const std::vector<std::string> lines = linesOf(run.out);
    ASSERT_EQ(lines.size(), 21u + 1 + 21);
    const std::pair<std::size_t, std::string> expected[] = {{0, "AlGaN (Ternary)"},
                                                            {1, "  Eg            3.44+2.02x+0.70x^2"},
                                                            {3, "  eps           9.50+-0.50x+0.00x^2"},
                                                            {5, "  EdShallow     0.01+0.23x+0.00x^2"},
                                                            {6, "  EaDeep        0.90+0.00x+0.00x^2"},
                                                            {7, "  EdDeep        1.65+0.00x+0.00x^2"},
                                                            {10, "  mlh           0.14+0.12x+0.00x^2"},
                                                            {11, "  NdBackground  5.500e+17 cm^-3"},
                                                            {12, "  NaBackground  2.000e+15 cm^-3"},
                                                            {13, "  NddBackground 3.000e+14 cm^-3"},
                                                            {14, "  NdaBackground 4.000e+13 cm^-3"},
                                                            {15, "  a             3.19+-0.08x+0.00x^2"},
                                                            {16, "  Psp           -0.03+-0.05x+0.00x^2"},
                                                            {18, "  c33           405.00+-32.00x+0.00x^2"},
                                                            {20, "  e33           0.73+0.73x+0.00x^2"},
                                                            {21, ""},
                                                            {22, "Ga\\x01N (type 7)"}};
    for (const auto& [index, line] : expected)
        EXPECT_EQ(lines[index], line) << index;
}

} // namespace
} // namespace tervane::test
