// tervane-cli solve: the status line and file, the exports and the options that the examples and the
// validation leave out; the solved values are theirs to check.

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli_test_support.h"

namespace tervane::test {
namespace {

constexpr double tolNeutral = 1e-5; // eV; a Neutral contact's root search stops at 1e-6 V

// The iteration count of the status line, or -1 when the output is not that one line.
int iterationsOf(const std::string& out)
{
    static const std::regex line(R"(Solver error: -?[0-9]\.[0-9]{5}e[+-][0-9]{2} iterations: ([0-9]+) )"
                                 R"(bound states: [0-9]+ ns: -?[0-9]\.[0-9]{2}e[+-][0-9]{2} cm-2\n)");
    std::smatch match;
    return std::regex_match(out, match, line) ? std::stoi(match[1].str()) : -1;
}

// Ec (the second column) on line `line` of a band-profile export.
double ecAt(const std::string& path, std::size_t line)
{
    double x = 0, Ec = 0;
    std::istringstream(linesOf(readFile(path)).at(line)) >> x >> Ec;
    return Ec;
}

class SolveCommand : public testing::Test {
  protected:
    ScratchFolder dir;
    std::string materials = dir.write("materials.tvm", encodeMaterials({GaN, AlGaN, GaAs}));
    CliRun solve(const std::string& structure, std::vector<std::string> options, std::string in = "") const
    {
        options.insert(options.begin(), {"solve", structure, "--materials", materials});
        return runCli(options, in);
    }
};

// The status file has every key and the messages met; one band line per grid point. Without any update
// the solve never settles: every allowed step runs, it says it has not converged and exits 3; a status
// file that cannot be written then fails after the status line.
TEST_F(SolveCommand, WritesTheStatusLineTheStatusFileAndTheBands)
{
    const std::string bogus = "GaAs t=1000 Nd=1e17 bogus=1\n"; // 100 points a layer
    const std::string pn = dir.write("pn.txt", "GaAs t=1000 Na=1e17\nGaAs t=1000 Nd=1e17\n" + bogus);
    const std::string status = dir.path("status.json"), bands = dir.path("bands.txt");
    const CliRun run = solve(pn, {"--bands", bands, "--status-json", status});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "Unknown command in line #3: " + bogus);
    const nlohmann::json json = nlohmann::json::parse(readFile(status));
    EXPECT_EQ(json.size(), 13u);
    EXPECT_EQ(json["count"], 300);
    EXPECT_TRUE(json["converged"]);
    EXPECT_EQ(json["iterations"], iterationsOf(run.out));
    EXPECT_EQ(json["substrateA"], 3.189); // a new document's substrate: GaN at x = 0
    EXPECT_EQ(json["messages"], nlohmann::json::array({"Unknown command in line #3: " + bogus}));
    EXPECT_EQ(linesOf(readFile(bands)).size(), 301u);
    EXPECT_EQ(linesOf(readFile(bands)).at(0), "x\tEc\tEv\tEf\tn\tp");
    const CliRun unsettled =
        solve(pn, {"--damping", "0", "--poisson-iterations", "7", "--status-json", status});
    EXPECT_EQ(unsettled.status, 3);
    EXPECT_NE(unsettled.err.find("Not converged: the solve stopped at its iteration limit (7 Newton steps)"),
              std::string::npos)
        << unsettled.err;
    EXPECT_FALSE(nlohmann::json::parse(readFile(status))["converged"]);
    const CliRun stopped =
        solve(pn, {"--damping", "0", "--poisson-iterations", "+7", "--status-json", "no/s.json"}, dir.path());
    EXPECT_EQ(stopped.status, 1);
    EXPECT_EQ(iterationsOf(stopped.out), 7);
    EXPECT_NE(stopped.err.find("no/s.json"), std::string::npos) << stopped.err;
}

// A document's stored settings are where its solve starts: an option given replaces one, an option left
// out keeps it (no Newton update, so every allowed step or pass runs).
TEST_F(SolveCommand, StoredSettingsAreTheStartingValues)
{
    DocumentSettings settings = defaultDocumentSettings();
    settings.damping = 0.0;
    settings.poissonIterations = 3;
    const Layer layer = layerOf("GaAs", 2e-7, nLayerNd * 1e6);
    const std::string stored = dir.write("s.tvn", encodeDocument({layer}, ContactKind::Fixed, 0.8, settings));
    EXPECT_EQ(iterationsOf(solve(stored, {}).out), 3);
    EXPECT_EQ(iterationsOf(solve(stored, {"--poisson-iterations", "5"}).out), 5);
    settings.schroedingerOn = true;
    settings.schroedingerIterations = 2;
    const std::string quantum =
        dir.write("q.tvn", encodeDocument({layer}, ContactKind::Fixed, 0.8, settings));
    EXPECT_EQ(iterationsOf(solve(quantum, {}).out), 2);
}

// --left neutral replaces the document's Fixed contact: both ends of the uniform layer alike. Without
// --cv-out the C-V lines (a header and one per bias) go to cv.out in the current folder; one charge
// line per layer edge, none without polarization.
TEST_F(SolveCommand, ContactOptionsAndTheOtherExports)
{
    const std::string document =
        dir.write("n.tvn", encodeDocument({layerOf("GaAs", 2e-7, nLayerNd * 1e6)}, ContactKind::Fixed, 0.8));
    ASSERT_EQ(solve(document, {"--left", "neutral", "--cv", "0:1:.5", "--bands", "b"}, dir.path()).status, 0);
    EXPECT_NEAR(ecAt(dir.path("b"), 1), ecAt(dir.path("b"), 200), tolNeutral);
    EXPECT_EQ(linesOf(readFile(dir.path("cv.out"))).size(), 4u);
    const std::string hemt = dir.write("hemt.txt", "GaN t=100 dx=5\nAlGaN x=0.3 t=200 dx=5\nGaN t=50 dx=5\n");
    ASSERT_EQ(solve(hemt, {"--charges", dir.path("with.txt")}).status, 0);
    ASSERT_EQ(solve(hemt, {"--charges", dir.path("without.txt"), "--no-polarization"}).status, 0);
    EXPECT_EQ(linesOf(readFile(dir.path("with.txt"))).size(), 3u);
    EXPECT_EQ(readFile(dir.path("without.txt")), "");
}

} // namespace
} // namespace tervane::test
