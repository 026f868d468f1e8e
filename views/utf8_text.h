#pragma once

#include <cstddef>
#include <string_view>

namespace kel {

// Names and typed texts are UTF-8; the window counts them in characters.
inline std::size_t utf8Length(std::string_view s)
{
    std::size_t n = 0;
    for (char ch : s)
        n += (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
    return n;
}

// The first chars characters of s (all of s when it is shorter).
inline std::string_view utf8Prefix(std::string_view s, std::size_t chars)
{
    std::size_t n = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (n == chars)
                return s.substr(0, i);
            ++n;
        }
    }
    return s;
}

} // namespace kel
