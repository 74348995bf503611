// tervane-cli materials: the listing of a materials database file.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_test_support.h"

namespace tervane::test {
namespace {

TEST(MaterialsListing, EveryLawBackgroundAndPolarizationLawInItsTextForm)
{
    // The library's AlGaN (every line different) with four different backgrounds, so a law or a density
    // shown in the wrong place shows. EdShallow's 0.015 and 0.235 lie just below their halves in binary.
    Material m = AlGaN;
    m.NdBackground = 5.5e17;
    m.NaBackground = 2e15;
    m.NddBackground = 3e14;
    m.NdaBackground = 4e13;
    TempDir dir;
    const CliRun run = runCli({"materials", dir.write("algan.tvm", encodeMaterials({m}))});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "AlGaN (Ternary)\n"
                       "  Eg            3.44+2.02x+0.70x^2\n"
                       "  dEc           0.80+1.22x+0.70x^2\n"
                       "  eps           9.50+-0.50x+0.00x^2\n"
                       "  EaShallow     0.17+0.34x+0.00x^2\n"
                       "  EdShallow     0.01+0.23x+0.00x^2\n"
                       "  EaDeep        0.90+0.00x+0.00x^2\n"
                       "  EdDeep        1.65+0.00x+0.00x^2\n"
                       "  me            0.20+0.12x+0.00x^2\n"
                       "  mhh           1.89+1.68x+0.00x^2\n"
                       "  mlh           0.14+0.12x+0.00x^2\n"
                       "  NdBackground  5.500e+17 cm^-3\n"
                       "  NaBackground  2.000e+15 cm^-3\n"
                       "  NddBackground 3.000e+14 cm^-3\n"
                       "  NdaBackground 4.000e+13 cm^-3\n"
                       "  a             3.19+-0.08x+0.00x^2\n"
                       "  Psp           -0.03+-0.05x+0.00x^2\n"
                       "  c13           103.00+5.00x+0.00x^2\n"
                       "  c33           405.00+-32.00x+0.00x^2\n"
                       "  e31           -0.49+-0.11x+0.00x^2\n"
                       "  e33           0.73+0.73x+0.00x^2\n");
}

TEST(MaterialsListing, EveryRecordInFileOrderEvenANameTwiceAndNoneForAnEmptyFile)
{
    TempDir dir;
    const CliRun run = runCli({"materials", dir.write("dup.tvm", encodeMaterials({GaN, AlGaN, GaN}))});
    EXPECT_EQ(run.status, 0);
    std::vector<std::string> headings; // and the blank lines between the records
    for (const std::string& line : linesOf(run.out))
        if (line.empty() || line[0] != ' ')
            headings.push_back(line);
    EXPECT_EQ(headings,
              (std::vector<std::string>{"GaN (Binary)", "", "AlGaN (Ternary)", "", "GaN (Binary)"}));

    const CliRun empty = runCli({"materials", dir.write("none.tvm", encodeMaterials({}))});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out + empty.err, "");
}

} // namespace
} // namespace tervane::test
