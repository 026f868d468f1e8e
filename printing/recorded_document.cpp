#include "printing/recorded_document.h"

namespace kel {

RecordedDocument::RecordedDocument(TextMeasure &measure, double pageWidth, double pageHeight)
    : m_measure(&measure)
    , m_pageWidth(pageWidth)
    , m_pageHeight(pageHeight)
{}

double RecordedDocument::textWidth(std::string_view text)
{
    return m_measure->textWidth(m_font, m_size, m_bold, text);
}

double RecordedDocument::lineHeight()
{
    return m_measure->lineHeight(m_font, m_size, m_bold);
}

void RecordedDocument::setPageSize(double width, double height)
{
    m_pageWidth = width;
    m_pageHeight = height;
}

void RecordedDocument::reset()
{
    m_events.clear();
    m_font = "Arial";
    m_size = 10;
    m_bold = false;
    m_x = m_y = 0;
    m_page = m_lastPages = 0;
}

RecordedDocument::Event &RecordedDocument::record(Event::Kind kind)
{
    if (kind != Event::EndDoc && m_page == 0)
        m_page = 1;
    Event &e = m_events.emplace_back();
    e.kind = kind;
    e.page = m_page;
    return e;
}

void RecordedDocument::printLine(std::string_view text)
{
    const double height = lineHeight();
    Event &e = record(Event::Text);
    e.x = m_x;
    e.y = m_y;
    e.text.assign(text);
    e.font = m_font;
    e.size = m_size;
    e.bold = m_bold;
    m_y += height;
    m_x = 0;
}

void RecordedDocument::drawLine(double x1, double y1, double x2, double y2, uint32_t rgb)
{
    Event &e = record(Event::Line);
    e.x = x1;
    e.y = y1;
    e.x2 = x2;
    e.y2 = y2;
    e.rgb = rgb;
    m_x = x2;
    m_y = y2;
}

void RecordedDocument::newPage()
{
    if (m_page == 0)
        m_page = 1;
    ++m_page;
    record(Event::NewPage);
    m_x = 0;
    m_y = 0;
}

void RecordedDocument::endDoc()
{
    record(Event::EndDoc);
    if (m_page > 0)
        m_lastPages = m_page;
    m_page = 0;
    m_x = 0;
    m_y = 0;
}

bool RecordedDocument::replay(Printer &out, const std::function<bool(int)> &wanted,
                              const std::function<bool(int)> &going) const
{
    int open = 0; // page of the document now printed on out
    int done = 0;
    for (const Event &e : m_events) {
        if (e.kind != Event::Text && e.kind != Event::Line)
            continue;
        if (wanted && !wanted(e.page))
            continue;
        if (e.page != open) {
            if (going && !going(done))
                return false;
            if (open != 0)
                out.newPage();
            open = e.page;
            ++done;
        }
        if (e.kind == Event::Text) {
            out.setFontName(e.font);
            out.setFontSize(e.size);
            out.setFontBold(e.bold);
            out.setCurrentX(e.x);
            out.setCurrentY(e.y);
            out.printLine(e.text);
        } else {
            out.drawLine(e.x, e.y, e.x2, e.y2, e.rgb);
        }
    }
    if (going && !going(done))
        return false;
    out.endDoc();
    return true;
}

} // namespace kel
