#pragma once

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include <QFont>
#include <QFontMetricsF>
#include <QString>

#include "printing/recorded_document.h"

namespace kel {

// "Arial" is drawn as Liberation Sans, with Arial's advances. Widths come from the design at one
// pixel per font unit, scaled: the same at every resolution, and what a PDF places glyphs by.
class QtTextMeasure : public TextMeasure
{
public:
    double textWidth(std::string_view font, double points, bool bold, std::string_view text) override;
    double lineHeight(std::string_view font, double points, bool bold) override;

    // Unhinted and without kerning, so that drawn widths are the measured ones.
    static QFont fontFor(std::string_view name, double points, bool bold);
    // Control characters take no room.
    static QString printable(std::string_view text);

private:
    struct Design
    {
        QFontMetricsF metrics;
        // Of the Latin-1 characters, filled as they are met (negative until then).
        std::array<double, 256> advances;
        // That of the ellipsis that ends a cut text, likewise.
        double ellipsis;
    };
    Design &design(std::string_view font, bool bold);

    std::map<std::pair<std::string, bool>, Design, std::less<>> m_designs;
};

} // namespace kel
