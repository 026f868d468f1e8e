#pragma once

// Lines of a card as the tests write them into files.
#include <string>
#include <string_view>

namespace kel::testing {

inline std::string repeat(std::string_view piece, int n)
{
    std::string s;
    s.reserve(piece.size() * static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        s += piece;
    return s;
}

// A PP line with all 15 data fields: the given KEL and Early KEL figures and finishing text.
inline std::string ppLine(std::string_view kel, std::string_view early, std::string_view pos = "1\xBA 120 (2)")
{
    return "Others;" + std::string(pos) + ";3;6F;1:10;d-f;25K;3.5;Smith;1-2;01/02/03;AQU;" + std::string(kel) + ";x;"
           + std::string(early) + ";C;\r\n";
}

} // namespace kel::testing
