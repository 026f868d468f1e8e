#pragma once

// Properties every rated card keeps, whatever file it came from. They are written from what a
// reader of the grid relies on, not from the engine's code: a label is "[A-1]" to "[E-n]" or
// "[Z-99]", "% W" is a whole number or "n/a", and no text that is not a number ever counts as
// a figure.

#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "store/module1.h"

namespace kel::fuzz {

inline bool allDigits(std::string_view t)
{
    if (t.empty())
        return false;
    for (char c : t)
        if (c < '0' || c > '9')
            return false;
    return true;
}

inline int wholeNumber(std::string_view t)
{
    int n = -1;
    if (allDigits(t) && t.size() < 7)
        std::from_chars(t.data(), t.data() + t.size(), n);
    return n;
}

// What the window hands to Qt and the printer measures: well-formed UTF-8 only.
inline bool validUtf8(std::string_view t)
{
    for (std::size_t i = 0; i < t.size();) {
        const auto c = static_cast<unsigned char>(t[i]);
        const std::size_t len = c < 0x80 ? 1 : c >= 0xF5 ? 0 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
        if (len == 0 || len > t.size() - i)
            return false;
        for (std::size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(t[i + k]) & 0xC0) != 0x80)
                return false;
        i += len;
    }
    return true;
}

// A rating label of a race of `horses` horses.
inline bool isLabel(std::string_view t, int horses)
{
    if (t.size() < 5 || t.front() != '[' || t.back() != ']' || t[2] != '-')
        return false;
    const int rank = wholeNumber(t.substr(3, t.size() - 4));
    if (t[1] == 'Z')
        return rank == 99;
    return t[1] >= 'A' && t[1] <= 'E' && rank >= 1 && rank <= horses;
}

// "starts wins-seconds-thirds" with the placings among the starts.
inline bool isRecord(std::string_view t)
{
    const auto blank = t.find(' ');
    const auto d1 = t.find('-');
    const auto d2 = d1 == std::string_view::npos ? d1 : t.find('-', d1 + 1);
    if (blank == std::string_view::npos || d2 == std::string_view::npos || blank > d1)
        return false;
    const int starts = wholeNumber(t.substr(0, blank));
    const int w = wholeNumber(t.substr(blank + 1, d1 - blank - 1));
    const int s = wholeNumber(t.substr(d1 + 1, d2 - d1 - 1));
    const int th = wholeNumber(t.substr(d2 + 1));
    return starts >= 0 && w >= 0 && s >= 0 && th >= 0 && w + s + th <= starts && starts <= 84;
}

// Could the text be a figure at all: a number (sign, digits, point, blanks around) and one
// character after it, of one to four bytes ("%", "º", "‰"). "%", "abc%", "NaN%" or "1e400%"
// cannot.
inline bool mayBeFigure(std::string_view t)
{
    std::size_t last = t.size();
    while (last > 0 && t.size() - last < 3 && (static_cast<unsigned char>(t[last - 1]) & 0xC0) == 0x80)
        --last;
    if (last > 0)
        --last;
    if (last == 0)
        return false;
    bool digit = false;
    for (char c : t.substr(0, last)) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c != '+' && c != '-' && c != '.' && c != ' ' && c != '\t')
            return false;
    }
    return digit;
}

// A figure the loader computed: a finite number followed by "%".
inline bool isComputedFigure(std::string_view t)
{
    if (t.size() < 2 || t.back() != '%')
        return false;
    const std::string_view body = t.substr(0, t.size() - 1);
    double v = 0;
    const auto res = std::from_chars(body.data(), body.data() + body.size(), v);
    return res.ec == std::errc() && res.ptr == body.data() + body.size() && std::isfinite(v);
}

inline int horseCount(const RaceStore &d, int r)
{
    int h = 0;
    while (h < RaceStore::kMaxHorse && !d(r, h + 1, 0, 1).empty())
        ++h;
    return h;
}

inline int raceCount(const RaceStore &d)
{
    int r = 0;
    while (r < RaceStore::kMaxRace && !d(r + 1, 0, 0, 1).empty())
        ++r;
    return r;
}

// PPs the pages list: from PP 1 while PP slot 1 is not empty.
inline int listedPPs(const RaceStore &d, int r, int h)
{
    int p = 0;
    while (p < RaceStore::kMaxPP && !d(r, h, p + 1, 1).empty())
        ++p;
    return p;
}

// True when some PP the engine may look at (PP 1 to 84, unmarked) has a figure text in the slot.
inline bool hasCandidateFigure(const RaceStore &d, int r, int h, int slot)
{
    for (int p = 1; p <= 84 && !d(r, h, p, 2).empty(); ++p) {
        const std::string_view mark = d(r, h, p, 0);
        if (mark != "S" && mark != "F" && mayBeFigure(d(r, h, p, slot)))
            return true;
    }
    return false;
}

// Checks every horse the engine rated (with ratedRace 0 all races, else that one).
inline void CheckRatedCard(const Module1 &m, int ratedRace = 0)
{
    const RaceStore &d = m.Data;
    const int races = raceCount(d);
    for (int r = 1; r <= races; ++r) {
        if (ratedRace != 0 && r != ratedRace)
            continue;
        const int horses = horseCount(d, r);
        for (int h = 1; h <= horses; ++h) {
            for (int kind = 3; kind <= 5; ++kind) {
                const std::string_view label = d(r, h, 0, kind + 2);
                KEL_FUZZ_CHECK(isLabel(label, horses), "a rated horse has a well-formed label");
                if (!hasCandidateFigure(d, r, h, kind))
                    KEL_FUZZ_CHECK(label == "[Z-99]", "a horse without any figure text is not rated");
            }
            const std::string_view win = d(r, h, 0, 8);
            KEL_FUZZ_CHECK(win == "n/a" || (allDigits(win) && win.size() <= 3), "% W is a whole number or n/a");
            KEL_FUZZ_CHECK(isRecord(d(r, h, 0, 4)), "the record is starts wins-seconds-thirds");
        }
    }
}

// The Final KEL figure of every PP is "----" or a finite number computed from two figures.
inline void CheckFinalFigures(const RaceStore &d)
{
    const int races = raceCount(d);
    for (int r = 1; r <= races; ++r) {
        const int horses = horseCount(d, r);
        for (int h = 1; h <= horses; ++h) {
            for (int p = 1; p <= RaceStore::kMaxPP && !d(r, h, p, 2).empty(); ++p) {
                const std::string_view fin = d(r, h, p, 5);
                if (fin == "----" || fin.empty())
                    continue;
                KEL_FUZZ_CHECK(isComputedFigure(fin), "Final KEL is a finite figure");
                KEL_FUZZ_CHECK(mayBeFigure(d(r, h, p, 3)) && mayBeFigure(d(r, h, p, 4)),
                               "Final KEL comes from two figures");
            }
        }
    }
}

} // namespace kel::fuzz
