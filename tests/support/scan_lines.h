#pragma once

// Every line a LineScanner finds, as plain values: for holding the scan widths to the plain
// scan, and the scan over the bytes to a scan into a buffer of its own.
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "store/line_scanner.h"

namespace kel::testing {

struct LineSeen
{
    int number = 0;
    std::string text;
    std::size_t separators = 0;
    std::vector<std::size_t> kept; // the places the scanner keeps
    uint32_t quotedFields = 0;
    bool operator==(const LineSeen &) const = default;
};

// For test failures.
inline std::ostream &operator<<(std::ostream &out, const LineSeen &l)
{
    out << "line " << l.number << " '" << l.text << "', " << l.separators << " ;, kept";
    for (std::size_t k : l.kept)
        out << ' ' << k;
    return out << ", quoted " << l.quotedFields;
}

inline std::vector<LineSeen> scanLines(std::string_view bytes, bool decode, ScanWidth width,
                                       TextBuffer *inPlace = nullptr)
{
    std::vector<LineSeen> lines;
    LineScanner scanner(bytes, decode, inPlace, width);
    ScannedLine line;
    while (scanner.next(line)) {
        LineSeen seen{
            line.number, std::string(scanner.text() + line.begin, line.length), line.separators, {}, line.quotedFields};
        const std::size_t kept = std::min(line.separators, ScannedLine::kKeptSeparators);
        seen.kept.assign(line.separator, line.separator + kept);
        lines.push_back(std::move(seen));
    }
    // The text the store would get: the lines one after the other.
    std::string whole;
    for (const LineSeen &l : lines)
        whole += l.text;
    const TextBuffer text = scanner.takeText();
    if (text.view() != whole)
        lines.push_back({-1, "the scanner's text is not its lines' texts", 0, {}, 0});
    return lines;
}

} // namespace kel::testing
