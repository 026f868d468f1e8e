#pragma once

#include <memory>

#include "printing/print_report.h"

class QPrinter;
class QWidget;

namespace kel {

class PainterPrinter;

// The window's print target: the platform's print dialog (a printer, or a PDF file), then
// QPainter on the printer chosen. The printer and its settings are kept between reports.
class DialogPrintTarget : public PrintTarget
{
public:
    explicit DialogPrintTarget(QWidget *parent);
    ~DialogPrintTarget() override;

    Printer *open() override;
    // Ends the document of the last open(), if the report did not.
    void finish();

private:
    QWidget *m_parent;
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<PainterPrinter> m_painter;
};

} // namespace kel
