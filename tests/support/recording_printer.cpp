#include "support/recording_printer.h"

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

int HelveticaMeasure::charWidth(char32_t c, bool bold)
{
    if (c < 32 || c == 127)
        return 0;
    if (c < 127)
        return (bold ? kBold : kRegular)[c - 32];
    if (c == 0x2026)
        return kEllipsisWidth;
    return kOtherCharWidth;
}

double HelveticaMeasure::textWidth(std::string_view, double points, bool bold, std::string_view text)
{
    long sum = 0;
    for (std::size_t i = 0; i < text.size();)
        sum += charWidth(Utf8Next(text, i), bold);
    return static_cast<double>(sum) * points * 20 / 1000;
}

namespace {
HelveticaMeasure helvetica;
} // namespace

RecordingPrinter::RecordingPrinter() : RecordedDocument(helvetica, kPageWidth, kPageHeight)
{}

void RecordingPrinter::endDoc()
{
    ++m_endDocCalls;
    if (isOpen())
        ++m_documents;
    RecordedDocument::endDoc();
}

void RecordingPrinter::clear()
{
    reset();
    setPageSize(kPageWidth, kPageHeight);
    m_documents = 0;
    m_endDocCalls = 0;
}

void RecordingTarget::print(Module1 &m, Form &f, const PrintRequest &r)
{
    ++asked;
    request = r;
    if (!cancel)
        PrintReport(m, f, printer, r);
}

std::vector<RecordingPrinter::Event> RecordingPrinter::events() const
{
    std::vector<Event> out;
    out.reserve(eventCount());
    for (std::size_t i = 0; i < eventCount(); ++i) {
        const RecordedDocument::Event e = event(i);
        out.push_back(
            {e.kind, e.page, e.x, e.y, e.x2, e.y2, e.rgb, std::string(e.text), std::string(e.font), e.size, e.bold});
    }
    return out;
}

std::vector<RecordingPrinter::Event> RecordingPrinter::only(Event::Kind kind) const
{
    std::vector<Event> out;
    for (const Event &e : events())
        if (e.kind == kind)
            out.push_back(e);
    return out;
}

} // namespace kel
