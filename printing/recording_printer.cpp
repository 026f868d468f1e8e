#include "printing/recording_printer.h"

#include <array>

#include "store/utf8.h"

namespace kel {

namespace {

// Helvetica and Helvetica-Bold, characters 32 to 126 (the apostrophe is the straight quote of
// Arial, 191 and 238, and the backquote its grave accent).
// clang-format off
constexpr std::array<short, 95> kRegular = {
    278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278,  //  !"#$%&'()*+,-./
    556, 556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556,  // 0-9 :;<=>?
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778, // @A-O
    667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556,  // P-Z [\]^_
    333, 556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556,  // `a-o
    556, 556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584,       // p-z {|}~
};
constexpr std::array<short, 95> kBold = {
    278, 333, 474, 556, 556, 889, 722, 238, 333, 333, 389, 584, 278, 333, 278, 278,
    556, 556, 556, 556, 556, 556, 556, 556, 556, 556, 333, 333, 584, 584, 584, 611,
    975, 722, 722, 722, 722, 667, 611, 778, 722, 278, 556, 722, 611, 833, 722, 778,
    667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 333, 278, 333, 584, 556,
    333, 556, 611, 556, 611, 556, 333, 611, 611, 278, 278, 556, 278, 889, 611, 611,
    611, 611, 389, 556, 333, 611, 556, 778, 556, 556, 500, 389, 280, 389, 584,
};
// clang-format on

} // namespace

int RecordingPrinter::charWidth(char32_t c, bool bold)
{
    if (c < 32 || c == 127)
        return 0;
    if (c < 127)
        return (bold ? kBold : kRegular)[c - 32];
    return kOtherCharWidth;
}

double RecordingPrinter::textWidth(std::string_view text)
{
    long sum = 0;
    for (std::size_t i = 0; i < text.size();)
        sum += charWidth(Utf8Next(text, i), m_bold);
    return static_cast<double>(sum) * m_size * 20 / 1000;
}

void RecordingPrinter::clear()
{
    std::vector<Event> events = std::move(m_events);
    events.clear();
    *this = RecordingPrinter();
    m_events = std::move(events);
}

void RecordingPrinter::open()
{
    if (m_page == 0)
        m_page = 1;
}

RecordingPrinter::Event &RecordingPrinter::record(Event::Kind kind)
{
    Event &e = m_events.emplace_back();
    e.kind = kind;
    e.page = m_page;
    return e;
}

void RecordingPrinter::printLine(std::string_view text)
{
    open();
    Event &e = record(Event::Text);
    e.x = m_x;
    e.y = m_y;
    e.text.assign(text);
    e.font = m_font;
    e.size = m_size;
    e.bold = m_bold;
    m_y += lineHeight();
    m_x = 0;
}

void RecordingPrinter::drawLine(double x1, double y1, double x2, double y2, uint32_t rgb)
{
    open();
    Event &e = record(Event::Line);
    e.x = x1;
    e.y = y1;
    e.x2 = x2;
    e.y2 = y2;
    e.rgb = rgb;
    m_x = x2;
    m_y = y2;
}

void RecordingPrinter::newPage()
{
    open();
    ++m_page;
    record(Event::NewPage);
    m_x = 0;
    m_y = 0;
}

void RecordingPrinter::endDoc()
{
    ++m_endDocCalls;
    record(Event::EndDoc);
    if (m_page > 0) {
        ++m_documents;
        m_lastPages = m_page;
    }
    m_page = 0;
    m_x = 0;
    m_y = 0;
}

std::vector<RecordingPrinter::Event> RecordingPrinter::only(Event::Kind kind) const
{
    std::vector<Event> out;
    for (const Event &e : m_events)
        if (e.kind == kind)
            out.push_back(e);
    return out;
}

} // namespace kel
