#include "io/archive.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "io_test_support.h"

namespace tervane {
namespace {

using testing::bitsOf;
using testing::bytes;

TEST(ArchiveTest, NumbersAreLittleEndianBothWays)
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
}

TEST(ArchiveTest, SpecialDoublesKeepTheirBits)
{
    const double values[] = {-std::numeric_limits<double>::quiet_NaN(),
                             std::bit_cast<double>(std::uint64_t{0x7FF0000000000001}), // signalling NaN
                             -std::numeric_limits<double>::infinity(),
                             -0.0,
                             std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<double>::max()};
    ArchiveWriter writer;
    for (double value : values)
        writer.writeFloat64(value);
    ArchiveReader reader(writer.bytes());
    for (double value : values)
        EXPECT_EQ(bitsOf(reader.readFloat64()), bitsOf(value));
}

// Length of the text and the prefix the shortest form gives it, at each boundary of the three forms.
struct PrefixCase {
    std::size_t length;
    std::string prefix;
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

TEST(ArchiveTest, ReaderAcceptsLongerPrefixFormsForShortTexts)
{
    for (const std::string& prefix :
         {bytes({0xFF, 0x03, 0x00}), bytes({0xFF, 0xFF, 0xFF, 0x03, 0x00, 0x00, 0x00})}) {
        const std::string data = prefix + "GaN" + bytes({0x7F});
        ArchiveReader reader(data);
        EXPECT_EQ(reader.readString(), "GaN");
        EXPECT_EQ(reader.position(), prefix.size() + 3);
    }
}

// Strings whose long length prefix is cut short (the files' own cuts, wide markers and huge lengths
// are in the bad-input catalogue): the kind of failure and how the message starts.
TEST(ArchiveTest, DamagedStringsAreRefusedWithoutAllocating)
{
    struct Case {
        std::string data;
        ArchiveError::Kind kind;
        const char* start;
    };
    const Case cases[] = {
        {bytes({0xFF, 0x2C}), ArchiveError::Kind::Truncated, "The file is truncated: expected "},
        {bytes({0xFF, 0xFF, 0xFF, 0x03, 0x00, 0x00}), ArchiveError::Kind::Truncated,
         "The file is truncated: expected "},
    };
    for (const Case& c : cases) {
        testing::LargestAllocation probe;
        ArchiveReader reader(c.data);
        try {
            (void)reader.readString();
            ADD_FAILURE() << "accepted: " << c.start;
        } catch (const ArchiveError& error) {
            EXPECT_EQ(error.kind(), c.kind);
            EXPECT_TRUE(std::string(error.what()).starts_with(c.start)) << error.what();
        }
        EXPECT_LT(probe.bytes(), 4096u);
    }
}

TEST(ArchiveTest, CountsAreCheckedAgainstTheBytesLeft)
{
    const std::string data(20, '\0');
    ArchiveReader reader(data);
    EXPECT_NO_THROW(reader.requireRecords(-7, 421, 0, "records"));
    EXPECT_NO_THROW(reader.requireRecords(2, 8, 4, "records")); // 20 bytes exactly
    EXPECT_THROW(reader.requireRecords(2, 8, 5, "records"), ArchiveError);
    try {
        reader.requireRecords(2000000000, 421, 0, "material records");
        FAIL() << "the count was accepted";
    } catch (const ArchiveError& error) {
        EXPECT_STREQ(error.what(),
                     "The file is truncated: it announces 2000000000 material records, but the 20 "
                     "bytes that follow cannot hold them");
    }
}

} // namespace
} // namespace tervane
