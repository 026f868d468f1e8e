#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "printing/printer.h"

namespace kel {

// The metrics of the printer a document is made for, in twips, as Printer's.
class TextMeasure
{
public:
    virtual ~TextMeasure() = default;
    virtual double textWidth(std::string_view font, double points, bool bold, std::string_view text) = 0;
    virtual double lineHeight(std::string_view font, double points, bool bold) = 0;
};

// Printed once and kept, so that the preview, the printer and a PDF show the same pages without
// driving the grid again; measured with the metrics of the printer it is meant for.
class RecordedDocument : public Printer
{
public:
    // One thing printed; its texts are views into the document.
    struct Event
    {
        enum Kind : uint8_t { Text, Line, NewPage, EndDoc };
        Kind kind = Text;
        bool bold = false;
        // Page of the document the event lands on, from 1; 0 for an endDoc with nothing printed.
        int page = 0;
        double x = 0; // text: where it starts; line: first point
        double y = 0;
        double x2 = 0; // line: second point
        double y2 = 0;
        uint32_t rgb = 0;
        double size = 0;
        std::string_view text;
        std::string_view font;
    };

    // The measure must outlive the document.
    RecordedDocument(TextMeasure &measure, double pageWidth, double pageHeight);

    void setFontName(std::string_view name) override { m_font.assign(name); }
    void setFontSize(double points) override { m_size = points; }
    void setFontBold(bool bold) override { m_bold = bold; }
    double textWidth(std::string_view text) override;
    double lineHeight() override;
    double pageWidth() const override { return m_pageWidth; }
    double pageHeight() const override { return m_pageHeight; }
    void printLine(std::string_view text) override;
    void drawLine(double x1, double y1, double x2, double y2, uint32_t rgb) override;
    void newPage() override;
    void endDoc() override;
    void noteLeftOut(std::string_view field) override;

    std::size_t eventCount() const { return m_items.size(); }
    Event event(std::size_t i) const;
    bool isOpen() const { return m_page > 0; }
    // Pages of the open document, or of the last one ended; 0 when nothing was printed.
    int pages() const { return m_page > 0 ? m_page : m_lastPages; }
    // The fields noted as left out for want of room, each once, in the order first noted.
    const std::vector<std::string> &leftOut() const { return m_leftOut; }

    // The pages wanted(page) holds for (all when it is empty), ending the document on out; false
    // when going(pages done), asked before each page and after the last, stops it, out left open.
    bool replay(Printer &out, const std::function<bool(int page)> &wanted = {},
                const std::function<bool(int pagesDone)> &going = {}) const;
    // Prints the texts and lines of one page of the open or last document onto out as they are,
    // without starting or ending a page there: what a preview draws of that page.
    void replayPage(Printer &out, int page) const;

protected:
    void setPageSize(double width, double height);
    // Back to an empty document; the event list keeps its memory.
    void reset();

private:
    struct TextPart
    {
        double size;
        std::size_t start;
    };
    struct LinePart
    {
        double x2, y2;
    };
    // An event as kept, in 48 bytes: a text's characters in m_texts, its font in m_fonts.
    struct Item
    {
        Event::Kind kind;
        bool bold;
        uint16_t font;
        int page;
        double x, y;
        union
        {
            TextPart text;
            LinePart line;
        };
        uint32_t rgbOrLength;
    };
    Item &record(Event::Kind kind);
    static void put(Printer &out, const Event &e);

    TextMeasure *m_measure;
    double m_pageWidth;
    double m_pageHeight;
    std::string m_font = "Arial";
    double m_size = 10;
    bool m_bold = false;
    int m_page = 0;
    int m_lastPages = 0;
    std::deque<Item> m_items; // grows without moving what it holds
    std::string m_texts;
    std::vector<std::string> m_fonts;
    // Where each page of the open or last document starts in m_items.
    std::vector<std::size_t> m_pageStarts;
    std::vector<std::string> m_leftOut;
};

} // namespace kel
