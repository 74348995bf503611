// tervane-cli solve: the status line, the exports, the C-V sweep, the settings options and the refusals
// of bad command lines, on hand-built materials (GaN, AlGaN and GaAs with the laws of the bundled
// library) and small structures.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <ostream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli_runner.h"
#include "file_images.h"

namespace tervane::test {
namespace {

using Args = std::vector<std::string>;
using Json = nlohmann::json;

constexpr double tolEnergy = 1e-6;   // eV; the band file prints six decimals
constexpr double tolNeutral = 1e-5;  // eV; a Neutral contact's root search stops at 1e-6 V
constexpr double tolRelative = 1e-5; // densities printed with seven significant digits
constexpr double kT = 0.026;         // eV at 300 K with kB = 8.666666666666667e-5 eV/K
constexpr double Nc = 2.07e18;       // conduction-band density of states, cm^-3
constexpr double elementaryCharge = 1.6e-19;
constexpr double vacuumPermittivity = 8.85e-12;

const StoredMaterial GaN{.name = "GaN",
                         .Eg = {3.4376, 0, 0},
                         .dEc = {0.7976, 0, 0},
                         .eps = {9.5, 0, 0},
                         .EaShallow = {0.17, 0, 0},
                         .EdShallow = {0.015, 0, 0},
                         .EaDeep = {0.9, 0, 0},
                         .EdDeep = {1.65, 0, 0},
                         .me = {0.2, 0, 0},
                         .mhh = {1.887, 0, 0},
                         .mlh = {0.139, 0, 0},
                         .a = {3.189, 0, 0},
                         .Psp = {-0.029, 0, 0},
                         .c13 = {103, 0, 0},
                         .c33 = {405, 0, 0},
                         .e31 = {-0.49, 0, 0},
                         .e33 = {0.73, 0, 0}};

const StoredMaterial AlGaN{.name = "AlGaN",
                           .Eg = {3.4376, 2.02051, 0.7},
                           .dEc = {0.7976, 1.22051, 0.7},
                           .eps = {9.5, -0.5, 0},
                           .EaShallow = {0.17, 0.34, 0},
                           .EdShallow = {0.015, 0.235, 0},
                           .EaDeep = {0.9, 0, 0},
                           .EdDeep = {1.65, 0, 0},
                           .me = {0.2, 0.12, 0},
                           .mhh = {1.887, 1.684, 0},
                           .mlh = {0.139, 0.12, 0},
                           .a = {3.189, -0.077, 0},
                           .Psp = {-0.029, -0.052, 0},
                           .c13 = {103, 5, 0},
                           .c33 = {405, -32, 0},
                           .e31 = {-0.49, -0.11, 0},
                           .e33 = {0.73, 0.73, 0}};

const StoredMaterial GaAs{.name = "GaAs",
                          .Eg = {1.42248, 0, 0},
                          .dEc = {0.62248, 0, 0},
                          .eps = {12.9, 0, 0},
                          .EaShallow = {0.028, 0, 0},
                          .EdShallow = {0.0058, 0, 0},
                          .EaDeep = {0, 0, 0},
                          .EdDeep = {0.75, 0, 0},
                          .me = {0.067, 0, 0},
                          .mhh = {0.34965, 0, 0},
                          .mlh = {0.09009, 0, 0},
                          .a = {5.65325, 0, 0},
                          .Psp = {0, 0, 0},
                          .c13 = {56.6, 0, 0},
                          .c33 = {122.1, 0, 0},
                          .e31 = {0, 0, 0},
                          .e33 = {0, 0, 0}};

// p-GaAs then n-GaAs, 1000 Angstrom each at 10 Angstrom spacing: 100 + 100 grid points.
constexpr const char* pnJunction = "GaAs t=1000 dx=10 Na=1e17\n"
                                   "GaAs t=1000 dx=10 Nd=1e17\n";
constexpr int pnJunctionPoints = 200;

// 2000 Angstrom of n-GaAs (1e17 cm^-3) at 10 Angstrom spacing: 200 points.
constexpr const char* nLayer = "GaAs t=2000 dx=10 Nd=1e17\n";
constexpr double nLayerNd = 1e17;

// One line of a band-profile export, in its units (Angstrom, eV, cm^-3).
struct BandPoint {
    double x = 0, Ec = 0, Ev = 0, Ef = 0, n = 0, p = 0;
};

std::vector<BandPoint> bandPoints(const std::string& text)
{
    std::vector<BandPoint> points;
    const std::vector<std::string> lines = linesOf(text);
    for (std::size_t k = 1; k < lines.size(); ++k) {
        std::istringstream line(lines[k]);
        BandPoint point;
        line >> point.x >> point.Ec >> point.Ev >> point.Ef >> point.n >> point.p;
        points.push_back(point);
    }
    return points;
}

// Trapezoid integral of n over the intervals first..last (cm^-2), from the exported densities.
double sheetDensity(const std::vector<BandPoint>& points, std::size_t first, std::size_t last)
{
    double sum = 0;
    for (std::size_t i = first; i <= last && i + 1 < points.size(); ++i)
        sum += (points[i].n + points[i + 1].n) / 2 * (points[i + 1].x - points[i].x) * 1e-8;
    return sum;
}

// The numbers of the status line, or an empty match when it is not the status line.
const std::regex
    statusLine(R"(Solver error: (-?[0-9]\.[0-9]{5}e[+-][0-9]{2}|-?nan|-?inf) iterations: (-?[0-9]+) )"
               R"(bound states: ([0-9]+) ns: (-?[0-9]\.[0-9]{2}e[+-][0-9]{2}) cm-2\n)");

int iterationsOf(const std::string& out)
{
    std::smatch match;
    if (!std::regex_match(out, match, statusLine))
        return -1;
    return std::stoi(match[2].str());
}

// A folder with the materials file and whatever the test writes besides.
class SolveTest : public testing::Test {
  protected:
    TempDir dir;
    std::string materials = dir.write("materials.bin", materialsFile({GaN, AlGaN, GaAs}));

    CliRun solve(const std::string& structure, const Args& options) const
    {
        Args arguments{"solve", structure, "--materials", materials};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return runCli(arguments);
    }
    std::string script(const std::string& text) const { return dir.write("structure.txt", text); }
};

TEST_F(SolveTest, PnJunctionPrintsTheStatusAndExportsOneLinePerGridPoint)
{
    const std::string bands = dir.path("bands.txt");
    const std::string status = dir.path("status.json");
    const CliRun run = solve(script(pnJunction), {"--bands", bands, "--status-json", status});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(std::regex_match(run.out, statusLine)) << run.out;
    EXPECT_GT(iterationsOf(run.out), 0);

    const Json json = Json::parse(readFile(status));
    EXPECT_EQ(json["count"], pnJunctionPoints);
    const std::vector<std::string> lines = linesOf(readFile(bands));
    ASSERT_EQ(lines.size(), json["count"].get<std::size_t>() + 1);
    EXPECT_EQ(lines[0], "x\tEc\tEv\tEf\tn\tp");

    // Neutral contacts: the p side starts with p = Na, the n side ends with n = Nd, and there Ec lies
    // kT ln(Nc/Nd) above the Fermi level at 0 eV.
    const std::vector<BandPoint> points = bandPoints(readFile(bands));
    EXPECT_NEAR(points.front().p / 1e17, 1.0, 1e-4);
    EXPECT_NEAR(points.back().n / 1e17, 1.0, 1e-4);
    EXPECT_NEAR(points.back().Ec, kT * std::log(Nc / 1e17), 1e-5);
    EXPECT_NEAR(points.back().x, 1990.0, tolEnergy);
}

TEST_F(SolveTest, StatusJsonHoldsEveryValueAndTheMessagesMet)
{
    const std::string bands = dir.path("bands.txt");
    const std::string status = dir.path("status.json");
    const std::string structure = script("GaAs t=1000 dx=10 Na=1e17\n"
                                         "GaAs t=1000 dx=10 Nd=1e17 bogus=1\n");
    const CliRun run = solve(structure, {"--bands", bands, "--status-json", status});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "Unknown command in line #2: GaAs t=1000 dx=10 Nd=1e17 bogus=1\n");

    const Json json = Json::parse(readFile(status));
    for (const char* key : {"count", "iterations", "boundStates", "chargeFirst", "chargeLast"})
        EXPECT_TRUE(json[key].is_number_integer()) << key;
    for (const char* key : {"solverError", "sheetCharge", "substrateA", "substratePsp"})
        EXPECT_TRUE(json[key].is_number()) << key;
    EXPECT_EQ(json.size(), 10u);
    EXPECT_EQ(json["count"].get<std::size_t>() + 1, linesOf(readFile(bands)).size());
    EXPECT_EQ(json["iterations"], iterationsOf(run.out));
    EXPECT_EQ(json["boundStates"], 0);
    EXPECT_EQ(json["chargeFirst"], 0);
    EXPECT_EQ(json["chargeLast"], 0);
    // The new document's substrate: GaN at x = 0.
    EXPECT_EQ(json["substrateA"], 3.189);
    EXPECT_EQ(json["substratePsp"], -0.029);
    // The message keeps its exact text, line break included.
    EXPECT_EQ(json["messages"],
              Json::array({"Unknown command in line #2: GaAs t=1000 dx=10 Nd=1e17 bogus=1\n"}));
}

TEST_F(SolveTest, StatusJsonNumbersReadBackAsTheSameDoubles)
{
    const std::string status = dir.path("status.json");
    const CliRun run = solve(script(pnJunction), {"--substrate", "AlGaN:0.3", "--status-json", status});
    ASSERT_EQ(run.status, 0) << run.err;
    const Json json = Json::parse(readFile(status));
    // a and Psp of AlGaN at x = 0.3; one product and one sum, so the double is known exactly.
    EXPECT_EQ(json["substrateA"].get<double>(), -0.077 * 0.3 + 3.189);
    EXPECT_EQ(json["substratePsp"].get<double>(), -0.052 * 0.3 + -0.029);

    std::smatch match;
    ASSERT_TRUE(std::regex_match(run.out, match, statusLine));
    EXPECT_NEAR(std::stod(match[1].str()), json["solverError"].get<double>(),
                std::abs(json["solverError"].get<double>()) * 1e-5);
    EXPECT_NEAR(std::stod(match[4].str()), json["sheetCharge"].get<double>(),
                std::abs(json["sheetCharge"].get<double>()) * 1e-2);
}

// Substrate laws that leave the range of doubles, and how the status file writes them.
struct NonFiniteCase {
    std::string name;
    Law a;
    Law Psp;
    std::string x;
    Json substrateA;
    Json substratePsp;
};

void PrintTo(const NonFiniteCase& value, std::ostream* stream)
{
    *stream << value.name;
}

class NonFiniteStatus : public SolveTest, public testing::WithParamInterface<NonFiniteCase> {};

TEST_P(NonFiniteStatus, IsWrittenAsAString)
{
    const NonFiniteCase& param = GetParam();
    StoredMaterial odd{.name = "Odd", .a = param.a, .Psp = param.Psp};
    const std::string oddMaterials = dir.write("odd.bin", materialsFile({odd}));
    const std::string status = dir.path("status.json");
    // No layers: nothing to solve, only the substrate values to report.
    const CliRun run = runCli({"solve", script(""), "--materials", oddMaterials, "--substrate",
                               "Odd:" + param.x, "--status-json", status});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Solver error: 0.00000e+00 iterations: 0 bound states: 0 ns: 0.00e+00 cm-2\n");
    const Json json = Json::parse(readFile(status));
    EXPECT_EQ(json["substrateA"], param.substrateA);
    EXPECT_EQ(json["substratePsp"], param.substratePsp);
    EXPECT_EQ(json["count"], 0);
}

const double quietNan = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Laws, NonFiniteStatus,
    testing::Values(NonFiniteCase{"NanAndInf", {quietNan, 0, 0}, {0, 0, 1}, "1e200", "nan", "inf"},
                    NonFiniteCase{"MinusInfAndNumber", {0, 0, -1}, {-1.5, 0, 0}, "1e200", "-inf", -1.5}),
    [](const testing::TestParamInfo<NonFiniteCase>& info) { return info.param.name; });

// Contact options against the structure's own contact: the Ec of the first and the last grid point.
struct ContactCase {
    std::string name;
    int documentContact; // -1: a script (Neutral, 0 eV); 0 or 1: a document file with a 0.8 eV barrier
    Args options;
    double firstEc;
    double lastEc;
};

void PrintTo(const ContactCase& value, std::ostream* stream)
{
    *stream << value.name;
}

// A Fixed contact pins Ec at its barrier; a Neutral one leaves Ec kT ln(Nc/Nd) above the Fermi level.
const double neutralEc = kT * std::log(Nc / nLayerNd);

class Contacts : public SolveTest, public testing::WithParamInterface<ContactCase> {};

TEST_P(Contacts, SetTheBandEdgeAtTheContactPoints)
{
    const ContactCase& param = GetParam();
    std::string structure = script(nLayer);
    if (param.documentContact >= 0) {
        StoredLayer layer{.material = "GaAs", .thickness = 2e-7, .dx = 1e-9, .Nd = nLayerNd * 1e6};
        structure = dir.write("structure.tvd", documentVersion2({layer}, param.documentContact, 0.8));
    }
    const std::string bands = dir.path("bands.txt");
    Args options = param.options;
    options.insert(options.end(), {"--bands", bands});
    const CliRun run = solve(structure, options);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<BandPoint> points = bandPoints(readFile(bands));
    ASSERT_EQ(points.size(), 200u);
    EXPECT_NEAR(points.front().Ec, param.firstEc, param.firstEc == neutralEc ? tolNeutral : tolEnergy);
    EXPECT_NEAR(points.back().Ec, param.lastEc, param.lastEc == neutralEc ? tolNeutral : tolEnergy);
}

INSTANTIATE_TEST_SUITE_P(
    Options, Contacts,
    testing::Values(ContactCase{"ScriptIsNeutral", -1, {}, neutralEc, neutralEc},
                    ContactCase{"LeftFixed", -1, {"--left", "fixed:0.8"}, 0.8, neutralEc},
                    ContactCase{"RightFixed", -1, {"--right", "fixed:0.3"}, neutralEc, 0.3},
                    ContactCase{"BothFixed", -1, {"--left", "fixed:0.7", "--right", "fixed:0.2"}, 0.7, 0.2},
                    ContactCase{"NegativeBarrier", -1, {"--left", "fixed:-0.25"}, -0.25, neutralEc},
                    ContactCase{"DocumentFixed", 1, {}, 0.8, neutralEc},
                    ContactCase{"DocumentNeutral", 0, {}, neutralEc, neutralEc},
                    ContactCase{"DocumentFixedMadeNeutral", 1, {"--left", "neutral"}, neutralEc, neutralEc},
                    ContactCase{"DocumentFixedOverridden", 1, {"--left", "fixed:0.5"}, 0.5, neutralEc},
                    ContactCase{"DocumentNeutralMadeFixed", 0, {"--left", "fixed:0.6"}, 0.6, neutralEc}),
    [](const testing::TestParamInfo<ContactCase>& info) { return info.param.name; });

// The polarization step of an AlGaN layer grown on GaN (C/m^2), from the Ambacher laws: the change of
// the spontaneous term plus the piezoelectric term of the strained layer.
double alGaNStepOnGaN(double x)
{
    const double a = 3.189 - 0.077 * x;
    const double strain = (3.189 - a) / a;
    const double piezo =
        2 * strain * ((-0.49 - 0.11 * x) - (0.73 + 0.73 * x) * (103 + 5 * x) / (405 - 32 * x));
    return (-0.029 - 0.052 * x) - -0.029 + piezo;
}

TEST_F(SolveTest, PolarizationSwitchDecidesTheChargesOfASingleAlGaNLayer)
{
    const std::string structure = script("AlGaN x=0.3 t=200 dx=5\n");
    const std::string withPolarization = dir.path("with.txt");
    const std::string without = dir.path("without.txt");
    ASSERT_EQ(solve(structure, {"--charges", withPolarization}).status, 0);
    ASSERT_EQ(solve(structure, {"--charges", without, "--no-polarization"}).status, 0);

    const std::vector<std::string> lines = linesOf(readFile(withPolarization));
    ASSERT_EQ(lines.size(), 1u);
    std::istringstream line(lines[0]);
    double position = -1;
    double step = 0;
    line >> position >> step;
    EXPECT_EQ(position, 0.0);
    EXPECT_NEAR(step, alGaNStepOnGaN(0.3), 5e-6); // "%.3e": three decimals of the mantissa
    EXPECT_EQ(readFile(without), "");
}

TEST_F(SolveTest, PolarizationSwitchBendsTheBandsOfAHeterostructure)
{
    // The AlGaN barrier carries the sheet charges of its two interfaces only with polarization on.
    const std::string structure = script("GaN t=500 dx=5\nAlGaN x=0.3 t=200 dx=5\nGaN t=500 dx=5\n");
    const std::string withPolarization = dir.path("with.txt");
    const std::string without = dir.path("without.txt");
    ASSERT_EQ(solve(structure, {"--bands", withPolarization}).status, 0);
    ASSERT_EQ(solve(structure, {"--bands", without, "--no-polarization"}).status, 0);
    const std::vector<BandPoint> on = bandPoints(readFile(withPolarization));
    const std::vector<BandPoint> off = bandPoints(readFile(without));
    ASSERT_EQ(on.size(), off.size());
    double largest = 0;
    for (std::size_t k = 0; k < on.size(); ++k)
        largest = std::max(largest, std::abs(on[k].Ec - off[k].Ec));
    EXPECT_GT(largest, 0.5);

    // Without polarization the undoped barrier is flat at AlGaN's own conduction-band edge relative to
    // the GaN around it: dEc(0.3) - dEc(0) = 1.22051 * 0.3 + 0.7 * 0.09.
    const double offset = 1.22051 * 0.3 + 0.7 * 0.09;
    EXPECT_NEAR(off[120].Ec - off[20].Ec, offset, 1e-4);
}

TEST_F(SolveTest, ChargeExportListsEachLayerEdge)
{
    const std::string charges = dir.path("charges.txt");
    const CliRun run =
        solve(script("GaN t=100 dx=5\nAlGaN x=0.3 t=200 dx=5\nGaN t=50 dx=5\n"), {"--charges", charges});
    ASSERT_EQ(run.status, 0) << run.err;
    const double step = alGaNStepOnGaN(0.3);
    const std::vector<std::string> lines = linesOf(readFile(charges));
    ASSERT_EQ(lines.size(), 3u);
    const double positions[] = {0.0, 1e-8, 3e-8};
    const double steps[] = {0.0, step, -step};
    for (std::size_t k = 0; k < 3; ++k) {
        std::istringstream line(lines[k]);
        double position = -1;
        double value = 0;
        line >> position >> value;
        EXPECT_NEAR(position, positions[k], 5e-12) << lines[k];
        EXPECT_NEAR(value, steps[k], 5e-6) << lines[k];
    }
}

TEST_F(SolveTest, SubstrateMovesTheReferenceOfThePolarization)
{
    // GaN on an AlGaN substrate: the first line of the charge export is GaN measured from AlGaN.
    const std::string charges = dir.path("charges.txt");
    const std::string status = dir.path("status.json");
    const CliRun run = solve(script("GaN t=100 dx=5\n"),
                             {"--substrate", "AlGaN:0.3", "--charges", charges, "--status-json", status});
    ASSERT_EQ(run.status, 0) << run.err;
    std::istringstream line(readFile(charges));
    double position = -1;
    double value = 0;
    line >> position >> value;
    // GaN's a and Psp against the substrate's: the spontaneous step and GaN's (compressive) piezo term.
    const double substrateA = 3.189 - 0.077 * 0.3;
    const double strain = (substrateA - 3.189) / 3.189;
    const double piezo = 2 * strain * (-0.49 - 0.73 * 103 / 405);
    EXPECT_NEAR(value, (-0.029 - (-0.029 - 0.052 * 0.3)) + piezo, 5e-6);

    const Json json = Json::parse(readFile(status));
    EXPECT_NEAR(json["substrateA"].get<double>(), substrateA, 1e-12);
}

TEST_F(SolveTest, SubstrateWithoutCompositionIsTakenAtZero)
{
    const std::string status = dir.path("status.json");
    const CliRun run = solve(script(nLayer), {"--substrate", "GaAs", "--status-json", status});
    ASSERT_EQ(run.status, 0) << run.err;
    const Json json = Json::parse(readFile(status));
    EXPECT_EQ(json["substrateA"], 5.65325);
    EXPECT_EQ(json["substratePsp"], 0.0);
}

TEST_F(SolveTest, CvSweepWritesOneLinePerBiasAndRestoresTheBarrier)
{
    // A Schottky contact (Fixed, 0.8 eV) on n-GaAs, stored in a document file.
    StoredLayer layer{.material = "GaAs", .thickness = 2e-7, .dx = 1e-9, .Nd = nLayerNd * 1e6};
    const std::string structure = dir.write("schottky.tvd", documentVersion2({layer}, 1, 0.8));
    const std::string cv = dir.path("cv.txt");
    const std::string bands = dir.path("bands.txt");
    const CliRun run = solve(structure, {"--cv", "0:1:0.5", "--cv-out", cv, "--bands", bands});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::regex_match(run.out, statusLine)) << run.out;

    const std::vector<std::string> lines = linesOf(readFile(cv));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "V\tC");
    const char* biases[] = {"0.000000\t", "0.500000\t", "1.000000\t"};
    for (std::size_t k = 0; k < 3; ++k)
        EXPECT_EQ(lines[k + 1].substr(0, 9), biases[k]) << lines[k + 1];

    // At zero bias the depletion layer: C = sqrt(q Nd eps / (2 (Vbi - kT))), with the built-in
    // potential from the barrier down to the bulk conduction-band edge.
    const double eps = 12.9 * vacuumPermittivity;
    const double Nd = nLayerNd * 1e6;
    const double Vbi = 0.8 - kT * std::log(Nc / nLayerNd);
    const double depletion = std::sqrt(elementaryCharge * Nd * eps / (2 * (Vbi - kT))) * 1e-4; // F/cm^2
    const double C = std::strtod(lines[1].substr(9).c_str(), nullptr);
    EXPECT_NEAR(C / depletion, 1.0, 0.03) << lines[1];

    // The final solve runs at the user's barrier again.
    EXPECT_EQ(linesOf(readFile(bands))[1].substr(0, 18), "0.000000\t0.800000\t");
}

TEST_F(SolveTest, CvSweepWritesCvOutInTheCurrentDirectoryByDefault)
{
    const std::string structure = script(nLayer);
    const CliRun run = runCliIn(dir.path(""), {"solve", structure, "--materials", materials, "--left",
                                               "fixed:0.8", "--cv", "0:0.5:0.25"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = linesOf(readFile(dir.path("cv.out")));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[3].substr(0, 9), "0.500000\t");
}

TEST_F(SolveTest, CvSweepFromAboveItsStopWritesTheHeaderOnly)
{
    const std::string cv = dir.path("cv.txt");
    const CliRun run = solve(script(nLayer), {"--left", "fixed:0.8", "--cv", "1:0:0.5", "--cv-out", cv});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(cv), "V\tC\n");
}

TEST_F(SolveTest, SheetRangeIntegratesTheElectronsBetweenTwoGridPoints)
{
    // A depleted surface: n rises by orders of magnitude over the first points.
    const std::string structure = script(nLayer);
    const std::string bands = dir.path("bands.txt");
    const std::string status = dir.path("status.json");

    ASSERT_EQ(solve(structure, {"--left", "fixed:0.8", "--bands", bands, "--status-json", status}).status, 0);
    const Json first = Json::parse(readFile(status));
    EXPECT_EQ(first["chargeFirst"], 0);
    EXPECT_EQ(first["chargeLast"], 0);
    const double firstInterval = first["sheetCharge"].get<double>();
    EXPECT_NEAR(firstInterval / sheetDensity(bandPoints(readFile(bands)), 0, 0), 1.0, tolRelative);

    const CliRun run = solve(structure, {"--left", "fixed:0.8", "--sheet-range", "10:20", "--bands", bands,
                                         "--status-json", status});
    ASSERT_EQ(run.status, 0) << run.err;
    const Json ranged = Json::parse(readFile(status));
    EXPECT_EQ(ranged["chargeFirst"], 10);
    EXPECT_EQ(ranged["chargeLast"], 20);
    const double range = ranged["sheetCharge"].get<double>();
    EXPECT_NEAR(range / sheetDensity(bandPoints(readFile(bands)), 10, 20), 1.0, tolRelative);
    EXPECT_GT(range, 10 * firstInterval);
}

TEST_F(SolveTest, SheetRangeAfterTheEndStopsAtTheLastPoint)
{
    const std::string bands = dir.path("bands.txt");
    const std::string status = dir.path("status.json");
    const CliRun run =
        solve(script(nLayer), {"--sheet-range", "150:5000", "--bands", bands, "--status-json", status});
    ASSERT_EQ(run.status, 0) << run.err;
    const double sheet = Json::parse(readFile(status))["sheetCharge"].get<double>();
    EXPECT_NEAR(sheet / sheetDensity(bandPoints(readFile(bands)), 150, 198), 1.0, tolRelative);
}

TEST_F(SolveTest, SheetRangeWithFirstAboveLastIsEmpty)
{
    const CliRun run = solve(script(nLayer), {"--sheet-range", "20:10"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(" ns: 0.00e+00 cm-2\n"), std::string::npos) << run.out;
}

TEST_F(SolveTest, PartialIonizationLeavesSomeDonorsNeutral)
{
    // Neutral n-GaAs: n = Nd+ with Nd+ = Nd / (1 + 2 exp((Ef - Ed)/kT)), Ed 5.8 meV below Ec and
    // n = Nc exp((Ef - Ec)/kT); so n/Nd = y solves y (1 + g y) = 1 with g = 2 exp(0.0058/kT) Nd/Nc.
    const double g = 2 * std::exp(0.0058 / kT) * nLayerNd / Nc;
    const double y = (std::sqrt(1 + 4 * g) - 1) / (2 * g);

    const std::string full = dir.path("full.txt");
    const std::string partial = dir.path("partial.txt");
    ASSERT_EQ(solve(script(nLayer), {"--bands", full}).status, 0);
    ASSERT_EQ(solve(script(nLayer), {"--bands", partial, "--partial-ionization"}).status, 0);
    EXPECT_NEAR(bandPoints(readFile(full))[100].n / nLayerNd, 1.0, 1e-4);
    EXPECT_NEAR(bandPoints(readFile(partial))[100].n / nLayerNd, y, 1e-3);
}

// Iteration limits and damping, seen through the status line.
struct SolverSettingsCase {
    std::string name;
    Args options;
    int iterations;
};

void PrintTo(const SolverSettingsCase& value, std::ostream* stream)
{
    *stream << value.name;
}

class SolverSettings : public SolveTest, public testing::WithParamInterface<SolverSettingsCase> {};

TEST_P(SolverSettings, ShowInTheIterationCount)
{
    // The pn junction needs more than three full Newton steps.
    const CliRun run = solve(script(pnJunction), GetParam().options);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(iterationsOf(run.out), GetParam().iterations) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Options, SolverSettings,
    testing::Values(SolverSettingsCase{"ThreeSteps", {"--poisson-iterations", "3"}, 3},
                    SolverSettingsCase{"PlusSigns", {"--poisson-iterations", "+3", "--damping", "+1"}, 3},
                    // No update at all: the error never falls, so every allowed step runs.
                    SolverSettingsCase{"ZeroDamping", {"--damping", "0", "--poisson-iterations", "7"}, 7},
                    // Without --schroedinger the Schroedinger limit changes nothing.
                    SolverSettingsCase{"SchroedingerLimitAlone",
                                       {"--poisson-iterations", "3", "--schroedinger-iterations", "0"},
                                       3}),
    [](const testing::TestParamInfo<SolverSettingsCase>& info) { return info.param.name; });

TEST_F(SolveTest, NoPoissonStepLeavesTheStartingError)
{
    const CliRun run = solve(script(pnJunction), {"--poisson-iterations", "0"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, 48), "Solver error: 5.00000e+02 iterations: 0 bound st");
}

TEST_F(SolveTest, DampingSlowsTheConvergence)
{
    const std::string structure = script(pnJunction);
    const int fullStep = iterationsOf(solve(structure, {}).out);
    const int halfStep = iterationsOf(solve(structure, {"--damping", "0.5"}).out);
    EXPECT_GT(fullStep, 3);
    EXPECT_GT(halfStep, fullStep);
}

// The Schroedinger options are wired through; their numbers belong to the solver's own tests.
class SchroedingerOptions : public SolveTest, public testing::WithParamInterface<Args> {};

TEST_P(SchroedingerOptions, RunToTheEnd)
{
    const std::string bands = dir.path("bands.txt");
    Args options = GetParam();
    options.insert(options.end(), {"--left", "fixed:0.8", "--bands", bands});
    const CliRun run = solve(script(nLayer), options);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::regex_match(run.out, statusLine)) << run.out;
    EXPECT_EQ(linesOf(readFile(bands)).size(), 201u);
}

INSTANTIATE_TEST_SUITE_P(Switches, SchroedingerOptions,
                         testing::Values(Args{"--schroedinger"}, Args{"--schroedinger", "--valence"},
                                         Args{"--schroedinger", "--eigensolver", "dense"},
                                         Args{"--schroedinger", "--eigensolver", "tridiagonal"},
                                         Args{"--schroedinger", "--schroedinger-iterations", "0"},
                                         Args{"--eigensolver", "dense"}));

TEST_F(SolveTest, EigenstateFilesGoToTheDumpDirectory)
{
    std::filesystem::create_directory(dir.path("work"));
    std::filesystem::create_directory(dir.path("states"));
    const CliRun run =
        runCliIn(dir.path("work"), {"solve", script(nLayer), "--materials", materials, "--left", "fixed:0.8",
                                    "--schroedinger", "--dump-dir", dir.path("states")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir.path("work/qstates.dat")));
    // A build without the solver says so and keeps the classical result; with it, the files are there.
    const bool solverMissing =
        run.err.find("The Schroedinger solver is not available in this build") != std::string::npos;
    EXPECT_TRUE(solverMissing || std::filesystem::exists(dir.path("states/qstates.dat"))) << run.err;
}

// Runs that stop on a message: exit status 1, the message on standard error, no status line.
struct FailureCase {
    std::string name;
    std::string structure; // script text
    Args options;          // "@" in an option stands for the test's folder
    std::string errContains;
};

void PrintTo(const FailureCase& value, std::ostream* stream)
{
    *stream << value.name;
}

class Failures : public SolveTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(Failures, StopWithStatus1AndSayWhy)
{
    const FailureCase& param = GetParam();
    Args options;
    for (std::string option : param.options) {
        if (const std::size_t at = option.find('@'); at != std::string::npos)
            option.replace(at, 1, dir.path(""));
        options.push_back(option);
    }
    const std::string status = dir.path("status.json");
    options.insert(options.end(), {"--status-json", status});
    const CliRun run = solve(script(param.structure), options);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(param.errContains), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("Solver error:"), std::string::npos) << run.out;
    EXPECT_FALSE(std::filesystem::exists(status));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Failures,
    testing::Values(
        FailureCase{"UnknownSubstrate", nLayer, {"--substrate", "InP:0.5"}, "\"InP\""},
        FailureCase{"SubstrateNameIsCaseSensitive", nLayer, {"--substrate", "gan"}, "\"gan\""},
        FailureCase{"MissingMaterial",
                    "GaAs t=100\nInP t=100\n",
                    {"--bands", "@bands.txt"},
                    "Material not found!\nLayer 001 names the material \"InP\""},
        FailureCase{"BandsFolderMissing", nLayer, {"--bands", "@missing/bands.txt"}, "band profile"},
        FailureCase{
            "ChargesFolderMissing", nLayer, {"--charges", "@missing/charges.txt"}, "Could not open file\n"},
        FailureCase{"CvFolderMissing",
                    nLayer,
                    {"--cv", "0:1:0.5", "--cv-out", "@missing/cv.txt"},
                    "Can't open output CV file.\n"}),
    [](const testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST_F(SolveTest, MissingMaterialWritesNoExport)
{
    const std::string bands = dir.write("bands.txt", "kept\n");
    const CliRun run = solve(script("GaAs t=100\nInP t=100\n"), {"--bands", bands});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(readFile(bands), "kept\n");
}

TEST_F(SolveTest, UnreadableInputsStopWithStatus1)
{
    const CliRun noMaterials = runCli({"solve", script(nLayer), "--materials", dir.path("none.bin")});
    EXPECT_EQ(noMaterials.status, 1);
    EXPECT_NE(noMaterials.err.find("none.bin"), std::string::npos) << noMaterials.err;
    EXPECT_EQ(noMaterials.out, "");

    const CliRun noStructure = solve(dir.path("none.txt"), {});
    EXPECT_EQ(noStructure.status, 1);
    EXPECT_NE(noStructure.err.find("none.txt"), std::string::npos) << noStructure.err;
    EXPECT_EQ(noStructure.out, "");
}

TEST_F(SolveTest, StatusFileThatCannotBeWrittenFailsAfterTheStatusLine)
{
    const CliRun run = solve(script(nLayer), {"--status-json", dir.path("missing/status.json")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(std::regex_match(run.out, statusLine)) << run.out;
    EXPECT_NE(run.err.find("status.json"), std::string::npos) << run.err;
}

// Command lines that are wrong in themselves: exit status 2, a reason on standard error, nothing
// on standard output and no file touched.
class UsageErrors : public SolveTest, public testing::WithParamInterface<Args> {};

TEST_P(UsageErrors, ExitWith2AndTouchNothing)
{
    const std::string bands = dir.write("bands.txt", "kept\n");
    const std::string status = dir.path("status.json");
    Args arguments{"solve", script(nLayer)};
    for (const std::string& argument : GetParam())
        arguments.push_back(argument == "MATERIALS" ? materials : argument);
    arguments.insert(arguments.end(), {"--bands", bands, "--status-json", status});
    const CliRun run = runCliIn(dir.path(""), arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err, "");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(readFile(bands), "kept\n");
    EXPECT_FALSE(std::filesystem::exists(status));
    EXPECT_FALSE(std::filesystem::exists(dir.path("cv.out")));
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, UsageErrors,
    testing::Values(Args{"--materials"}, // --materials without its FILE
                    Args{"--materials", "MATERIALS", "--valence"},
                    Args{"--materials", "MATERIALS", "--damping", "nan"},
                    Args{"--materials", "MATERIALS", "--damping", "inf"},
                    Args{"--materials", "MATERIALS", "--damping", "abc"},
                    Args{"--materials", "MATERIALS", "--damping", "0.5x"},
                    Args{"--materials", "MATERIALS", "--damping", "1.5"},
                    Args{"--materials", "MATERIALS", "--damping", "-0.1"},
                    Args{"--materials", "MATERIALS", "--damping", ""},
                    Args{"--materials", "MATERIALS", "--poisson-iterations", "-1"},
                    Args{"--materials", "MATERIALS", "--poisson-iterations", "2.5"},
                    Args{"--materials", "MATERIALS", "--poisson-iterations", "99999999999"},
                    Args{"--materials", "MATERIALS", "--schroedinger-iterations", "-3"},
                    Args{"--materials", "MATERIALS", "--left", "fixed:nan"},
                    Args{"--materials", "MATERIALS", "--left", "fixed"},
                    Args{"--materials", "MATERIALS", "--left", "fixed:"},
                    Args{"--materials", "MATERIALS", "--left", "open"},
                    Args{"--materials", "MATERIALS", "--left", "Neutral"},
                    Args{"--materials", "MATERIALS", "--right", "fixed:1e999"},
                    Args{"--materials", "MATERIALS", "--substrate", "GaN:nan"},
                    Args{"--materials", "MATERIALS", "--substrate", "GaN:"},
                    Args{"--materials", "MATERIALS", "--substrate", "GaN:0.2x"},
                    Args{"--materials", "MATERIALS", "--substrate", ":0.2"},
                    Args{"--materials", "MATERIALS", "--cv", "0:1"},
                    Args{"--materials", "MATERIALS", "--cv", "0:1:0"},
                    Args{"--materials", "MATERIALS", "--cv", "0:1:-0.5"},
                    Args{"--materials", "MATERIALS", "--cv", "1:0:-0.5"},
                    Args{"--materials", "MATERIALS", "--cv", "0:inf:0.5"},
                    Args{"--materials", "MATERIALS", "--cv", "a:b:c"},
                    Args{"--materials", "MATERIALS", "--cv", "0:1:0.5:2"},
                    // Sweeps that would not end in reasonable time, or at all: refused before the solve.
                    Args{"--materials", "MATERIALS", "--cv", "0:1:1e-9"},
                    Args{"--materials", "MATERIALS", "--cv", "1e20:1e20:1"},
                    Args{"--materials", "MATERIALS", "--sheet-range", "10"},
                    Args{"--materials", "MATERIALS", "--sheet-range", "10:nan"},
                    Args{"--materials", "MATERIALS", "--sheet-range", "1.5:3"},
                    Args{"--materials", "MATERIALS", "--sheet-range", "-1:3"},
                    Args{"--materials", "MATERIALS", "--eigensolver", "lanczos"},
                    Args{"--materials", "MATERIALS", "--cv-out", "cv.txt"},
                    Args{"--materials", "MATERIALS", "--dump-dir", "no-such-folder"},
                    Args{"--materials", "MATERIALS", "--damping", "0.5", "--damping", "0.6"},
                    Args{"--materials", "MATERIALS", "--document", "--script"},
                    Args{"--materials", "MATERIALS", "extra.txt"}));

TEST(SolveHelp, NamesItsOptionsAndTheIterationLimitRule)
{
    const CliRun run = runCli({"solve", "--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    for (const char* word : {"STRUCTURE",
                             "--materials",
                             "--schroedinger",
                             "--valence",
                             "--no-polarization",
                             "--partial-ionization",
                             "--substrate",
                             "--left",
                             "--right",
                             "--damping",
                             "--poisson-iterations",
                             "--schroedinger-iterations",
                             "--eigensolver",
                             "--sheet-range",
                             "--bands",
                             "--charges",
                             "--cv",
                             "--cv-out",
                             "--dump-dir",
                             "--status-json",
                             "0 runs none, a negative limit is refused",
                             "Exit status"})
        EXPECT_NE(run.out.find(word), std::string::npos) << word;
    EXPECT_NE(runCli({"--help"}).out.find("solve"), std::string::npos);
}

} // namespace
} // namespace tervane::test
