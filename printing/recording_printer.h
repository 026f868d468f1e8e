#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "printing/printer.h"

namespace kel {

// A printer that keeps every call, for exact assertions on the report, with metrics that do
// not depend on installed fonts:
// - widths from the advance widths of Helvetica (Arial and Liberation Sans share them), regular
//   or bold, in 1/1000 em for printable ASCII; control characters take no room and every other
//   character 556 (the width of a digit). Width in twips = sum * size * 20 / 1000;
// - line height = size * 20 * 1.149 twips: ascent + descent + line gap of Liberation Sans
//   (2355/2048 em, 1.1499), what the Qt printer measures;
// - a letter page with 1/4 inch margins: 11520 x 15120 twips printable.
// Positions follow the printer the report was written for: printLine prints at (X, Y), then
// Y moves down one line and X goes back to 0; drawLine leaves the position at its end; newPage
// sets X and Y to 0. The document opens with the first thing printed and is closed by endDoc.
class RecordingPrinter : public Printer
{
public:
    static constexpr double kLineHeightPerPoint = 20 * 1.149;
    static constexpr double kPageWidth = 11520;
    static constexpr double kPageHeight = 15120;
    static constexpr int kOtherCharWidth = 556;

    struct Event
    {
        enum Kind { Text, Line, NewPage, EndDoc };
        Kind kind = Text;
        // Page of the document the event lands on, from 1; 0 for an endDoc with nothing printed.
        int page = 0;
        double x = 0; // text: where it starts; line: first point
        double y = 0;
        double x2 = 0; // line: second point
        double y2 = 0;
        uint32_t rgb = 0;
        std::string text;
        std::string font;
        double size = 0;
        bool bold = false;
    };

    // Advance width of one character in 1/1000 em.
    static int charWidth(char32_t c, bool bold);

    void setFontName(std::string_view name) override { m_font.assign(name); }
    void setFontSize(double points) override { m_size = points; }
    void setFontBold(bool bold) override { m_bold = bold; }
    double currentX() const override { return m_x; }
    void setCurrentX(double twips) override { m_x = twips; }
    double currentY() const override { return m_y; }
    void setCurrentY(double twips) override { m_y = twips; }
    double textWidth(std::string_view text) override;
    double lineHeight() override { return m_size * kLineHeightPerPoint; }
    double pageHeight() const override { return m_pageHeight; }
    void printLine(std::string_view text) override;
    void drawLine(double x1, double y1, double x2, double y2, uint32_t rgb) override;
    void newPage() override;
    void endDoc() override;

    void setPageHeight(double twips) { m_pageHeight = twips; }

    const std::string &fontName() const { return m_font; }
    double fontSize() const { return m_size; }
    bool fontBold() const { return m_bold; }

    const std::vector<Event> &events() const { return m_events; }
    // The printed texts (empty lines included), or the drawn lines, in order.
    std::vector<Event> texts() const { return only(Event::Text); }
    std::vector<Event> lines() const { return only(Event::Line); }
    // True from the first thing printed until endDoc.
    bool isOpen() const { return m_page > 0; }
    // Documents closed by endDoc after something was printed.
    int documents() const { return m_documents; }
    int endDocCalls() const { return m_endDocCalls; }
    // Pages of the open document, or of the last one ended.
    int pages() const { return m_page > 0 ? m_page : m_lastPages; }
    // Back to a new printer; the event list keeps its memory.
    void clear();

private:
    void open();
    Event &record(Event::Kind kind);
    std::vector<Event> only(Event::Kind kind) const;

    std::string m_font = "Arial";
    double m_size = 10;
    bool m_bold = false;
    double m_x = 0;
    double m_y = 0;
    double m_pageHeight = kPageHeight;
    int m_page = 0;
    int m_lastPages = 0;
    int m_documents = 0;
    int m_endDocCalls = 0;
    std::vector<Event> m_events;
};

} // namespace kel
