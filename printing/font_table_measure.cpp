#include "printing/font_table_measure.h"

#include <algorithm>
#include <iterator>

#include "store/utf8.h"

namespace kel {

namespace {

struct Advance
{
    char32_t c;
    double regular;
    double bold;
};

// Written by tools/font_advances, in design units (2,048 an em), sorted by character.
#include "printing/liberation_sans.inc"

// As the Qt measure scales: the design at one pixel per unit, then to the point size in twips.
constexpr double kMinPoints = 0.5;
constexpr double kDesignUnits = 2048;

double scale(double points)
{
    return std::max(points, kMinPoints) * 20.0 / kDesignUnits;
}

} // namespace

double FontTableMeasure::textWidth(std::string_view, double points, bool bold, std::string_view text)
{
    // Qt sums a Latin-1 text character by character; any other it shapes whole, and shaped, the
    // soft hyphen and U+009C take no room.
    double sum = 0;
    double ignorable = 0;
    bool shaped = false;
    for (std::size_t i = 0; i < text.size();) {
        const bool stray = Utf8CharLength(text, i) == 1 && static_cast<unsigned char>(text[i]) >= 0x80;
        const char32_t c = stray ? char32_t(0xFFFD) : Utf8Next(text, i);
        if (stray)
            ++i;
        shaped = shaped || stray || c > 0xFF;
        if (c < 0x20 || c == 0x7F)
            continue;
        const Advance *a = std::lower_bound(std::begin(kAdvances), std::end(kAdvances), c,
                                            [](const Advance &x, char32_t v) { return x.c < v; });
        const bool known = a != std::end(kAdvances) && a->c == c;
        const double advance = known ? (bold ? a->bold : a->regular) : kMissingGlyph[bold];
        sum += advance;
        if (c == 0xAD || c == 0x9C)
            ignorable += advance;
    }
    return (shaped ? sum - ignorable : sum) * scale(points);
}

double FontTableMeasure::lineHeight(std::string_view, double points, bool bold)
{
    return kLineSpacing[bold] * scale(points);
}

} // namespace kel
