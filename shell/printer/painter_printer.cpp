#include "shell/printer/painter_printer.h"

#include <QColor>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPen>

namespace kel {

namespace {

constexpr double kMinPoints = 0.5;
// Widths and line heights come from the font's design at one pixel per font unit, scaled to
// the point size: the same at every device resolution, with no rounding of the pixel size.
constexpr int kDesignPixels = 2048;
// Rules are drawn half a point wide.
constexpr double kRuleTwips = 10;

} // namespace

PainterPrinter::PainterPrinter(QPagedPaintDevice *device)
    : m_device(device)
    , m_dpi(device->logicalDpiY() > 0 ? device->logicalDpiY() : 1200)
{
    m_font.setFamily(familyFor("Arial"));
    m_font.setPointSizeF(10);
    // Unhinted metrics keep the widths those of the font's design at every resolution.
    m_font.setHintingPreference(QFont::PreferNoHinting);
    m_font.setKerning(false);
}

PainterPrinter::~PainterPrinter()
{
    endDoc();
}

void PainterPrinter::useLetterPage(QPagedPaintDevice &device)
{
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                     QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch));
}

QString PainterPrinter::familyFor(std::string_view name)
{
    const QString family = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    if (family.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Sans");
    return family;
}

void PainterPrinter::setFontName(std::string_view name)
{
    m_font.setFamily(familyFor(name));
}

void PainterPrinter::setFontSize(double points)
{
    m_font.setPointSizeF(points >= kMinPoints ? points : kMinPoints);
}

void PainterPrinter::setFontBold(bool bold)
{
    m_font.setBold(bold);
}

QString PainterPrinter::printable(std::string_view text)
{
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    s.removeIf([](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
    return s;
}

QFontMetricsF PainterPrinter::designMetrics() const
{
    QFont design(m_font);
    design.setPixelSize(kDesignPixels);
    return QFontMetricsF(design);
}

double PainterPrinter::designScale() const
{
    return m_font.pointSizeF() * 20.0 / kDesignPixels;
}

double PainterPrinter::textWidth(std::string_view text)
{
    return designMetrics().horizontalAdvance(printable(text)) * designScale();
}

double PainterPrinter::lineHeight()
{
    return designMetrics().lineSpacing() * designScale();
}

double PainterPrinter::pageHeight() const
{
    return m_device->pageLayout().paintRect(QPageLayout::Inch).height() * 1440.0;
}

bool PainterPrinter::begin()
{
    if (m_open)
        return true;
    if (m_gaveUp)
        return false;
    if (!m_painter.begin(m_device)) {
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
        const QString s = printable(text);
        if (!s.isEmpty()) {
            m_painter.setFont(m_font);
            m_painter.setPen(Qt::black);
            // Y is the top of the line; the painter draws on the baseline.
            const double ascent = QFontMetricsF(m_font, m_device).ascent();
            m_painter.drawText(QPointF(toDevice(m_x), toDevice(m_y) + ascent), s);
        }
    }
    m_y += height;
    m_x = 0;
}

void PainterPrinter::drawLine(double x1, double y1, double x2, double y2, uint32_t rgb)
{
    if (begin()) {
        QPen pen(QColor::fromRgb(rgb & 0xFFFFFF));
        pen.setWidthF(toDevice(kRuleTwips));
        pen.setCapStyle(Qt::FlatCap);
        m_painter.setPen(pen);
        m_painter.drawLine(QPointF(toDevice(x1), toDevice(y1)), QPointF(toDevice(x2), toDevice(y2)));
    }
    m_x = x2;
    m_y = y2;
}

void PainterPrinter::newPage()
{
    if (begin() && m_device->newPage())
        ++m_pages;
    m_x = 0;
    m_y = 0;
}

void PainterPrinter::endDoc()
{
    if (m_open)
        m_painter.end();
    m_open = false;
    m_gaveUp = false;
    m_x = 0;
    m_y = 0;
}

} // namespace kel
