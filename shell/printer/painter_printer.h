#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QString>

#include "printing/printer.h"

class QPagedPaintDevice;

namespace kel {

// The report's printer drawn with QPainter on a paged device: a QPrinter from the window's
// print dialog or a QPdfWriter from the report tool. Twip (0, 0) is the top-left corner of the
// device's printable area. "Arial" is drawn as Liberation Sans, whose advance widths are
// Arial's, so the report's measured columns hold on paper.
//
// The painter begins with the first thing printed; endDoc (or the destructor) ends it. Nothing
// is written to the device when nothing was printed.
class PainterPrinter : public Printer
{
public:
    // The device must outlive the printer. Its page layout is used as it is.
    explicit PainterPrinter(QPagedPaintDevice *device);
    ~PainterPrinter() override;
    PainterPrinter(const PainterPrinter &) = delete;
    PainterPrinter &operator=(const PainterPrinter &) = delete;

    // Letter paper, portrait, 1/4 inch margins: what the report's 11500-twip rules fit in.
    static void useLetterPage(QPagedPaintDevice &device);

    void setFontName(std::string_view name) override;
    void setFontSize(double points) override;
    void setFontBold(bool bold) override;
    double currentX() const override { return m_x; }
    void setCurrentX(double twips) override { m_x = twips; }
    double currentY() const override { return m_y; }
    void setCurrentY(double twips) override { m_y = twips; }
    double textWidth(std::string_view text) override;
    double lineHeight() override;
    double pageHeight() const override;
    void printLine(std::string_view text) override;
    void drawLine(double x1, double y1, double x2, double y2, uint32_t rgb) override;
    void newPage() override;
    void endDoc() override;

    // True once the painter could not begin on the device (an unwritable file, say).
    bool failed() const { return m_failed; }
    // Pages begun in the current or last document.
    int pages() const { return m_pages; }

    // The family drawn for a font name of the report.
    static QString familyFor(std::string_view name);

private:
    bool begin();
    QFontMetricsF designMetrics() const;
    double designScale() const;
    double toDevice(double twips) const { return twips * m_dpi / 1440.0; }
    double toTwips(double device) const { return device * 1440.0 / m_dpi; }
    // The text as drawn: control characters take no room.
    static QString printable(std::string_view text);

    QPagedPaintDevice *m_device;
    QPainter m_painter;
    QFont m_font;
    double m_dpi;
    double m_x = 0;
    double m_y = 0;
    bool m_open = false;
    bool m_failed = false;
    bool m_gaveUp = false; // for the current document
    int m_pages = 0;
};

} // namespace kel
