#pragma once

// Grids for the bound-state tests, built point by point as the driver would (one dx entry per point),
// with the potential given through dEc (phi = phiPol = 0) so that Ec = dEc; and a scratch folder for
// the eigenstate files.
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>

#include "engine/grid.h"

namespace tervane::schroedinger_testing {

// hbar with this model's hbar^2 = 1.113025e-68 (J s)^2.
inline constexpr double hbar = 1.055e-34;

// N points; point i gets Ec(i) and me(i) (also as both hole masses); dx(i) the spacing to point i+1 (m).
inline Grid electronGrid(int N, const std::function<double(int)>& dx, const std::function<double(int)>& Ec,
                         const std::function<double(int)>& me)
{
    Grid grid;
    grid.count = N;
    grid.points.resize(static_cast<std::size_t>(N));
    for (int i = 0; i < N; ++i) {
        GridPoint& p = grid.points[static_cast<std::size_t>(i)];
        p.dEc = Ec(i);
        p.me = p.mlh = p.mhh = me(i);
        p.Efn = p.Efp = 0.0;
        p.holes = true;
        grid.dx.push_back(dx(i));
        grid.eps.push_back(12.9 * 8.85e-12);
    }
    return grid;
}

inline Grid uniformGrid(int N, double dx, const std::function<double(int)>& Ec, double me)
{
    return electronGrid(
        N, [dx](int) { return dx; }, Ec, [me](int) { return me; });
}

// Trapezoid integral of psi^2 over the grid.
inline double trapezoidNorm(const Grid& grid, const double* psi)
{
    double sum = 0.0;
    for (int i = 0; i + 1 < grid.count; ++i)
        sum += (psi[i] * psi[i] + psi[i + 1] * psi[i + 1]) * grid.dx[static_cast<std::size_t>(i)] / 2;
    return sum;
}

inline std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ScratchDirectory {
  public:
    ScratchDirectory()
        : path_(std::filesystem::temp_directory_path() /
                ("tervane-engine-test-" + std::to_string(std::random_device{}())))
    {
        std::filesystem::create_directories(path_);
    }
    ~ScratchDirectory() { std::filesystem::remove_all(path_); }
    const std::filesystem::path& path() const { return path_; }
    std::string string() const { return path_.string(); }

  private:
    std::filesystem::path path_;
};

} // namespace tervane::schroedinger_testing
