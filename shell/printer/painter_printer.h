#pragma once

#include <QFont>
#include <QPainter>

#include "printing/printer.h"
#include "shell/printer/qt_text_measure.h"

class QPagedPaintDevice;

namespace kel {

// On a QPrinter or a QPdfWriter, or a painter's page of the preview, in the fonts of
// QtTextMeasure. The painter begins with the first thing printed, so that nothing is written to
// the device when nothing was printed; endDoc (or the destructor) ends it.
class PainterPrinter : public Printer
{
public:
    // The device must outlive the printer.
    explicit PainterPrinter(QPagedPaintDevice *device);
    // Draws with a painter begun on a device of any kind (a page of the preview, an image) at
    // that device's resolution, twip (0, 0) at the painter's origin, on a page of the given
    // printable size; the painter is the caller's, so new pages and the end leave it drawing.
    PainterPrinter(QPainter &painter, double pageWidth, double pageHeight);
    ~PainterPrinter() override;
    PainterPrinter(const PainterPrinter &) = delete;
    PainterPrinter &operator=(const PainterPrinter &) = delete;

    void setFontName(std::string_view name) override;
    void setFontSize(double points) override;
    void setFontBold(bool bold) override;
    double textWidth(std::string_view text) override;
    double lineHeight() override;
    double pageWidth() const override;
    double pageHeight() const override;
    void printLine(std::string_view text) override;
    void drawLine(double x1, double y1, double x2, double y2, uint32_t rgb) override;
    void newPage() override;
    void endDoc() override;

    // The painter could not begin or end, or the device refused a page.
    bool failed() const { return m_failed; }
    bool finish()
    {
        endDoc();
        return !m_failed;
    }
    void blankPage() { begin(); }
    // Pages begun in the current or last document.
    int pages() const { return m_pages; }

private:
    bool begin();
    double toDevice(double twips) const { return twips * m_dpi / 1440.0; }
    void applyFont();

    QPagedPaintDevice *m_device; // null when drawing with the caller's painter
    QPainter m_ownPainter;
    QPainter *m_painter;
    double m_pageWidth = 0;
    double m_pageHeight = 0;
    QtTextMeasure m_measure;
    std::string m_fontName = "Arial";
    double m_size = 10;
    bool m_bold = false;
    QFont m_font;
    double m_ascent = 0;
    bool m_fontDirty = true;
    double m_dpi;
    bool m_open = false;
    bool m_failed = false;
    bool m_gaveUp = false; // on the current document
    int m_pages = 0;
};

} // namespace kel
