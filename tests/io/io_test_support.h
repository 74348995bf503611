#pragma once

#include <stdlib.h>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/material.h"

namespace tervane::testing {

// Bytes written out by hand, e.g. bytes({0x02, 0x00, 0x00, 0x00}).
inline std::string bytes(std::initializer_list<int> values)
{
    std::string result;
    for (int value : values)
        result.push_back(static_cast<char>(value));
    return result;
}

inline std::uint64_t bitsOf(double value)
{
    return std::bit_cast<std::uint64_t>(value);
}

// The sixteen laws and the 52 doubles of a material, listed field by field here rather than through
// the readers' tables.
std::vector<Quadratic*> lawsOf(Material& m);
std::vector<double*> allNumbers(Material& m);

// Every double different (base, base + 0.125, ...), so a value read into or written from the wrong
// field shows.
Material distinctMaterial(const std::string& name, double base, int type = Ternary);

// The largest single allocation, and the total, made through operator new while an instance lives:
// shows that a hostile count was refused before anything was allocated for it, and work that grows
// with more than the size of the result.
class LargestAllocation {
  public:
    LargestAllocation();
    ~LargestAllocation();
    LargestAllocation(const LargestAllocation&) = delete;
    LargestAllocation& operator=(const LargestAllocation&) = delete;
    std::size_t bytes() const;
    std::size_t totalBytes() const;
};

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class ScratchFolder {
  public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tervane-io-test-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("no scratch folder could be created");
        path_ = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

std::string readFileBytes(const std::string& path);

} // namespace tervane::testing
