#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kel {

inline constexpr std::string_view kNoFigure = "----";

// 2 x KEL - Early, read by PercentNumber and written by GeneralNumber, then "%"; "----" when Early
// is "----", when either text is no figure or when the result overflows a double.
std::string FinalKel(std::string_view kel, std::string_view early);

inline constexpr std::size_t kMaxFinalKelLength = 40;

std::size_t PutFinalKel(std::string_view kel, std::string_view early, char *out);

// A card's figures take a few dozen values, so most PPs repeat a pair seen before, and copying
// its kept text costs a tenth of working it out again.
class FinalKelMemo
{
public:
    FinalKelMemo();

    // As PutFinalKel; the eight bytes from the start of each text must be readable.
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
