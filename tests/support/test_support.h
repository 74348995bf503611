#pragma once

// What the file-format and the command-line tests share: bytes written out by hand, whole files read
// and written byte for byte, a scratch folder, layers, and a cap on the size of the files written.

#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "model/layer.h"

namespace tervane::test {

// Bytes written out by hand, e.g. bytes({0x02, 0x00, 0x00, 0x00}).
inline std::string bytes(std::initializer_list<int> values)
{
    std::string result;
    for (int value : values)
        result.push_back(static_cast<char>(value));
    return result;
}

// The little-endian bytes of an int32 and of a float64's bit pattern, for layouts built by hand.
inline std::string i32(std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    return bytes({int(bits & 0xFF), int(bits >> 8 & 0xFF), int(bits >> 16 & 0xFF), int(bits >> 24)});
}
inline std::string f64(double value)
{
    const auto bits = std::bit_cast<std::uint64_t>(value);
    return i32(std::int32_t(bits & 0xFFFFFFFFu)) + i32(std::int32_t(bits >> 32));
}

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class ScratchFolder {
  public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tervane-test-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("no scratch folder could be created");
        root_ = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // `name` inside the folder; "" for the folder itself.
    std::string path(const std::string& name = "") const { return (root_ / name).string(); }
    // Writes `content` to `name` and returns its path.
    std::string write(const std::string& name, const std::string& content) const
    {
        std::ofstream file(path(name), std::ios::binary);
        if (!file.write(content.data(), std::streamsize(content.size())))
            throw std::runtime_error("could not write " + path(name));
        return path(name);
    }

  private:
    std::filesystem::path root_;
};

// A layer in SI units (m, m^-3) at 10 Angstrom spacing.
inline Layer layerOf(const std::string& material, double thickness, double Nd = 0.0, double Na = 0.0)
{
    Layer layer;
    layer.material = material;
    layer.thickness = thickness;
    layer.dx = 1e-9;
    layer.Nd = Nd, layer.Na = Na;
    return layer;
}

// A version-1 document file, built by hand: per layer thickness, dx, composition, the material (names
// below 255 characters: a one-byte length), Na, Nd and spare.
inline std::string documentVersion1(const std::vector<Layer>& layers, int leftContact, double leftBarrier)
{
    std::string file = i32(1) + i32(std::int32_t(layers.size()));
    for (const Layer& l : layers)
        file += f64(l.thickness) + f64(l.dx) + f64(l.composition.a) + f64(l.composition.b) +
                f64(l.composition.c) + char(l.material.size()) + l.material + f64(l.Na) + f64(l.Nd) +
                f64(l.spare);
    return file + i32(leftContact) + f64(leftBarrier);
}

// While it lives, a write that would make any file of this process, or of a program it starts, larger
// than `limit` bytes fails (EFBIG) as on a full disk, whatever the user's rights: root too.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t limit)
    {
        signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of ending the process
        getrlimit(RLIMIT_FSIZE, &saved_);
        const rlimit lowered{limit, saved_.rlim_max};
        if (setrlimit(RLIMIT_FSIZE, &lowered) != 0)
            throw std::runtime_error("the file size limit could not be set");
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
};

} // namespace tervane::test
