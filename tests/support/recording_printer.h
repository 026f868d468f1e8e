#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "printing/print_report.h"
#include "printing/recorded_document.h"

namespace kel {

// Metrics that do not depend on installed fonts:
// - widths from the advance widths of Helvetica (Arial and Liberation Sans share them), regular
//   or bold, in 1/1000 em for printable ASCII and the ellipsis (1000); control characters take no
//   room and every other character 556 (the width of a digit). Width in twips = sum * size * 20 /
//   1000;
// - line height = size * 20 * 1.149 twips: ascent + descent + line gap of Liberation Sans
//   (2355/2048 em, 1.1499), what the Qt printer measures.
class HelveticaMeasure : public TextMeasure
{
public:
    static constexpr double kLineHeightPerPoint = 20 * 1.149;
    static constexpr int kOtherCharWidth = 556;
    static constexpr int kEllipsisWidth = 1000;

    // Advance width of one character in 1/1000 em.
    static int charWidth(char32_t c, bool bold);

    double textWidth(std::string_view font, double points, bool bold, std::string_view text) override;
    double lineHeight(std::string_view, double points, bool) override { return points * kLineHeightPerPoint; }
};

// A recorded document on a letter page with 1/4 inch margins (11520 x 15120 twips printable),
// measured in Helvetica, with what the tests ask of it: the texts and lines printed, and how
// many documents were ended.
class RecordingPrinter : public RecordedDocument
{
public:
    static constexpr double kLineHeightPerPoint = HelveticaMeasure::kLineHeightPerPoint;
    static constexpr double kPageWidth = 11520;
    static constexpr double kPageHeight = 15120;

    // An event with its own copies of the texts.
    struct Event
    {
        using Kind = RecordedDocument::Event::Kind;
        static constexpr Kind Text = RecordedDocument::Event::Text;
        static constexpr Kind Line = RecordedDocument::Event::Line;
        static constexpr Kind NewPage = RecordedDocument::Event::NewPage;
        static constexpr Kind EndDoc = RecordedDocument::Event::EndDoc;
        Kind kind = Text;
        int page = 0;
        double x = 0;
        double y = 0;
        double x2 = 0;
        double y2 = 0;
        uint32_t rgb = 0;
        std::string text;
        std::string font;
        double size = 0;
        bool bold = false;
    };

    RecordingPrinter();

    std::vector<Event> events() const;
    void endDoc() override;

    void setPageHeight(double twips) { setPageSize(pageWidth(), twips); }
    void setPageWidth(double twips) { setPageSize(twips, pageHeight()); }

    // The printed texts (empty lines included), or the drawn lines, in order.
    std::vector<Event> texts() const { return only(Event::Text); }
    std::vector<Event> lines() const { return only(Event::Line); }
    // Documents closed by endDoc after something was printed.
    int documents() const { return m_documents; }
    int endDocCalls() const { return m_endDocCalls; }
    // Back to a new printer on a letter page.
    void clear();

private:
    std::vector<Event> only(Event::Kind kind) const;

    int m_documents = 0;
    int m_endDocCalls = 0;
};

// The "Print" button's target in tests: every report goes onto its recording printer, or, when
// cancelled (a user closing the preview), nowhere.
class RecordingTarget : public PrintTarget
{
public:
    void print(Module1 &m, Form &f, const PrintRequest &request) override;

    RecordingPrinter printer;
    bool cancel = false;
    int asked = 0;
    PrintRequest request; // the last one asked for
};

} // namespace kel
