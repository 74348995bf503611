#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace tervane {

// The binary archive both files are written in: little-endian int32, IEEE-754 binary64 and archived
// strings, back to back with no tags or padding.
//
// Archived string: a length prefix, then the characters as single bytes with no terminator. The prefix
// is one byte when the length is below 255; else 0xFF and a uint16 length when below 0xFFFE; else 0xFF,
// the uint16 0xFFFF and a uint32 length. The sequence 0xFF 0xFFFE marks a string of 16-bit characters
// in the general form of this encoding; Tervane's files never hold one and the reader refuses it.
//
// Records are defined once, as `serialize(archive, object)` templates that list the members in stored
// order and call `archive.field(member)`; the archive's type decides the direction. Writing passes
// const objects, reading mutable ones.

inline constexpr std::size_t archivedInt32Size = 4;
inline constexpr std::size_t archivedFloat64Size = 8;
// Longest string the 32-bit prefix can describe.
inline constexpr std::uint64_t maxArchivedStringLength = 0xFFFFFFFEu;

// Thrown by the archives and caught inside io/, where it becomes an IoResult. `what()` is the complete
// message for the user.
class ArchiveError : public std::runtime_error {
  public:
    enum class Kind { Truncated, Corrupt, TooLong };

    ArchiveError(Kind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
    Kind kind() const { return kind_; }

  private:
    Kind kind_;
};

// Appends to a byte string.
class ArchiveWriter {
  public:
    static constexpr bool isLoading = false;

    void writeInt32(std::int32_t value);
    void writeUInt16(std::uint16_t value);
    void writeUInt32(std::uint32_t value);
    void writeFloat64(double value); // bit pattern kept as is, NaN payloads included
    // Shortest of the three prefix forms. Throws ArchiveError (TooLong) beyond maxArchivedStringLength.
    void writeString(std::string_view text);

    void field(const std::int32_t& value) { writeInt32(value); }
    void field(const double& value) { writeFloat64(value); }
    void field(const std::string& text) { writeString(text); }
    // A flag is an int32: 1 when set, 0 otherwise.
    void flag(const bool& value) { writeInt32(value ? 1 : 0); }

    const std::string& bytes() const { return bytes_; }
    std::string take() { return std::move(bytes_); }

  private:
    std::string bytes_;
};

// Reads from a byte view it does not own. Every read checks the bytes left first and throws
// ArchiveError instead of reading past the end; lengths are checked before anything is allocated.
class ArchiveReader {
  public:
    static constexpr bool isLoading = true;

    explicit ArchiveReader(std::string_view bytes) : bytes_(bytes) {}
    // The reader keeps a view: it must not outlive the bytes it was given.
    explicit ArchiveReader(std::string&&) = delete;

    std::int32_t readInt32();
    std::uint16_t readUInt16();
    std::uint32_t readUInt32();
    double readFloat64();
    std::string readString();

    void field(std::int32_t& value) { value = readInt32(); }
    void field(double& value) { value = readFloat64(); }
    void field(std::string& text) { text = readString(); }
    // Set exactly when the stored int32 is 1; any other value reads as false.
    void flag(bool& value) { value = readInt32() == 1; }

    // Before a loop over `count` records of at least `minRecordBytes` each, followed by `trailingBytes`
    // of fixed items: throws (Truncated) when the bytes left cannot hold them, so an absurd count is
    // refused before anything is reserved. `what` names the records in the message ("material records").
    void requireRecords(std::int64_t count, std::size_t minRecordBytes, std::size_t trailingBytes,
                        const char* what) const;

    // Named in every message until changed ("material record 2 of 3"); empty for none.
    void setContext(std::string context) { context_ = std::move(context); }

    std::size_t position() const { return position_; }
    std::size_t remaining() const { return bytes_.size() - position_; }

  private:
    void require(std::size_t size, const char* what) const;
    [[noreturn]] void fail(ArchiveError::Kind kind, const std::string& detail) const;

    std::string_view bytes_;
    std::size_t position_ = 0;
    std::string context_;
};

} // namespace tervane
