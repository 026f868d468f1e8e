#pragma once

#include <string_view>

#include "printing/recorded_document.h"

namespace kel {

// Qt's widths where Qt is not there (the WebAssembly build), for the characters a card decoded
// from Windows-1252 can hold; any other takes the missing-glyph box's width, where Qt would draw
// it from another font.
class FontTableMeasure : public TextMeasure
{
public:
    double textWidth(std::string_view font, double points, bool bold, std::string_view text) override;
    double lineHeight(std::string_view font, double points, bool bold) override;
};

} // namespace kel
