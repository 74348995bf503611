#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace tervane::fuzz {

// A promise of a reader that the input broke: said on standard error and turned into a crash, which
// libFuzzer keeps together with the input.
inline void check(bool holds, const char* promise, const std::string& detail = {})
{
    if (!holds) {
        std::fprintf(stderr, "Broken promise: %s\n  %s\n", promise, detail.c_str());
        std::abort();
    }
}

// True when `text` is UTF-8 with no control characters: a message the user is shown must be printable
// whatever bytes the file held.
inline bool isPrintableText(const std::string& text)
{
    for (std::size_t i = 0, length = 1; i < text.size(); i += length) {
        const auto lead = static_cast<unsigned char>(text[i]);
        length = lead < 0x80                    ? 1
                 : lead >= 0xC2 && lead <= 0xDF ? 2
                 : lead >= 0xE0 && lead <= 0xEF ? 3
                 : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                : 0;
        if (length == 0 || lead < 0x20 || lead == 0x7F || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
    }
    return true;
}

} // namespace tervane::fuzz
