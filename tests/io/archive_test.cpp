#include "io/archive.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <string>

#include "io_test_support.h"

namespace tervane {
namespace {

using testing::bitsOf;
using testing::bytes;

TEST(ArchiveTest, NumbersAreLittleEndianAndKeepTheirBits)
{
    const std::string layout = bytes({0x04, 0x03, 0x02, 0x01, 0xFE, 0xFF, 0xFF, 0xFF, //
                                      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0xC0, // -2.5
                                      0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0xC9, 0x3F, // 0.2
                                      0x02, 0x00, 0x00, 0x00});                       // flag 2
    ArchiveWriter writer;
    writer.writeInt32(0x01020304);
    writer.writeInt32(-2);
    writer.writeFloat64(-2.5);
    writer.writeFloat64(0.2);
    EXPECT_EQ(writer.bytes(), layout.substr(0, 24));

    ArchiveReader reader(layout);
    EXPECT_EQ(reader.readInt32(), 0x01020304);
    EXPECT_EQ(reader.readInt32(), -2);
    EXPECT_EQ(reader.readFloat64(), -2.5);
    EXPECT_EQ(reader.readFloat64(), 0.2);
    bool flag = true;
    reader.flag(flag); // only 1 is true
    EXPECT_FALSE(flag);
    EXPECT_EQ(reader.remaining(), 0u);

    const double specials[] = {-std::numeric_limits<double>::quiet_NaN(),
                               std::bit_cast<double>(std::uint64_t{0x7FF0000000000001}), // signalling NaN
                               -std::numeric_limits<double>::infinity(), -0.0,
                               std::numeric_limits<double>::denorm_min()};
    ArchiveWriter special;
    for (double value : specials)
        special.writeFloat64(value);
    ArchiveReader back(special.bytes());
    for (double value : specials)
        EXPECT_EQ(bitsOf(back.readFloat64()), bitsOf(value));
}

// Length of the text and the prefix the shortest form gives it, at each boundary of the three forms.
struct PrefixCase {
    std::size_t length;
    std::string prefix;
    friend void PrintTo(const PrefixCase& row, std::ostream* out) { *out << row.length << " characters"; }
};

class ArchivedStringPrefixTest : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(ArchivedStringPrefixTest, WriterUsesShortestFormAndReaderReadsItBack)
{
    std::string text(GetParam().length, 'x');
    if (!text.empty()) { // every byte value is kept
        text.front() = '\xFF';
        text.back() = '\0';
    }
    ArchiveWriter writer;
    writer.writeString(text);
    EXPECT_EQ(writer.bytes(), GetParam().prefix + text);
    ArchiveReader reader(writer.bytes());
    EXPECT_EQ(reader.readString(), text);
    EXPECT_EQ(reader.remaining(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    AllForms, ArchivedStringPrefixTest,
    ::testing::Values(PrefixCase{0, bytes({0x00})}, PrefixCase{254, bytes({0xFE})},
                      PrefixCase{255, bytes({0xFF, 0xFF, 0x00})},
                      PrefixCase{65533, bytes({0xFF, 0xFD, 0xFF})},
                      PrefixCase{65534, bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
                      PrefixCase{70000, bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})}));

TEST(ArchiveTest, LongerPrefixFormsAreReadForShortTextsToo)
{
    for (const std::string& prefix :
         {bytes({0xFF, 0x03, 0x00}), bytes({0xFF, 0xFF, 0xFF, 0x03, 0x00, 0x00, 0x00})}) {
        const std::string data = prefix + "GaN" + bytes({0x7F});
        ArchiveReader reader(data);
        EXPECT_EQ(reader.readString(), "GaN");
        EXPECT_EQ(reader.position(), prefix.size() + 3);
    }
}

} // namespace
} // namespace tervane
