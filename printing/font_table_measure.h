#pragma once

#include <string_view>

#include "printing/recorded_document.h"

namespace kel {

// The report's font measured from a table of Liberation Sans's advance widths (Arial's), made
// from the desktop's Qt measure by tools/font_advances: the same widths and line heights where
// Qt is not there to measure (the WebAssembly build). The table holds the characters a card
// decoded from Windows-1252 can hold; any other character takes the width of the font's
// missing-glyph box, where Qt would draw it from another font.
class FontTableMeasure : public TextMeasure
{
public:
    double textWidth(std::string_view font, double points, bool bold, std::string_view text) override;
    double lineHeight(std::string_view font, double points, bool bold) override;
};

} // namespace kel
