#include "io/archive.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "io_test_support.h"

namespace tervane::test {
namespace {

// Little-endian int32 and binary64, every bit kept (a signalling NaN with its payload); a flag is set
// only by the int32 1.
TEST(Archive, NumbersAreLittleEndianAndKeepEveryBit)
{
    const double signallingNaN = std::bit_cast<double>(std::uint64_t{0x7FF0000000000001});
    const std::string layout =
        bytes({0x04, 0x03, 0x02, 0x01, 0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0,    0,    0x04, 0xC0, 0x9A, 0x99,
               0x99, 0x99, 0x99, 0x99, 0xC9, 0x3F, 1,    0,    0, 0, 0, 0, 0xF0, 0x7F, 2,    0,    0,    0});
    ArchiveWriter writer;
    writer.writeInt32(0x01020304);
    writer.writeInt32(-2);
    writer.writeFloat64(-2.5);
    writer.writeFloat64(0.2);
    writer.writeFloat64(signallingNaN);
    EXPECT_EQ(writer.bytes(), layout.substr(0, 32));
    ArchiveReader reader(layout);
    EXPECT_EQ(reader.readInt32(), 0x01020304);
    EXPECT_EQ(reader.readInt32(), -2);
    EXPECT_EQ(reader.readFloat64(), -2.5);
    EXPECT_EQ(reader.readFloat64(), 0.2);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(reader.readFloat64()), 0x7FF0000000000001u);
    bool flag = true;
    reader.flag(flag);
    EXPECT_FALSE(flag);
}

// The shortest of the three prefix forms at each of their bounds, every byte value of the text kept;
// the longer forms are read for short texts too.
TEST(Archive, StringsTakeTheShortestPrefixAndReadBack)
{
    const std::pair<std::size_t, std::string> forms[] = {
        {0, bytes({0})},
        {254, bytes({0xFE})},
        {255, bytes({0xFF, 0xFF, 0})},
        {65533, bytes({0xFF, 0xFD, 0xFF})},
        {65534, bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0, 0})},
        {70000, bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 1, 0})}};
    for (const auto& [length, prefix] : forms) {
        std::string text(length, '\xFF');
        if (length > 0)
            text.back() = '\0';
        ArchiveWriter writer;
        writer.writeString(text);
        EXPECT_EQ(writer.bytes(), prefix + text) << length;
        ArchiveReader reader(writer.bytes());
        EXPECT_EQ(reader.readString(), text) << length;
        EXPECT_EQ(reader.remaining(), 0u) << length;
    }
    for (const std::string& prefix : {bytes({0xFF, 3, 0}), bytes({0xFF, 0xFF, 0xFF, 3, 0, 0, 0})}) {
        const std::string data = prefix + "GaN!";
        ArchiveReader reader(data);
        EXPECT_EQ(reader.readString(), "GaN");
        EXPECT_EQ(reader.remaining(), 1u);
    }
}

} // namespace
} // namespace tervane::test
