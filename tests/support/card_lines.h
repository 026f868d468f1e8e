#pragma once

// Lines of a card as the tests write them into files.
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

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

// One horse per figure text, each with a single PP; early figures all 95%.
inline std::string figuresCard(const std::vector<std::string> &kels)
{
    std::string card = "R1;Figures;A;\r\n";
    for (std::size_t i = 0; i < kels.size(); ++i)
        card += std::to_string(i + 1) + ";H" + std::to_string(i + 1) + ";120;x;B;\r\n" + ppLine(kels[i], "95%");
    return card;
}

// NULs in a race line, a horse's name and a KEL figure, which is then no figure.
inline std::string nulCard()
{
    return std::string("R1\0;A;\r\n1;N\0L;120;x;B;\r\n", 24) + ppLine(std::string{'9', '\0', '7', '%'}, "95%");
}

// More than a card holds: 60 races, 30 horses in race 1, 150 PPs for its first horse.
inline std::string overfullCard()
{
    std::string card;
    for (int r = 1; r <= 60; ++r) {
        card += "R" + std::to_string(r) + ";Big;A;\r\n";
        for (int h = 1; h <= (r == 1 ? 30 : 1); ++h) {
            card += std::to_string(h) + ";Horse " + std::to_string(h) + ";120;x;B;\r\n";
            for (int p = 1; p <= (r == 1 && h == 1 ? 150 : 1); ++p)
                card += ppLine(std::to_string(90 + p % 10) + "%", "95%");
        }
    }
    return card;
}

// Bytes of every value, the same on every run: a file that is no text.
inline std::string noiseBytes(std::size_t size)
{
    std::string bytes(size, '\0');
    uint32_t x = 7;
    for (char &c : bytes) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    return bytes;
}

// One race whose Final KEL figures all take the general number form, not the exact decimal
// road: seven decimals, a blank before "%", ten integer digits, a result below 10 and a negative
// one. Its Final KEL texts, PP by PP: kFallbackFinals.
inline std::string fallbackFiguresCard()
{
    return "R1;Fallback;6F;A;\r\n1;Alpha;120;x;B;\r\n" + ppLine("97.1234567%", "95.5%") + ppLine("97.5 %", "95%")
           + "2;Bravo;121;x;B;\r\n" + ppLine("52.3%", "95.1%", "2\xBA 118 (1)") + ppLine("1234567890%", "95%")
           + "3;Charlie;119;x;B;\r\n" + ppLine("0.1%", "0.3%") + ppLine("97%", "95%", "3\xBA 119 (4)");
}
inline constexpr std::string_view kFallbackFinals[3][2]
    = {{"98.7469134%", "100%"}, {"9.5%", "2469135685%"}, {"-0.1%", "99%"}};

// Card-like bytes: tagged lines of random fields with separators, quotes, high bytes, NULs and
// line ends of every kind, lines of any length, some far past 32 and 65,536 bytes.
inline std::string randomCardBytes(std::mt19937_64 &rng)
{
    static constexpr std::string_view kPieces[] = {"97%",
                                                   "1\xBA 12",
                                                   "\"q",
                                                   "q\"",
                                                   "Nu\xF1"
                                                   "ez",
                                                   "\xEF\xBB\xBF",
                                                   std::string_view("\0", 1),
                                                   " ",
                                                   "ab",
                                                   "----",
                                                   ";",
                                                   ";;"};
    static constexpr std::string_view kEnds[] = {"A;", "B;", "C;", "C;", "C;", "C;", "c;", "C", ";C;", ""};
    static constexpr std::string_view kBreaks[] = {"\r\n", "\n", "\r", "\r\n", "\n\r"};
    std::string card = rng() % 5 == 0 ? "\xEF\xBB\xBF" : "";
    const int lines = static_cast<int>(rng() % 400);
    for (int l = 0; l < lines; ++l) {
        const int fields = static_cast<int>(rng() % 20);
        for (int f = 0; f < fields; ++f) {
            const int pieces = static_cast<int>(rng() % 4);
            for (int k = 0; k < pieces; ++k)
                card += kPieces[rng() % std::size(kPieces)];
            if (rng() % 200 == 0)
                card += std::string(rng() % 2 ? 70000 : 40, 'x');
            card += ';';
        }
        card += kEnds[rng() % std::size(kEnds)];
        if (l + 1 < lines || rng() % 2)
            card += kBreaks[rng() % std::size(kBreaks)];
    }
    return card;
}

} // namespace kel::testing
