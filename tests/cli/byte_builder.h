#pragma once

#include <bit>
#include <cstdint>
#include <string>

namespace tervane::test {

// Builds file contents by hand, field by field: little-endian int32 and binary64, archived strings
// with the one-byte length prefix (names below 255 characters).
class ByteBuilder {
  public:
    ByteBuilder& int32(std::int32_t value)
    {
        const auto bits = static_cast<std::uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8)
            bytes_.push_back(static_cast<char>((bits >> shift) & 0xFF));
        return *this;
    }
    ByteBuilder& float64(double value)
    {
        const auto bits = std::bit_cast<std::uint64_t>(value);
        for (int shift = 0; shift < 64; shift += 8)
            bytes_.push_back(static_cast<char>((bits >> shift) & 0xFF));
        return *this;
    }
    // A law as stored: a, b, c.
    ByteBuilder& law(double a, double b, double c) { return float64(a).float64(b).float64(c); }
    ByteBuilder& shortString(const std::string& text)
    {
        bytes_.push_back(static_cast<char>(text.size()));
        bytes_ += text;
        return *this;
    }
    ByteBuilder& raw(const std::string& text)
    {
        bytes_ += text;
        return *this;
    }

    const std::string& bytes() const { return bytes_; }

  private:
    std::string bytes_;
};

// Reads back what ByteBuilder writes, at a byte offset.
inline std::int32_t int32At(const std::string& bytes, std::size_t offset)
{
    std::uint32_t bits = 0;
    for (int i = 3; i >= 0; --i)
        bits = (bits << 8) | static_cast<unsigned char>(bytes.at(offset + static_cast<std::size_t>(i)));
    return static_cast<std::int32_t>(bits);
}

inline double float64At(const std::string& bytes, std::size_t offset)
{
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | static_cast<unsigned char>(bytes.at(offset + static_cast<std::size_t>(i)));
    return std::bit_cast<double>(bits);
}

} // namespace tervane::test
