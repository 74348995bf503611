// tervane-cli solve: the status line, the exports, the C-V sweep, the settings options and the refusals
// of bad command lines, on the shared GaN, AlGaN and GaAs materials and small structures.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli_test_support.h"

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
    std::string materials = dir.write("materials.tvm", encodeMaterials({GaN, AlGaN, GaAs}));
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

    const Json json = statusJson();
    EXPECT_EQ(json.size(), 10u);
    EXPECT_EQ(json["count"], 200);
    EXPECT_EQ(json["iterations"], iterationsOf(run.out));
    std::smatch match;
    ASSERT_TRUE(std::regex_match(run.out, match, statusLine));
    const double error = json["solverError"].get<double>(), sheet = json["sheetCharge"].get<double>();
    EXPECT_NEAR(std::stod(match[1].str()), error, std::abs(error) * 1e-5);
    EXPECT_NEAR(std::stod(match[4].str()), sheet, std::abs(sheet) * 1e-2);
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

// The substrate's a and Psp at its x (one product and one sum, so the doubles are known exactly), and laws
// that leave the range of doubles, written as strings. No layers: only the substrate values to report.
TEST_F(SolveTest, SubstrateValuesGoToTheStatusFileAndNonFiniteOnesAsStrings)
{
    Material notANumber, minusInfinity;
    notANumber.name = "NotANumber";
    notANumber.polarization.a = Quadratic(std::numeric_limits<double>::quiet_NaN(), 0, 0);
    notANumber.polarization.Psp = Quadratic(0, 0, 1);
    minusInfinity.name = "MinusInfinity";
    minusInfinity.polarization.a = Quadratic(0, 0, -1);
    minusInfinity.polarization.Psp = Quadratic(-1.5, 0, 0);
    const std::string odd = dir.write("odd.tvm", encodeMaterials({AlGaN, notANumber, minusInfinity}));
    const struct {
        const char* substrate;
        Json a, Psp;
    } rows[] = {{"AlGaN:0.3", -0.077 * 0.3 + 3.189, -0.052 * 0.3 + -0.029},
                {"NotANumber:1e200", "nan", "inf"},
                {"MinusInfinity:1e200", "-inf", -1.5}};
    for (const auto& row : rows) {
        const CliRun run = runCli(
            {"solve", script(""), "--materials", odd, "--substrate", row.substrate, "--status-json", status});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, "Solver error: 0.00000e+00 iterations: 0 bound states: 0 ns: 0.00e+00 cm-2\n");
        EXPECT_EQ(statusJson()["substrateA"], row.a) << row.substrate;
        EXPECT_EQ(statusJson()["substratePsp"], row.Psp) << row.substrate;
    }
}

// Contact options against the structure's own contact: the Ec of the first and the last grid point.
// A Fixed contact pins Ec at its barrier; a Neutral one leaves Ec kT ln(Nc/Nd) above the Fermi level.
const double neutralEc = kT * std::log(Nc / nLayerNd);

// documentContact -1 is a script (Neutral, 0 eV); 0 or 1 a document file with a 0.8 eV barrier.
TEST_F(SolveTest, ContactOptionsSetTheBandEdgeAtTheContactPoints)
{
    const struct {
        int documentContact;
        Args options;
        double firstEc, lastEc;
    } rows[] = {{-1, {}, neutralEc, neutralEc},
                {-1, {"--left", "fixed:0.7", "--right", "fixed:0.2"}, 0.7, 0.2},
                {1, {}, 0.8, neutralEc},
                {1, {"--left", "neutral"}, neutralEc, neutralEc},
                {0, {"--left", "fixed:-0.25"}, -0.25, neutralEc}};
    for (const auto& row : rows) {
        std::string structure = script(nLayer);
        if (row.documentContact >= 0)
            structure = dir.write("structure.tvd", encodeDocument({layerOf("GaAs", 2e-7, nLayerNd * 1e6)}, static_cast<ContactKind>(row.documentContact), 0.8));
        Args options = row.options;
        options.insert(options.end(), {"--bands", bands});
        const CliRun run = solve(structure, options);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::vector<BandPoint> points = bandPoints(readFile(bands));
        ASSERT_EQ(points.size(), 200u);
        EXPECT_NEAR(points.front().Ec, row.firstEc, row.firstEc == neutralEc ? tolNeutral : tolEnergy);
        EXPECT_NEAR(points.back().Ec, row.lastEc, row.lastEc == neutralEc ? tolNeutral : tolEnergy);
    }
}

// One line per layer edge: the polarization step where AlGaN meets GaN, and its opposite; none without
// polarization. Their values belong to the export's own tests.
TEST_F(SolveTest, ChargeExportListsEachLayerEdgeAndIsEmptyWithoutPolarization)
{
    const std::string structure = script("GaN t=100 dx=5\nAlGaN x=0.3 t=200 dx=5\nGaN t=50 dx=5\n");
    const std::string with = dir.path("with.txt"), without = dir.path("without.txt");
    ASSERT_EQ(solve(structure, {"--charges", with}).status, 0);
    ASSERT_EQ(solve(structure, {"--charges", without, "--no-polarization"}).status, 0);
    const auto rows = charges(readFile(with));
    ASSERT_EQ(rows.size(), 3u);
    const double positions[] = {0.0, 1e-8, 3e-8}; // m
    for (std::size_t k = 0; k < rows.size(); ++k)
        EXPECT_NEAR(rows[k].first, positions[k], 5e-12) << k;
    EXPECT_NEAR(rows[0].second, 0.0, tolCharge);
    EXPECT_GT(std::abs(rows[1].second), 100 * tolCharge);
    EXPECT_NEAR(rows[2].second, -rows[1].second, tolCharge);
    EXPECT_EQ(readFile(without), "");
}

// A Schottky contact (Fixed, 0.8 eV) on n-GaAs, stored in a document file: one line per bias, and the
// final solve at the user's barrier again; without --cv-out the lines go to cv.out in the current
// folder. The capacitances belong to the sweep's own tests.
TEST_F(SolveTest, CvSweepWritesOneLinePerBiasAndRestoresTheBarrier)
{
    const std::string structure =
        dir.write("schottky.tvd", encodeDocument({layerOf("GaAs", 2e-7, nLayerNd * 1e6)}, ContactKind::Fixed, 0.8));
    const CliRun run = runCli(
        {"solve", structure, "--materials", materials, "--cv", "0:1:0.5", "--bands", bands}, dir.path(""));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::regex_match(run.out, statusLine)) << run.out;
    const std::vector<std::string> lines = linesOf(readFile(dir.path("cv.out")));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "V\tC");
    const char* biases[] = {"0.000000\t", "0.500000\t", "1.000000\t"};
    for (std::size_t k = 0; k < 3; ++k)
        EXPECT_EQ(lines[k + 1].substr(0, 9), biases[k]) << lines[k + 1];
    EXPECT_EQ(linesOf(readFile(bands))[1].substr(0, 18), "0.000000\t0.800000\t");
}

// The status file names the range; the sheet density is the trapezoid of the exported densities.
TEST_F(SolveTest, SheetRangeIntegratesTheElectronsBetweenTwoGridPoints)
{
    ASSERT_EQ(solve(script(nLayer), {"--left", "fixed:0.8", "--bands", bands, "--status-json", status,
                                     "--sheet-range", "10:20"})
                  .status,
              0);
    const double expected = sheetDensity(bandPoints(readFile(bands)), 10, 20);
    EXPECT_NEAR(statusJson()["sheetCharge"].get<double>(), expected, expected * tolRelative);
    EXPECT_EQ(statusJson()["chargeFirst"], 10);
    EXPECT_EQ(statusJson()["chargeLast"], 20);
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
// full Newton steps, and more again when damped.
TEST_F(SolveTest, SolverSettingsShowInTheIterationCount)
{
    const struct {
        Args options;
        int iterations;
        std::string outStart; // the status line's start when it is known exactly
    } rows[] = {{{"--poisson-iterations", "+3", "--damping", "+1"}, 3, ""},
                {{"--poisson-iterations", "0"}, 0, "Solver error: 5.00000e+02 "}, // the starting error
                // No update at all: the error never falls, so every allowed step runs.
                {{"--damping", "0", "--poisson-iterations", "7"}, 7, ""}};
    const std::string structure = script(pnJunction);
    for (const auto& row : rows) {
        const CliRun run = solve(structure, row.options);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(iterationsOf(run.out), row.iterations) << run.out;
        EXPECT_TRUE(run.out.starts_with(row.outStart)) << run.out;
    }
    const int fullStep = iterationsOf(solve(structure, {}).out);
    EXPECT_GT(fullStep, 3);
    EXPECT_GT(iterationsOf(solve(structure, {"--damping", "0.5"}).out), fullStep);
}

// Wired through only; their numbers belong to the solver's own tests. The eigenstate files go to the
// dump folder, not the current one; a build without the solver says so and keeps the classical result.
TEST_F(SolveTest, SchroedingerOptionsRunToTheEndAndDumpTheStates)
{
    std::filesystem::create_directory(dir.path("work"));
    std::filesystem::create_directory(dir.path("states"));
    const auto run = [this](const Args& switches, const std::string& folder) {
        Args arguments{"solve", script(nLayer), "--materials", materials, "--schroedinger", "--bands", bands};
        arguments.insert(arguments.end(), switches.begin(), switches.end());
        const CliRun result = runCli(arguments, folder);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_TRUE(std::regex_match(result.out, statusLine)) << result.out;
        EXPECT_EQ(linesOf(readFile(bands)).size(), 201u);
        return result;
    };
    run({"--left", "fixed:0.8", "--eigensolver", "tridiagonal", "--schroedinger-iterations", "0"}, "");
    const CliRun dumped =
        run({"--left", "fixed:0.8", "--valence", "--eigensolver", "dense", "--dump-dir", dir.path("states")},
            dir.path("work"));
    EXPECT_FALSE(std::filesystem::exists(dir.path("work/qstates.dat")));
    const bool solverMissing = dumped.err.find("Schroedinger solver is not available") != std::string::npos;
    EXPECT_TRUE(solverMissing || std::filesystem::exists(dir.path("states/qstates.dat"))) << dumped.err;
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
