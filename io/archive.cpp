#include "io/archive.h"

#include <bit>
#include <limits>

namespace tervane {

namespace {

static_assert(std::numeric_limits<double>::is_iec559 && sizeof(double) == 8,
              "float64 must be IEEE-754 binary64");

constexpr unsigned char shortPrefixLimit = 0xFF; // one-byte prefix below this
constexpr std::uint16_t wideCharacterMarker = 0xFFFE;
constexpr std::uint16_t longPrefixMarker = 0xFFFF;

void appendLittleEndian(std::string& bytes, std::uint64_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFFu));
}

std::uint64_t takeLittleEndian(std::string_view bytes, std::size_t position, int size)
{
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i)
        value |= std::uint64_t{static_cast<unsigned char>(bytes[position + static_cast<std::size_t>(i)])}
                 << (8 * i);
    return value;
}

} // namespace

void ArchiveWriter::writeInt32(std::int32_t value)
{
    appendLittleEndian(bytes_, static_cast<std::uint32_t>(value), 4);
}

void ArchiveWriter::writeUInt16(std::uint16_t value)
{
    appendLittleEndian(bytes_, value, 2);
}

void ArchiveWriter::writeUInt32(std::uint32_t value)
{
    appendLittleEndian(bytes_, value, 4);
}

void ArchiveWriter::writeFloat64(double value)
{
    appendLittleEndian(bytes_, std::bit_cast<std::uint64_t>(value), 8);
}

void ArchiveWriter::writeString(std::string_view text)
{
    const std::size_t length = text.size();
    if (length < shortPrefixLimit) {
        bytes_.push_back(static_cast<char>(length));
    } else if (length < wideCharacterMarker) {
        bytes_.push_back(static_cast<char>(0xFF));
        writeUInt16(static_cast<std::uint16_t>(length));
    } else if (length <= maxArchivedStringLength) {
        bytes_.push_back(static_cast<char>(0xFF));
        writeUInt16(longPrefixMarker);
        writeUInt32(static_cast<std::uint32_t>(length));
    } else {
        throw ArchiveError(ArchiveError::Kind::TooLong,
                           "A text of " + std::to_string(length) + " characters is too long to be stored");
    }
    bytes_.append(text);
}

std::int32_t ArchiveReader::readInt32()
{
    require(4, "an int32");
    const auto value = static_cast<std::uint32_t>(takeLittleEndian(bytes_, position_, 4));
    position_ += 4;
    return static_cast<std::int32_t>(value);
}

std::uint16_t ArchiveReader::readUInt16()
{
    require(2, "a 16-bit length");
    const auto value = static_cast<std::uint16_t>(takeLittleEndian(bytes_, position_, 2));
    position_ += 2;
    return value;
}

std::uint32_t ArchiveReader::readUInt32()
{
    require(4, "a 32-bit length");
    const auto value = static_cast<std::uint32_t>(takeLittleEndian(bytes_, position_, 4));
    position_ += 4;
    return value;
}

double ArchiveReader::readFloat64()
{
    require(8, "a float64");
    const std::uint64_t value = takeLittleEndian(bytes_, position_, 8);
    position_ += 8;
    return std::bit_cast<double>(value);
}

std::string ArchiveReader::readString()
{
    const std::size_t start = position_;
    require(1, "the length of a text");
    std::uint64_t length = static_cast<unsigned char>(bytes_[position_]);
    ++position_;
    if (length == shortPrefixLimit) {
        length = readUInt16();
        if (length == wideCharacterMarker)
            fail(ArchiveError::Kind::Corrupt,
                 "the text at byte " + std::to_string(start) +
                     " is marked as 16-bit characters, which these files never hold");
        if (length == longPrefixMarker)
            length = readUInt32();
    }
    if (length > remaining())
        fail(ArchiveError::Kind::Truncated, "the text at byte " + std::to_string(start) + " claims " +
                                                std::to_string(length) + " characters, but only " +
                                                std::to_string(remaining()) + " bytes are left");
    std::string text(bytes_.substr(position_, static_cast<std::size_t>(length)));
    position_ += static_cast<std::size_t>(length);
    return text;
}

void ArchiveReader::requireRecords(std::int64_t count, std::size_t minRecordBytes, std::size_t trailingBytes,
                                   const char* what) const
{
    if (count <= 0)
        return;
    // count < 2^31 and minRecordBytes is a few hundred, so the product cannot overflow.
    const auto needed = static_cast<std::uint64_t>(count) * minRecordBytes + trailingBytes;
    if (needed > remaining())
        fail(ArchiveError::Kind::Truncated, "it announces " + std::to_string(count) + " " + what +
                                                ", but the " + std::to_string(remaining()) +
                                                " bytes that follow cannot hold them");
}

void ArchiveReader::require(std::size_t size, const char* what) const
{
    if (size > remaining())
        fail(ArchiveError::Kind::Truncated, "expected " + std::string(what) + " at byte " +
                                                std::to_string(position_) + ", but only " +
                                                std::to_string(remaining()) + " bytes are left");
}

void ArchiveReader::fail(ArchiveError::Kind kind, const std::string& detail) const
{
    std::string message =
        kind == ArchiveError::Kind::Corrupt ? "The file is corrupt: " : "The file is truncated: ";
    message += detail;
    if (!context_.empty())
        message += " (" + context_ + ")";
    throw ArchiveError(kind, message);
}

} // namespace tervane
