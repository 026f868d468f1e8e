#pragma once

#include <cstdint>
#include <string_view>

namespace kel {

// The printer as the report uses it. Positions are twips from the printable page's top-left
// corner; font sizes are points. The document opens with the first text printed.
class Printer
{
public:
    virtual ~Printer() = default;

    virtual void setFontName(std::string_view name) = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setFontBold(bool bold) = 0;

    double currentX() const { return m_x; }
    void setCurrentX(double twips) { m_x = twips; }
    double currentY() const { return m_y; }
    void setCurrentY(double twips) { m_y = twips; }

    // In twips; texts are UTF-8, and control characters take no room.
    virtual double textWidth(std::string_view text) = 0;
    // What printLine moves Y down.
    virtual double lineHeight() = 0;
    // Of the printable area.
    virtual double pageWidth() const = 0;
    virtual double pageHeight() const = 0;
    // Prints at the current position, then moves down one line of the current font, X back to 0.
    virtual void printLine(std::string_view text) = 0;
    // Draws a line; the current position moves to its end.
    virtual void drawLine(double x1, double y1, double x2, double y2, uint32_t rgb) = 0;
    // The current position becomes (0, 0).
    virtual void newPage() = 0;
    virtual void endDoc() = 0;
    // Told of a field the report had no room for on this paper, so that it is not printed, each
    // time it is met; a printer may keep it to tell the user.
    virtual void noteLeftOut(std::string_view field) { static_cast<void>(field); }

protected:
    void moveTo(double x, double y)
    {
        m_x = x;
        m_y = y;
    }

private:
    double m_x = 0;
    double m_y = 0;
};

} // namespace kel
