#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "store/utf8.h"

namespace kel {

// What is drawn (grid cells, the two labels, message boxes, printed texts) is at most this many
// characters: a card field of megabytes would otherwise take minutes of text layout on the
// user-interface thread, for a line nobody can read. The store keeps every byte.
inline constexpr std::size_t kDisplayChars = 1000;

// The text as drawn: a longer one is cut after kDisplayChars characters and ends in "…".
inline std::string DisplayText(std::string_view text)
{
    // A text has at most as many characters as bytes.
    if (text.size() <= kDisplayChars)
        return std::string(text);
    const std::string_view head = Utf8Left(text, kDisplayChars);
    if (head.size() == text.size())
        return std::string(text);
    return std::string(head) + "\u2026";
}

} // namespace kel
