#include "shell/print_target.h"

#include <QPrintDialog>
#include <QPrinter>

#include "shell/printer/painter_printer.h"

namespace kel {

DialogPrintTarget::DialogPrintTarget(QWidget *parent) : m_parent(parent)
{}

DialogPrintTarget::~DialogPrintTarget() = default;

Printer *DialogPrintTarget::open()
{
    finish();
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        PainterPrinter::useLetterPage(*m_printer);
    }
    QPrintDialog dialog(m_printer.get(), m_parent);
    dialog.setWindowTitle(QStringLiteral("Print"));
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    m_painter = std::make_unique<PainterPrinter>(m_printer.get());
    return m_painter.get();
}

void DialogPrintTarget::finish()
{
    m_painter.reset();
}

} // namespace kel
