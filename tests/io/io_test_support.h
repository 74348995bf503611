#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>

namespace tervane::testing {

// Bytes written out by hand, e.g. bytes({0x02, 0x00, 0x00, 0x00}).
inline std::string bytes(std::initializer_list<int> values)
{
    std::string result;
    for (int value : values)
        result.push_back(static_cast<char>(value));
    return result;
}

// Little-endian reads at a byte offset, worked out here rather than through the archive.
inline std::uint64_t unsignedAt(const std::string& data, std::size_t offset, int size)
{
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i)
        value |= std::uint64_t{static_cast<unsigned char>(data.at(offset + static_cast<std::size_t>(i)))}
                 << (8 * i);
    return value;
}
inline std::int32_t int32At(const std::string& data, std::size_t offset)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(unsignedAt(data, offset, 4)));
}
inline double float64At(const std::string& data, std::size_t offset)
{
    return std::bit_cast<double>(unsignedAt(data, offset, 8));
}
inline std::uint64_t bitsOf(double value)
{
    return std::bit_cast<std::uint64_t>(value);
}

// The largest single allocation made through operator new while an instance lives: shows that a
// hostile length or count was refused before anything was allocated for it. The total shows work
// that grows with more than the size of the result.
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
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

std::string readFileBytes(const std::string& path);
void writeFileBytes(const std::string& path, const std::string& data);

} // namespace tervane::testing
