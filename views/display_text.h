#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "store/utf8.h"

namespace kel {

// Of what is drawn or printed: a field of megabytes would take minutes of text layout on the
// user-interface thread, for a line nobody can read. The store keeps every byte.
inline constexpr std::size_t kDisplayChars = 1000;
// What ends a text that was cut.
inline constexpr std::string_view kEllipsis = "\u2026";

inline std::string DisplayText(std::string_view text)
{
    // A text has at most as many characters as bytes.
    if (text.size() <= kDisplayChars)
        return std::string(text);
    const std::string_view head = Utf8Left(text, kDisplayChars);
    if (head.size() == text.size())
        return std::string(text);
    return std::string(head).append(kEllipsis);
}

} // namespace kel
