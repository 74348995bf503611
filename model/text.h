#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tervane {

// Length of the well-formed UTF-8 sequence at the start of `text`, or 0 when it does not start with
// one (a stray continuation byte, an overlong form, a surrogate, a code point above U+10FFFF, a cut
// sequence, or an empty text).
[[nodiscard]] std::size_t utf8SequenceLength(std::string_view text);

// Offset of the first byte that is not part of well-formed UTF-8, or npos.
[[nodiscard]] std::size_t firstInvalidUtf8(std::string_view text);

// `text` as messages and listings show it: UTF-8 text as it is, control characters and bytes that are
// not UTF-8 as \xNN (and, with `escapeQuotes`, '"' and '\' behind a backslash), so that a name holding a
// NUL or a stray byte reads as what it is and a message stays one printable line.
[[nodiscard]] std::string printableText(std::string_view text, bool escapeQuotes = false);

// A material name as messages and listings show it (printableText without quote escapes).
[[nodiscard]] inline std::string printableName(std::string_view name)
{
    return printableText(name);
}

} // namespace tervane
