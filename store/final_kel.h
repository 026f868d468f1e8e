#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kel {

// The text of a figure a PP lacks, as the cards write it and the loader fills it in.
inline constexpr std::string_view kNoFigure = "----";

// The Final KEL figure of a PP from its KEL and Early KEL texts: 2 x KEL - Early, the figures
// read by PercentNumber and the result written by GeneralNumber, followed by "%". "----" when
// Early is "----", when either text is no figure, or when the result overflows a double.
std::string FinalKel(std::string_view kel, std::string_view early);

// The most bytes a Final KEL text takes.
inline constexpr std::size_t kMaxFinalKelLength = 40;

// FinalKel written at out (kMaxFinalKelLength bytes there writable); returns its length.
std::size_t PutFinalKel(std::string_view kel, std::string_view early, char *out);

// The loader's FinalKel: a card's figures take a few dozen values, so most of its PPs repeat a
// pair of figures seen before, and copying the text kept for the pair costs a tenth of working
// it out again. Pairs of texts of at most 8 bytes are kept, the latest per slot of a small table.
class FinalKelMemo
{
public:
    FinalKelMemo();

    // PutFinalKel, from the table when the pair is there (kMaxFinalKelLength bytes at out
    // writable). The eight bytes from the start of each text must be readable.
    std::size_t put(std::string_view kel, std::string_view early, char *out);

private:
    struct Entry
    {
        uint64_t kel = 0;
        uint64_t early = 0;
        uint16_t lengths = 0xFFFF; // no pair has it: empty
        uint8_t size = 0;
        char text[29] = {};
    };
    static constexpr std::size_t kEntries = 2048;

    std::vector<Entry> m_entries;
};

} // namespace kel
