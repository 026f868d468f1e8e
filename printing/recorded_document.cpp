#include "printing/recorded_document.h"

#include <algorithm>

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
    m_items.clear();
    m_texts.clear();
    m_fonts.clear();
    m_pageStarts.clear();
    m_leftOut.clear();
    m_font = "Arial";
    m_size = 10;
    m_bold = false;
    moveTo(0, 0);
    m_page = m_lastPages = 0;
}

RecordedDocument::Event RecordedDocument::event(std::size_t i) const
{
    const Item &it = m_items[i];
    Event e;
    e.kind = it.kind;
    e.bold = it.bold;
    e.page = it.page;
    e.x = it.x;
    e.y = it.y;
    if (it.kind == Event::Text) {
        e.size = it.text.size;
        e.text = std::string_view(m_texts).substr(it.text.start, it.rgbOrLength);
        e.font = m_fonts[it.font];
    } else if (it.kind == Event::Line) {
        e.x2 = it.line.x2;
        e.y2 = it.line.y2;
        e.rgb = it.rgbOrLength;
    }
    return e;
}

RecordedDocument::Item &RecordedDocument::record(Event::Kind kind)
{
    if (kind != Event::EndDoc && m_page == 0) {
        m_page = 1;
        m_pageStarts.assign(1, m_items.size());
    }
    Item &e = m_items.emplace_back();
    e.kind = kind;
    e.bold = false;
    e.font = 0;
    e.page = m_page;
    e.x = e.y = 0;
    e.line = {0, 0};
    e.rgbOrLength = 0;
    return e;
}

void RecordedDocument::printLine(std::string_view text)
{
    const double height = lineHeight();
    // The report uses one font name: the list stays one long.
    auto font = std::find(m_fonts.begin(), m_fonts.end(), m_font);
    if (font == m_fonts.end())
        font = m_fonts.insert(font, m_font);
    Item &e = record(Event::Text);
    e.font = static_cast<uint16_t>(font - m_fonts.begin());
    e.x = currentX();
    e.y = currentY();
    e.text = {m_size, m_texts.size()};
    e.rgbOrLength = static_cast<uint32_t>(text.size());
    m_texts.append(text);
    e.bold = m_bold;
    moveTo(0, currentY() + height);
}

void RecordedDocument::drawLine(double x1, double y1, double x2, double y2, uint32_t rgb)
{
    Item &e = record(Event::Line);
    e.x = x1;
    e.y = y1;
    e.line = {x2, y2};
    e.rgbOrLength = rgb;
    moveTo(x2, y2);
}

void RecordedDocument::newPage()
{
    // A document begun by a new page has an empty first page.
    if (m_page == 0) {
        m_page = 1;
        m_pageStarts.assign(1, m_items.size());
    }
    ++m_page;
    m_pageStarts.push_back(m_items.size());
    record(Event::NewPage);
    moveTo(0, 0);
}

void RecordedDocument::endDoc()
{
    record(Event::EndDoc);
    if (m_page > 0)
        m_lastPages = m_page;
    m_page = 0;
    moveTo(0, 0);
}

void RecordedDocument::noteLeftOut(std::string_view field)
{
    if (std::find(m_leftOut.begin(), m_leftOut.end(), field) == m_leftOut.end())
        m_leftOut.emplace_back(field);
}

void RecordedDocument::put(Printer &out, const Event &e)
{
    if (e.kind == Event::Text) {
        out.setFontName(e.font);
        out.setFontSize(e.size);
        out.setFontBold(e.bold);
        out.setCurrentX(e.x);
        out.setCurrentY(e.y);
        out.printLine(e.text);
    } else if (e.kind == Event::Line) {
        out.drawLine(e.x, e.y, e.x2, e.y2, e.rgb);
    }
}

void RecordedDocument::replayPage(Printer &out, int page) const
{
    if (page < 1 || page > static_cast<int>(m_pageStarts.size()))
        return;
    const std::size_t end = page < static_cast<int>(m_pageStarts.size()) ? m_pageStarts[page] : m_items.size();
    for (std::size_t i = m_pageStarts[page - 1]; i < end; ++i)
        put(out, event(i));
}

bool RecordedDocument::replay(Printer &out, const std::function<bool(int)> &wanted,
                              const std::function<bool(int)> &going) const
{
    int open = 0; // page of the document now printed on out
    int done = 0;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const Event e = event(i);
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
        put(out, e);
    }
    if (going && !going(done))
        return false;
    out.endDoc();
    return true;
}

} // namespace kel
