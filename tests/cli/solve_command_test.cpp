// tervane-cli solve: the status line, the exports, the C-V sweep, the settings options and the refusals
// of bad command lines, on the shared GaN, AlGaN and GaAs materials and small structures.

#include <gtest/gtest.h>

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
constexpr double tolCharge = 5e-6;   // C/m^2; "%.3e" keeps three decimals of the mantissa
constexpr double kT = 0.026;         // eV at 300 K with kB = 8.666666666666667e-5 eV/K
constexpr double Nc = 2.07e18;       // conduction-band density of states, cm^-3
constexpr double elementaryCharge = 1.6e-19;
constexpr double vacuumPermittivity = 8.85e-12;

// p-GaAs then n-GaAs, 1000 Angstrom each at 10 Angstrom spacing: 100 + 100 grid points.
constexpr const char* pnJunction = "GaAs t=1000 dx=10 Na=1e17\n"
                                   "GaAs t=1000 dx=10 Nd=1e17\n";

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

// The lines of a charge export as (position m, charge C/m^2) pairs.
std::vector<std::pair<double, double>> charges(const std::string& text)
{
    std::vector<std::pair<double, double>> rows;
    for (const std::string& text : linesOf(text)) {
        std::istringstream line(text);
        std::pair<double, double> row{-1, 0};
        line >> row.first >> row.second;
        rows.push_back(row);
    }
    return rows;
}

const std::regex
    statusLine(R"(Solver error: (-?[0-9]\.[0-9]{5}e[+-][0-9]{2}|-?nan|-?inf) iterations: (-?[0-9]+) )"
               R"(bound states: ([0-9]+) ns: (-?[0-9]\.[0-9]{2}e[+-][0-9]{2}) cm-2\n)");

int iterationsOf(const std::string& out)
{
    std::smatch match;
    return std::regex_match(out, match, statusLine) ? std::stoi(match[2].str()) : -1;
}

// A folder with the materials file, the structure script and the usual output paths.
class SolveTest : public testing::Test {
  protected:
    TempDir dir;
    std::string materials = dir.write("materials.bin", materialsFile({GaN, AlGaN, GaAs}));
    std::string bands = dir.path("bands.txt");
    std::string status = dir.path("status.json");

    CliRun solve(const std::string& structure, const Args& options) const
    {
        Args arguments{"solve", structure, "--materials", materials};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return runCli(arguments);
    }
    std::string script(const std::string& text) const { return dir.write("structure.txt", text); }
    Json statusJson() const { return Json::parse(readFile(status)); }
};

TEST_F(SolveTest, PnJunctionPrintsTheStatusWritesEveryKeyAndOneBandLinePerGridPoint)
{
    const std::string bogus = "GaAs t=1000 dx=10 Nd=1e17 bogus=1\n";
    const CliRun run = solve(script(std::string("GaAs t=1000 dx=10 Na=1e17\n") + bogus),
                             {"--bands", bands, "--status-json", status});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "Unknown command in line #2: " + bogus);
    EXPECT_TRUE(std::regex_match(run.out, statusLine)) << run.out;
    EXPECT_GT(iterationsOf(run.out), 0);

    const Json json = statusJson();
    for (const char* key : {"count", "iterations", "boundStates", "chargeFirst", "chargeLast"})
        EXPECT_TRUE(json[key].is_number_integer()) << key;
    for (const char* key : {"solverError", "sheetCharge", "substrateA", "substratePsp"})
        EXPECT_TRUE(json[key].is_number()) << key;
    EXPECT_EQ(json.size(), 10u);
    EXPECT_EQ(json["count"], 200);
    EXPECT_EQ(json["iterations"], iterationsOf(run.out));
    EXPECT_EQ(json["boundStates"], 0);
    EXPECT_EQ(json["chargeFirst"], 0);
    EXPECT_EQ(json["chargeLast"], 0);
    // The new document's substrate: GaN at x = 0.
    EXPECT_EQ(json["substrateA"], 3.189);
    EXPECT_EQ(json["substratePsp"], -0.029);
    EXPECT_EQ(json["messages"], Json::array({"Unknown command in line #2: " + bogus}));

    const std::vector<std::string> lines = linesOf(readFile(bands));
    ASSERT_EQ(lines.size(), 201u);
    EXPECT_EQ(lines[0], "x\tEc\tEv\tEf\tn\tp");
    // Neutral contacts: the p side starts with p = Na, the n side ends with n = Nd, and there Ec lies
    // kT ln(Nc/Nd) above the Fermi level at 0 eV.
    const std::vector<BandPoint> points = bandPoints(readFile(bands));
    EXPECT_NEAR(points.front().p / 1e17, 1.0, 1e-4);
    EXPECT_NEAR(points.back().n / 1e17, 1.0, 1e-4);
    EXPECT_NEAR(points.back().Ec, kT * std::log(Nc / 1e17), tolNeutral);
    EXPECT_NEAR(points.back().x, 1990.0, tolEnergy);
}

TEST_F(SolveTest, SubstrateValuesReadBackAsTheSameDoublesAndMatchTheStatusLine)
{
    // a and Psp at the given x; one product and one sum, so the double is known exactly. No x: x = 0.
    const struct {
        const char* substrate;
        double a, Psp;
    } rows[] = {{"AlGaN:0.3", -0.077 * 0.3 + 3.189, -0.052 * 0.3 + -0.029}, {"GaAs", 5.65325, 0.0}};
    for (const auto& row : rows) {
        const CliRun run = solve(script(pnJunction), {"--substrate", row.substrate, "--status-json", status});
        ASSERT_EQ(run.status, 0) << run.err;
        const Json json = statusJson();
        EXPECT_EQ(json["substrateA"].get<double>(), row.a) << row.substrate;
        EXPECT_EQ(json["substratePsp"].get<double>(), row.Psp) << row.substrate;
        std::smatch match;
        ASSERT_TRUE(std::regex_match(run.out, match, statusLine));
        const double error = json["solverError"].get<double>();
        const double sheet = json["sheetCharge"].get<double>();
        EXPECT_NEAR(std::stod(match[1].str()), error, std::abs(error) * 1e-5);
        EXPECT_NEAR(std::stod(match[4].str()), sheet, std::abs(sheet) * 1e-2);
    }
}

// Substrate laws that leave the range of doubles, and how the status file writes them.
struct NonFiniteCase {
    std::string name;
    Law a, Psp;
    Json substrateA, substratePsp;
};

void PrintTo(const NonFiniteCase& value, std::ostream* stream)
{
    *stream << value.name;
}

class NonFiniteStatus : public SolveTest, public testing::WithParamInterface<NonFiniteCase> {};

TEST_P(NonFiniteStatus, IsWrittenAsAString)
{
    const NonFiniteCase& param = GetParam();
    const std::string odd =
        dir.write("odd.bin", materialsFile({{.name = "Odd", .a = param.a, .Psp = param.Psp}}));
    // No layers: nothing to solve, only the substrate values to report.
    const CliRun run = runCli(
        {"solve", script(""), "--materials", odd, "--substrate", "Odd:1e200", "--status-json", status});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Solver error: 0.00000e+00 iterations: 0 bound states: 0 ns: 0.00e+00 cm-2\n");
    const Json json = statusJson();
    EXPECT_EQ(json["substrateA"], param.substrateA);
    EXPECT_EQ(json["substratePsp"], param.substratePsp);
    EXPECT_EQ(json["count"], 0);
}

INSTANTIATE_TEST_SUITE_P(
    Laws, NonFiniteStatus,
    testing::Values(
        NonFiniteCase{"NanAndInf", {std::numeric_limits<double>::quiet_NaN(), 0, 0}, {0, 0, 1}, "nan", "inf"},
        NonFiniteCase{"MinusInfAndNumber", {0, 0, -1}, {-1.5, 0, 0}, "-inf", -1.5}),
    [](const testing::TestParamInfo<NonFiniteCase>& info) { return info.param.name; });

// Contact options against the structure's own contact: the Ec of the first and the last grid point.
// A Fixed contact pins Ec at its barrier; a Neutral one leaves Ec kT ln(Nc/Nd) above the Fermi level.
const double neutralEc = kT * std::log(Nc / nLayerNd);

struct ContactCase {
    std::string name;
    int documentContact; // -1: a script (Neutral, 0 eV); 0 or 1: a document file with a 0.8 eV barrier
    Args options;
    double firstEc, lastEc;
};

void PrintTo(const ContactCase& value, std::ostream* stream)
{
    *stream << value.name;
}

class Contacts : public SolveTest, public testing::WithParamInterface<ContactCase> {};

TEST_P(Contacts, SetTheBandEdgeAtTheContactPoints)
{
    const ContactCase& param = GetParam();
    std::string structure = script(nLayer);
    if (param.documentContact >= 0) {
        StoredLayer layer{.material = "GaAs", .thickness = 2e-7, .dx = 1e-9, .Nd = nLayerNd * 1e6};
        structure = dir.write("structure.tvd", documentVersion2({layer}, param.documentContact, 0.8));
    }
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

TEST_F(SolveTest, ChargeExportListsEachLayerEdgeAndIsEmptyWithoutPolarization)
{
    const std::string structure = script("GaN t=100 dx=5\nAlGaN x=0.3 t=200 dx=5\nGaN t=50 dx=5\n");
    const std::string with = dir.path("with.txt");
    const std::string without = dir.path("without.txt");
    ASSERT_EQ(solve(structure, {"--charges", with}).status, 0);
    ASSERT_EQ(solve(structure, {"--charges", without, "--no-polarization"}).status, 0);
    const double step = alGaNStepOnGaN(0.3);
    const std::vector<std::pair<double, double>> expected{{0.0, 0.0}, {1e-8, step}, {3e-8, -step}};
    const auto rows = charges(readFile(with));
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t k = 0; k < rows.size(); ++k) {
        EXPECT_NEAR(rows[k].first, expected[k].first, 5e-12) << k;
        EXPECT_NEAR(rows[k].second, expected[k].second, tolCharge) << k;
    }
    EXPECT_EQ(readFile(without), "");
}

TEST_F(SolveTest, SubstrateMovesTheReferenceOfThePolarization)
{
    // GaN on an AlGaN substrate: the spontaneous step and GaN's (compressive) piezo term.
    const std::string chargesFile = dir.path("charges.txt");
    ASSERT_EQ(
        solve(script("GaN t=100 dx=5\n"), {"--substrate", "AlGaN:0.3", "--charges", chargesFile}).status, 0);
    const double strain = (3.189 - 0.077 * 0.3 - 3.189) / 3.189;
    const double piezo = 2 * strain * (-0.49 - 0.73 * 103 / 405);
    const auto rows = charges(readFile(chargesFile));
    ASSERT_FALSE(rows.empty());
    EXPECT_NEAR(rows[0].second, (-0.029 - (-0.029 - 0.052 * 0.3)) + piezo, tolCharge);
}

TEST_F(SolveTest, CvSweepWritesOneLinePerBiasAndRestoresTheBarrier)
{
    // A Schottky contact (Fixed, 0.8 eV) on n-GaAs, stored in a document file.
    StoredLayer layer{.material = "GaAs", .thickness = 2e-7, .dx = 1e-9, .Nd = nLayerNd * 1e6};
    const std::string structure = dir.write("schottky.tvd", documentVersion2({layer}, 1, 0.8));
    const std::string cv = dir.path("cv.txt");
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
    const double Vbi = 0.8 - kT * std::log(Nc / nLayerNd);
    const double depletion = std::sqrt(elementaryCharge * nLayerNd * 1e6 * eps / (2 * (Vbi - kT))) * 1e-4;
    EXPECT_NEAR(std::strtod(lines[1].substr(9).c_str(), nullptr) / depletion, 1.0, 0.03) << lines[1];
    // The final solve runs at the user's barrier again.
    EXPECT_EQ(linesOf(readFile(bands))[1].substr(0, 18), "0.000000\t0.800000\t");
}

TEST_F(SolveTest, CvSweepDefaultsToCvOutHereAndFromAboveItsStopWritesTheHeaderOnly)
{
    const Args common{"solve", script(nLayer), "--materials", materials, "--left", "fixed:0.8", "--cv"};
    Args here = common;
    here.push_back("0:0.5:0.25");
    ASSERT_EQ(runCliIn(dir.path(""), here).status, 0);
    const std::vector<std::string> lines = linesOf(readFile(dir.path("cv.out")));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[3].substr(0, 9), "0.500000\t");

    Args downward = common;
    downward.insert(downward.end(), {"1:0:0.5", "--cv-out", dir.path("cv.txt")});
    ASSERT_EQ(runCli(downward).status, 0);
    EXPECT_EQ(readFile(dir.path("cv.txt")), "V\tC\n");
}

TEST_F(SolveTest, SheetRangeIntegratesTheElectronsBetweenTwoGridPoints)
{
    // A depleted surface: n rises by orders of magnitude over the first points. Ranges past the end
    // stop at the last interval; a range with first above last is empty.
    const struct {
        const char* range; // nullptr: the default, the first interval
        int first, last;
    } rows[] = {{nullptr, 0, 0}, {"10:20", 10, 20}, {"150:5000", 150, 198}, {"20:10", 1, 0}};
    const std::string structure = script(nLayer);
    double firstInterval = 0;
    for (const auto& row : rows) {
        Args options{"--left", "fixed:0.8", "--bands", bands, "--status-json", status};
        if (row.range)
            options.insert(options.end(), {"--sheet-range", row.range});
        const CliRun run = solve(structure, options);
        ASSERT_EQ(run.status, 0) << run.err;
        const double sheet = statusJson()["sheetCharge"].get<double>();
        if (row.first > row.last) {
            EXPECT_NE(run.out.find(" ns: 0.00e+00 cm-2\n"), std::string::npos) << run.out;
            continue;
        }
        EXPECT_NEAR(sheet / sheetDensity(bandPoints(readFile(bands)), row.first, row.last), 1.0, tolRelative)
            << (row.range ? row.range : "default");
        if (!row.range)
            firstInterval = sheet;
        if (row.first == 10) {
            EXPECT_EQ(statusJson()["chargeFirst"], 10);
            EXPECT_EQ(statusJson()["chargeLast"], 20);
            EXPECT_GT(sheet, 10 * firstInterval);
        }
    }
}

TEST_F(SolveTest, PartialIonizationLeavesSomeDonorsNeutral)
{
    // Neutral n-GaAs: n = Nd+ with Nd+ = Nd / (1 + 2 exp((Ef - Ed)/kT)), Ed 5.8 meV below Ec and
    // n = Nc exp((Ef - Ec)/kT); so n/Nd = y solves y (1 + g y) = 1 with g = 2 exp(0.0058/kT) Nd/Nc.
    const double g = 2 * std::exp(0.0058 / kT) * nLayerNd / Nc;
    const double y = (std::sqrt(1 + 4 * g) - 1) / (2 * g);
    const std::string partial = dir.path("partial.txt");
    ASSERT_EQ(solve(script(nLayer), {"--bands", bands}).status, 0);
    ASSERT_EQ(solve(script(nLayer), {"--bands", partial, "--partial-ionization"}).status, 0);
    EXPECT_NEAR(bandPoints(readFile(bands))[100].n / nLayerNd, 1.0, 1e-4);
    EXPECT_NEAR(bandPoints(readFile(partial))[100].n / nLayerNd, y, 1e-3);
}

// Iteration limits and damping, seen through the status line; the pn junction needs more than three
// full Newton steps.
struct SolverSettingsCase {
    std::string name;
    Args options;
    int iterations;
    std::string outStart; // the status line's start when it is known exactly
};

void PrintTo(const SolverSettingsCase& value, std::ostream* stream)
{
    *stream << value.name;
}

class SolverSettings : public SolveTest, public testing::WithParamInterface<SolverSettingsCase> {};

TEST_P(SolverSettings, ShowInTheIterationCount)
{
    const CliRun run = solve(script(pnJunction), GetParam().options);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(iterationsOf(run.out), GetParam().iterations) << run.out;
    EXPECT_EQ(run.out.substr(0, GetParam().outStart.size()), GetParam().outStart);
}

INSTANTIATE_TEST_SUITE_P(
    Options, SolverSettings,
    testing::Values(SolverSettingsCase{"ThreeSteps", {"--poisson-iterations", "3"}, 3, ""},
                    SolverSettingsCase{"PlusSigns", {"--poisson-iterations", "+3", "--damping", "+1"}, 3, ""},
                    // No step leaves the starting error.
                    SolverSettingsCase{
                        "NoStep", {"--poisson-iterations", "0"}, 0, "Solver error: 5.00000e+02 "},
                    // No update at all: the error never falls, so every allowed step runs.
                    SolverSettingsCase{"ZeroDamping", {"--damping", "0", "--poisson-iterations", "7"}, 7, ""},
                    // Without --schroedinger the Schroedinger limit changes nothing.
                    SolverSettingsCase{"SchroedingerLimitAlone",
                                       {"--poisson-iterations", "3", "--schroedinger-iterations", "0"},
                                       3,
                                       ""}),
    [](const testing::TestParamInfo<SolverSettingsCase>& info) { return info.param.name; });

TEST_F(SolveTest, DampingSlowsTheConvergence)
{
    const std::string structure = script(pnJunction);
    const int fullStep = iterationsOf(solve(structure, {}).out);
    EXPECT_GT(fullStep, 3);
    EXPECT_GT(iterationsOf(solve(structure, {"--damping", "0.5"}).out), fullStep);
}

TEST_F(SolveTest, SchroedingerOptionsRunToTheEnd)
{
    // Wired through only; their numbers belong to the solver's own tests.
    for (const Args& switches :
         {Args{"--schroedinger", "--valence"}, Args{"--schroedinger", "--eigensolver", "dense"},
          Args{"--schroedinger", "--eigensolver", "tridiagonal"},
          Args{"--schroedinger", "--schroedinger-iterations", "0"}}) {
        Args options = switches;
        options.insert(options.end(), {"--left", "fixed:0.8", "--bands", bands});
        const CliRun run = solve(script(nLayer), options);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(std::regex_match(run.out, statusLine)) << run.out;
        EXPECT_EQ(linesOf(readFile(bands)).size(), 201u);
    }
}

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

TEST_F(SolveTest, StatusFileThatCannotBeWrittenFailsAfterTheStatusLine)
{
    const CliRun run = solve(script(nLayer), {"--status-json", dir.path("missing/status.json")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(std::regex_match(run.out, statusLine)) << run.out;
    EXPECT_NE(run.err.find("status.json"), std::string::npos) << run.err;
}

} // namespace
} // namespace tervane::test
