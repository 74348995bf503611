#include "io/archive.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "io_test_support.h"

namespace tervane {
namespace {

using testing::bitsOf;
using testing::bytes;

TEST(ArchiveWriterTest, NumbersAreLittleEndian)
{
    ArchiveWriter archive;
    archive.writeInt32(0x01020304);
    archive.writeInt32(-2);
    archive.writeFloat64(1.0);                                                        // 0x3FF0000000000000
    archive.writeFloat64(-2.5);                                                       // 0xC004000000000000
    archive.writeFloat64(0.2);                                                        // 0x3FC999999999999A
    EXPECT_EQ(archive.bytes(), bytes({0x04, 0x03, 0x02, 0x01,                         //
                                      0xFE, 0xFF, 0xFF, 0xFF,                         //
                                      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F, //
                                      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0xC0, //
                                      0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0xC9, 0x3F}));
}

// Length of the text and the prefix the shortest form gives it.
struct PrefixCase {
    std::size_t length;
    std::string prefix;
};

class ArchivedStringPrefixTest : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(ArchivedStringPrefixTest, WriterUsesShortestFormAndReaderReadsItBack)
{
    const PrefixCase& param = GetParam();
    const std::string text(param.length, 'x');
    ArchiveWriter writer;
    writer.writeString(text);
    const std::string& written = writer.bytes();
    ASSERT_EQ(written.size(), param.prefix.size() + param.length);
    EXPECT_EQ(written.substr(0, param.prefix.size()), param.prefix);

    ArchiveReader reader(written);
    EXPECT_EQ(reader.readString(), text);
    EXPECT_EQ(reader.remaining(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    AllForms, ArchivedStringPrefixTest,
    ::testing::Values(PrefixCase{0, bytes({0x00})}, PrefixCase{3, bytes({0x03})},
                      PrefixCase{254, bytes({0xFE})}, PrefixCase{255, bytes({0xFF, 0xFF, 0x00})},
                      PrefixCase{300, bytes({0xFF, 0x2C, 0x01})},
                      PrefixCase{65533, bytes({0xFF, 0xFD, 0xFF})},
                      PrefixCase{65534, bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
                      PrefixCase{65535, bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00})},
                      PrefixCase{70000, bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})}));

TEST(ArchiveReaderTest, AcceptsLongerPrefixFormsForShortTexts)
{
    // The same three characters under each of the three prefix forms.
    for (const std::string& prefix :
         {bytes({0x03}), bytes({0xFF, 0x03, 0x00}), bytes({0xFF, 0xFF, 0xFF, 0x03, 0x00, 0x00, 0x00})}) {
        const std::string data = prefix + "GaN" + bytes({0x7F});
        ArchiveReader reader(data);
        EXPECT_EQ(reader.readString(), "GaN");
        EXPECT_EQ(reader.position(), prefix.size() + 3);
    }
}

TEST(ArchiveReaderTest, KeepsEveryByteOfAText)
{
    const std::string text = bytes({0x00, 0xFF, 0x80, 0x0A, 0x41});
    ArchiveWriter writer;
    writer.writeString(text);
    ArchiveReader reader(writer.bytes());
    EXPECT_EQ(reader.readString(), text);
}

TEST(ArchiveReaderTest, ReadsNumbersWrittenByHand)
{
    const std::string data = bytes({0x04, 0x03, 0x02, 0x01, 0x00, 0x00, 0x00, 0x80, //
                                    0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0xC9, 0x3F, 0x02, 0x00, 0x00, 0x00});
    ArchiveReader reader(data);
    EXPECT_EQ(reader.readInt32(), 0x01020304);
    EXPECT_EQ(reader.readInt32(), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(reader.readFloat64(), 0.2);
    bool flag = true;
    reader.flag(flag); // 2 is not 1
    EXPECT_FALSE(flag);
    EXPECT_EQ(reader.remaining(), 0u);
}

TEST(ArchiveRoundTripTest, SpecialDoublesKeepTheirBits)
{
    const double values[] = {std::numeric_limits<double>::quiet_NaN(),
                             -std::numeric_limits<double>::quiet_NaN(),
                             std::bit_cast<double>(std::uint64_t{0x7FF0000000000001}), // signalling NaN
                             std::bit_cast<double>(std::uint64_t{0x7FF8DEADBEEF1234}), // NaN with payload
                             std::numeric_limits<double>::infinity(),
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

// What a failed read reports: the kind and how the message starts.
void expectFailure(ArchiveReader& reader, ArchiveError::Kind kind, const std::string& start)
{
    try {
        (void)reader.readString();
        FAIL() << "the read did not fail";
    } catch (const ArchiveError& error) {
        EXPECT_EQ(error.kind(), kind);
        EXPECT_EQ(std::string(error.what()).rfind(start, 0), 0u) << error.what();
    }
}

TEST(ArchiveReaderFailureTest, RefusesSixteenBitCharacters)
{
    const std::string data = bytes({0xFF, 0xFE, 0xFF, 0x03, 'G', 0, 'a', 0, 'N', 0});
    ArchiveReader reader(data);
    expectFailure(reader, ArchiveError::Kind::Corrupt, "The file is corrupt: the text at byte 0");
}

TEST(ArchiveReaderFailureTest, RefusesTextsLongerThanWhatIsLeft)
{
    {
        const std::string data = bytes({0x04, 'G', 'a', 'N'});
        ArchiveReader reader(data);
        expectFailure(
            reader, ArchiveError::Kind::Truncated,
            "The file is truncated: the text at byte 0 claims 4 characters, but only 3 bytes are left");
    }
    {
        const std::string data = bytes({0xFF, 0x2C, 0x01, 'x'});
        ArchiveReader reader(data);
        expectFailure(reader, ArchiveError::Kind::Truncated,
                      "The file is truncated: the text at byte 0 claims 300");
    }
    const std::string data = bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 'x'});
    testing::LargestAllocation probe;
    ArchiveReader reader(data);
    expectFailure(reader, ArchiveError::Kind::Truncated,
                  "The file is truncated: the text at byte 0 claims 4294967294 characters");
    EXPECT_LT(probe.bytes(), 4096u);
}

TEST(ArchiveReaderFailureTest, RefusesPrefixesCutShort)
{
    for (const std::string& data : {std::string(), bytes({0xFF}), bytes({0xFF, 0x2C}),
                                    bytes({0xFF, 0xFF, 0xFF}), bytes({0xFF, 0xFF, 0xFF, 0x03, 0x00, 0x00})}) {
        ArchiveReader reader(data);
        expectFailure(reader, ArchiveError::Kind::Truncated, "The file is truncated: expected ");
    }
}

TEST(ArchiveReaderFailureTest, CountsAreCheckedAgainstTheBytesLeft)
{
    const std::string data(100, '\0');
    ArchiveReader reader(data);
    EXPECT_NO_THROW(reader.requireRecords(0, 421, 0, "records"));
    EXPECT_NO_THROW(reader.requireRecords(-7, 421, 0, "records"));
    EXPECT_NO_THROW(reader.requireRecords(11, 8, 12, "records")); // 100 bytes exactly
    EXPECT_THROW(reader.requireRecords(11, 8, 13, "records"), ArchiveError);
    try {
        reader.requireRecords(2000000000, 421, 0, "material records");
        FAIL() << "the count was accepted";
    } catch (const ArchiveError& error) {
        EXPECT_STREQ(error.what(),
                     "The file is truncated: it announces 2000000000 material records, but the 100 "
                     "bytes that follow cannot hold them");
    }
}

} // namespace
} // namespace tervane
