#include "shell/printer/painter_printer.h"

#include <QColor>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPen>

namespace kel {

namespace {

// Rules are drawn half a point wide.
constexpr double kRuleTwips = 10;

} // namespace

PainterPrinter::PainterPrinter(QPagedPaintDevice *device)
    : m_device(device)
    , m_painter(&m_ownPainter)
    , m_dpi(device->logicalDpiY() > 0 ? device->logicalDpiY() : 1200)
{}

PainterPrinter::PainterPrinter(QPainter &painter, double pageWidth, double pageHeight)
    : m_device(nullptr)
    , m_painter(&painter)
    , m_pageWidth(pageWidth)
    , m_pageHeight(pageHeight)
    , m_dpi(painter.device()->logicalDpiY())
    , m_open(true)
{}

PainterPrinter::~PainterPrinter()
{
    endDoc();
}

void PainterPrinter::setFontName(std::string_view name)
{
    if (name != m_fontName) {
        m_fontName.assign(name);
        m_fontDirty = true;
    }
}

void PainterPrinter::setFontSize(double points)
{
    if (points != m_size) {
        m_size = points;
        m_fontDirty = true;
    }
}

void PainterPrinter::setFontBold(bool bold)
{
    if (bold != m_bold) {
        m_bold = bold;
        m_fontDirty = true;
    }
}

void PainterPrinter::applyFont()
{
    if (m_fontDirty) {
        m_font = QtTextMeasure::fontFor(m_fontName, m_size, m_bold);
        m_ascent = QFontMetricsF(m_font, m_painter->device()).ascent();
        m_fontDirty = false;
    }
}

double PainterPrinter::textWidth(std::string_view text)
{
    return m_measure.textWidth(m_fontName, m_size, m_bold, text);
}

double PainterPrinter::lineHeight()
{
    return m_measure.lineHeight(m_fontName, m_size, m_bold);
}

double PainterPrinter::pageWidth() const
{
    return m_device ? m_device->pageLayout().paintRect(QPageLayout::Inch).width() * 1440.0 : m_pageWidth;
}

double PainterPrinter::pageHeight() const
{
    return m_device ? m_device->pageLayout().paintRect(QPageLayout::Inch).height() * 1440.0 : m_pageHeight;
}

bool PainterPrinter::begin()
{
    if (m_open || m_gaveUp)
        return m_open;
    if (!m_painter->begin(m_device)) {
        m_failed = m_gaveUp = true;
        return false;
    }
    m_open = true;
    m_pages = 1;
    return true;
}

void PainterPrinter::printLine(std::string_view text)
{
    const double height = lineHeight();
    if (begin()) {
        const QString s = QtTextMeasure::printable(text);
        if (!s.isEmpty()) {
            applyFont();
            m_painter->setFont(m_font);
            m_painter->setPen(Qt::black);
            // Y is the top of the line; the painter draws on the baseline.
            m_painter->drawText(QPointF(toDevice(currentX()), toDevice(currentY()) + m_ascent), s);
        }
    }
    moveTo(0, currentY() + height);
}

void PainterPrinter::drawLine(double x1, double y1, double x2, double y2, uint32_t rgb)
{
    if (begin()) {
        QPen pen(QColor::fromRgb(rgb & 0xFFFFFF));
        pen.setWidthF(toDevice(kRuleTwips));
        pen.setCapStyle(Qt::FlatCap);
        m_painter->setPen(pen);
        m_painter->drawLine(QPointF(toDevice(x1), toDevice(y1)), QPointF(toDevice(x2), toDevice(y2)));
    }
    moveTo(x2, y2);
}

void PainterPrinter::newPage()
{
    if (m_device && begin()) {
        if (m_device->newPage())
            ++m_pages;
        else
            m_failed = true;
    }
    moveTo(0, 0);
}

void PainterPrinter::endDoc()
{
    if (!m_device) {
        moveTo(0, 0);
        return;
    }
    if (m_open && !m_painter->end())
        m_failed = true;
    m_open = false;
    m_gaveUp = false;
    moveTo(0, 0);
}

} // namespace kel
