#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace tervane::fuzz {

// A promise of a reader that the input broke: said on standard error and turned into a crash, which
// libFuzzer keeps together with the input.
inline void check(bool holds, const char* promise, const std::string& detail = {})
{
    if (holds)
        return;
    std::fprintf(stderr, "Broken promise: %s\n", promise);
    if (!detail.empty())
        std::fprintf(stderr, "  %s\n", detail.c_str());
    std::abort();
}

// True when `text` is UTF-8 with no control characters: a message the user is shown must be printable
// whatever bytes the file held.
inline bool isPrintableText(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x20 || lead == 0x7F)
            return false;
        std::size_t length = 1;
        if (lead >= 0xC2 && lead <= 0xDF)
            length = 2;
        else if (lead >= 0xE0 && lead <= 0xEF)
            length = 3;
        else if (lead >= 0xF0 && lead <= 0xF4)
            length = 4;
        else if (lead >= 0x80)
            return false;
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

}  // namespace tervane::fuzz
