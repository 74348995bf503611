// The eigenstate files: their tab-separated layout and the "%.4f" / "%.2f" text of every number,
// which must be what printf writes, byte for byte.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/bound_states.h"
#include "engine/eigenstate_dump.h"
#include "engine/grid.h"
#include "model/observer.h"
#include "tests/engine/bound_state_grids.h"

using namespace tervane;
using namespace tervane::schroedinger_testing;

namespace {

std::string fixed4(double value)
{
    char buffer[maxFixed4Length];
    return std::string(buffer, formatFixed4(buffer, value));
}

std::string printed(const char* format, double value)
{
    char buffer[400];
    const int length = std::snprintf(buffer, sizeof buffer, format, value);
    return std::string(buffer, static_cast<std::size_t>(length));
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    return parts;
}

} // namespace

// Expected texts worked out from the exact binary values: 0.03125 and 0.09375 are exact ties and go
// to the even digit; 1.00005 and 0.99995 lie just above a tie, 12345.67895 just below; a negative
// value that rounds to zero keeps its sign.
TEST(EigenstateDump, FourDecimalsAsPrintfRoundsThem)
{
    const std::vector<std::pair<double, std::string>> cases = {
        {-0.0, "-0.0000"},
        {-1e-5, "-0.0000"},
        {2.5e-5, "0.0000"},
        {5e-5, "0.0001"},
        {-5e-5, "-0.0001"},
        {0.03125, "0.0312"},
        {0.09375, "0.0938"},
        {1.00005, "1.0001"},
        {0.99995, "1.0000"},
        {12345.67895, "12345.6789"},
        {123456789.123, "123456789.1230"},
        {-1e20, "-100000000000000000000.0000"},
        {std::numeric_limits<double>::infinity(), "inf"},
        {-std::numeric_limits<double>::infinity(), "-inf"},
        {std::numeric_limits<double>::quiet_NaN(), "nan"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(fixed4(value), text) << "value " << value;
}

// Values of every size the files hold, and values within a few ulps of a rounding tie, against the C
// library's printf.
TEST(EigenstateDump, FourDecimalsMatchPrintfOnManyValues)
{
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-8, 12);
    std::uniform_int_distribution<long long> units(-2000000000LL, 2000000000LL);
    std::uniform_int_distribution<int> ulps(-4, 4);
    for (int n = 0; n < 20000; ++n) {
        const double value = mantissa(random) * std::pow(10.0, exponent(random));
        ASSERT_EQ(fixed4(value), printed("%.4f", value)) << "value " << value;
        double tie = (static_cast<double>(units(random)) + 0.5) / 1e4;
        for (int step = ulps(random); step != 0; step += step > 0 ? -1 : 1)
            tie = std::nextafter(tie, step > 0 ? 1e300 : -1e300);
        ASSERT_EQ(fixed4(tie), printed("%.4f", tie)) << "value " << tie;
    }
}

// A well on a non-uniform mesh: the file has M + 1 lines; the first is "0.0" and the M energies, each
// other line the position in Angstrom and the N components, every field followed by a tab.
TEST(EigenstateDump, FileLayout)
{
    ScratchDirectory scratch;
    const int N = 60;
    const Grid grid = electronGrid(
        N, [](int i) { return (1.234 + 0.5 * (i % 3)) * 1e-10; },
        [](int i) { return i > 20 && i < 40 ? 0.0 : 0.3; }, [](int) { return 0.067; });
    EigenSolution solution(N);
    solution.table(N);
    CollectingObserver observer;
    solveElectronStates(grid, solution, EigenSolverKind::Tridiagonal, observer);
    const std::filesystem::path path = scratch.path() / electronStatesFile;
    ASSERT_TRUE(writeEigenStates(grid, solution, path.string(), observer));
    EXPECT_TRUE(observer.messages.empty());

    const std::string text = readFile(path);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    const std::vector<std::string> lines = split(text, '\n');
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(N + 1));

    const std::vector<std::string> header = split(lines[0], '\t');
    ASSERT_EQ(header.size(), static_cast<std::size_t>(N + 1));
    EXPECT_EQ(lines[0].back(), '\t');
    EXPECT_EQ(header[0], "0.0");
    for (int k = 0; k < N; ++k)
        EXPECT_EQ(header[static_cast<std::size_t>(k + 1)],
                  printed("%.4f", solution.E[static_cast<std::size_t>(k)]));

    double x = 0.0; // Angstrom, summed as the file sums it
    for (int r = 0; r < N; ++r) {
        const std::string& line = lines[static_cast<std::size_t>(r + 1)];
        EXPECT_EQ(line.back(), '\t');
        const std::vector<std::string> fields = split(line, '\t');
        ASSERT_EQ(fields.size(), static_cast<std::size_t>(N + 1)) << "line " << r + 1;
        EXPECT_EQ(fields[0], printed("%.2f", x));
        for (int k = 0; k < N; ++k)
            ASSERT_EQ(fields[static_cast<std::size_t>(k + 1)], printed("%.4f", solution.component(r, k)))
                << "point " << r << " state " << k;
        x = x + grid.dx[static_cast<std::size_t>(r)] * 1e10;
    }
    EXPECT_EQ(split(lines[2], '\t')[0], "1.23");
    EXPECT_EQ(split(lines[3], '\t')[0], "2.97"); // 1.234 + 1.734 = 2.968
}

// When the eigen-solver returned only M < N states, the file has the M energies and M point lines.
TEST(EigenstateDump, OnlyReturnedStatesHaveLinesAndAFailedOpenIsReported)
{
    ScratchDirectory scratch;
    const int N = 6;
    const int M = 3;
    const Grid grid = uniformGrid(
        N, 1e-10, [](int) { return 0.0; }, 0.067);
    EigenSolution solution(N);
    solution.table(N);
    solution.returned = M;
    for (int k = 0; k < N; ++k) {
        solution.E[static_cast<std::size_t>(k)] = k < M ? 0.1 * k : 1e6;
        for (int i = 0; i < N; ++i)
            solution.state(k)[i] = k < M ? 1000.0 * (i + 1) + k : 0.0;
    }
    CollectingObserver observer;
    const std::filesystem::path path = scratch.path() / heavyHoleStatesFile;
    ASSERT_TRUE(writeEigenStates(grid, solution, path.string(), observer));
    EXPECT_EQ(readFile(path), "0.0\t0.0000\t0.1000\t0.2000\t\n"
                              "0.00\t1000.0000\t1001.0000\t1002.0000\t0.0000\t0.0000\t0.0000\t\n"
                              "1.00\t2000.0000\t2001.0000\t2002.0000\t0.0000\t0.0000\t0.0000\t\n"
                              "2.00\t3000.0000\t3001.0000\t3002.0000\t0.0000\t0.0000\t0.0000\t\n");

    // A file that cannot be opened is reported, and the states are left as they were.
    EXPECT_FALSE(
        writeEigenStates(grid, solution, (scratch.path() / "missing" / "qstates.dat").string(), observer));
    EXPECT_EQ(observer.messages, std::vector<std::string>{"Can't open dump file for schrodinger solution"});
    EXPECT_EQ(solution.component(2, 1), 3001.0);
}
