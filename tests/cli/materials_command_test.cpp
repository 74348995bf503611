// tervane-cli materials: the listing of a materials database file.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "byte_builder.h"
#include "cli_runner.h"
#include "file_images.h"

namespace tervane::test {
namespace {

// Two materials laid out as the file stores them: EaDeep, EdDeep, dEc, Eg, eps, me, mhh, mlh, the
// polarization (a, c13, c33, e31, e33, Psp), EaShallow, EdShallow, name, type, then the backgrounds
// Na, Nd, Nda, Ndd.
std::string twoMaterials()
{
    ByteBuilder file;
    file.int32(2);

    file.law(0.8, 0, 0).law(1.1, 0, 0).law(0, 0, 0).law(3.44, 0, 0).law(9.5, 0, 0);
    file.law(0.2, 0, 0).law(1.5, 0, 0).law(0.14, 0, 0);
    file.law(3.189, 0, 0).law(106, 0, 0).law(398, 0, 0).law(-0.49, 0, 0).law(0.73, 0, 0).law(-0.029, 0, 0);
    file.law(0.2, 0, 0).law(0.03, 0, 0);
    file.shortString("GaN").int32(0);
    file.float64(2e15).float64(1e16).float64(4e13).float64(3e14);

    file.law(0, 0, 0).law(123.456, 0, 0).law(0, 0.7, 0).law(1.5, 0.2, -0.1).law(9.5, -0.5, 0);
    file.law(0.2, 0.12, 0).law(1.5, 2, 0.5).law(0.14, 0.1, 0);
    file.law(3.189, -0.077, 0).law(106, 2, 0).law(398, -25, 0).law(-0.49, -0.11, 0).law(0.73, 0.73, 0);
    file.law(-0.029, -0.052, 0);
    file.law(0.2, 0.1, 0).law(0.03, 0.01, 0);
    file.shortString("AlGaN").int32(1);
    file.float64(0).float64(5.5e17).float64(0).float64(0);
    return file.bytes();
}

TEST(MaterialsListing, EveryLawBackgroundAndPolarizationLawInItsTextForm)
{
    TempDir dir;
    const CliRun run = runCli({"materials", dir.write("nitrides.bin", twoMaterials())});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "GaN (Binary)\n"
                       "  Eg            3.44+0.00x+0.00x^2\n"
                       "  dEc           0.00+0.00x+0.00x^2\n"
                       "  eps           9.50+0.00x+0.00x^2\n"
                       "  EaShallow     0.20+0.00x+0.00x^2\n"
                       "  EdShallow     0.03+0.00x+0.00x^2\n"
                       "  EaDeep        0.80+0.00x+0.00x^2\n"
                       "  EdDeep        1.10+0.00x+0.00x^2\n"
                       "  me            0.20+0.00x+0.00x^2\n"
                       "  mhh           1.50+0.00x+0.00x^2\n"
                       "  mlh           0.14+0.00x+0.00x^2\n"
                       "  NdBackground  1.000e+16 cm^-3\n"
                       "  NaBackground  2.000e+15 cm^-3\n"
                       "  NddBackground 3.000e+14 cm^-3\n"
                       "  NdaBackground 4.000e+13 cm^-3\n"
                       "  a             3.19+0.00x+0.00x^2\n"
                       "  Psp           -0.03+0.00x+0.00x^2\n"
                       "  c13           106.00+0.00x+0.00x^2\n"
                       "  c33           398.00+0.00x+0.00x^2\n"
                       "  e31           -0.49+0.00x+0.00x^2\n"
                       "  e33           0.73+0.00x+0.00x^2\n"
                       "\n"
                       "AlGaN (Ternary)\n"
                       "  Eg            1.50+0.20x+-0.10x^2\n"
                       "  dEc           0.00+0.70x+0.00x^2\n"
                       "  eps           9.50+-0.50x+0.00x^2\n"
                       "  EaShallow     0.20+0.10x+0.00x^2\n"
                       "  EdShallow     0.03+0.01x+0.00x^2\n"
                       "  EaDeep        0.00+0.00x+0.00x^2\n"
                       "  EdDeep        123.46+0.00x+0.00x^2\n"
                       "  me            0.20+0.12x+0.00x^2\n"
                       "  mhh           1.50+2.00x+0.50x^2\n"
                       "  mlh           0.14+0.10x+0.00x^2\n"
                       "  NdBackground  5.500e+17 cm^-3\n"
                       "  NaBackground  0.000e+00 cm^-3\n"
                       "  NddBackground 0.000e+00 cm^-3\n"
                       "  NdaBackground 0.000e+00 cm^-3\n"
                       "  a             3.19+-0.08x+0.00x^2\n"
                       "  Psp           -0.03+-0.05x+0.00x^2\n"
                       "  c13           106.00+2.00x+0.00x^2\n"
                       "  c33           398.00+-25.00x+0.00x^2\n"
                       "  e31           -0.49+-0.11x+0.00x^2\n"
                       "  e33           0.73+0.73x+0.00x^2\n");
}

TEST(MaterialsListing, EveryRecordInFileOrderEvenANameTwiceAndNoneForAnEmptyFile)
{
    TempDir dir;
    const CliRun run = runCli({"materials", dir.write("dup.bin", plainMaterialsFile({"GaN", "AlN", "GaN"}))});
    EXPECT_EQ(run.status, 0);
    std::vector<std::string> headings;
    for (const std::string& line : linesOf(run.out))
        if (!line.empty() && line[0] != ' ')
            headings.push_back(line);
    EXPECT_EQ(headings, (std::vector<std::string>{"GaN (Binary)", "AlN (Binary)", "GaN (Binary)"}));

    const CliRun empty = runCli({"materials", dir.write("none.bin", plainMaterialsFile({}))});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out + empty.err, "");
}

} // namespace
} // namespace tervane::test
