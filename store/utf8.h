#pragma once

#include <cstddef>
#include <string_view>

namespace kel {

// Texts are counted, cut and dropped by UTF-8 characters, never by bytes ("º" is two). A byte
// that does not start a well-formed sequence is a character of its own, read as its own code.

inline std::size_t Utf8CharLength(std::string_view s, std::size_t i)
{
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t len = 1;
    if (b >= 0xC2 && b <= 0xDF)
        len = 2;
    else if (b >= 0xE0 && b <= 0xEF)
        len = 3;
    else if (b >= 0xF0 && b <= 0xF4)
        len = 4;
    if (len == 1 || i + len > s.size())
        return 1;
    for (std::size_t k = 1; k < len; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
            return 1;
    return len;
}

inline char32_t Utf8Next(std::string_view s, std::size_t &i)
{
    const std::size_t len = Utf8CharLength(s, i);
    const auto b = static_cast<unsigned char>(s[i]);
    char32_t c = b;
    if (len > 1) {
        c = b & (0x7F >> len);
        for (std::size_t k = 1; k < len; ++k)
            c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    }
    i += len;
    return c;
}

inline std::string_view Utf8Left(std::string_view s, std::size_t n)
{
    std::size_t i = 0;
    for (; n > 0 && i < s.size(); --n)
        i += Utf8CharLength(s, i);
    return s.substr(0, i);
}

inline std::size_t Utf8Count(std::string_view s)
{
    std::size_t n = 0;
    for (std::size_t i = 0; i < s.size(); ++n)
        i += Utf8CharLength(s, i);
    return n;
}

inline std::string_view Utf8DropLast(std::string_view s)
{
    if (s.empty())
        return s;
    std::size_t start = s.size() - 1;
    // A continuation byte ends a character only when its lead byte's sequence ends exactly here.
    if ((static_cast<unsigned char>(s[start]) & 0xC0) == 0x80) {
        std::size_t lead = start;
        while (lead > 0 && start - lead < 3 && (static_cast<unsigned char>(s[lead]) & 0xC0) == 0x80)
            --lead;
        if (Utf8CharLength(s, lead) == s.size() - lead)
            start = lead;
    }
    return s.substr(0, start);
}

// Refuses stray continuation bytes, overlong forms, surrogates and code points past U+10FFFF.
inline bool Utf8Valid(std::string_view s)
{
    const auto *b = reinterpret_cast<const unsigned char *>(s.data());
    const std::size_t n = s.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = b[i];
        std::size_t len = 0;
        unsigned char lo = 0x80, hi = 0xBF; // range of the second byte
        if (c < 0x80) {
            len = 1;
        } else if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            lo = c == 0xE0 ? 0xA0 : 0x80;
            hi = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            lo = c == 0xF0 ? 0x90 : 0x80;
            hi = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (len > n - i)
            return false;
        for (std::size_t k = 1; k < len; ++k) {
            const unsigned char next = b[i + k];
            if (k == 1 ? (next < lo || next > hi) : (next & 0xC0) != 0x80)
                return false;
        }
        i += len;
    }
    return true;
}

} // namespace kel
