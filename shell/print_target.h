#pragma once

#include <functional>
#include <memory>
#include <string>

#include "printing/print_report.h"
#include "shell/printer/pdf_output.h"
#include "shell/printer/qt_text_measure.h"

class QPrinter;
class QWidget;

namespace kel {

// Recorded once for the page in use, and again when the page set-up changes in the preview; the
// printer and its settings are kept between reports.
class PreviewPrintTarget : public PrintTarget
{
public:
    PreviewPrintTarget(QWidget *parent, std::function<void(const std::string &)> tell);
    ~PreviewPrintTarget() override;

    void print(Module1 &m, Form &f, const PrintRequest &request) override;

    QPrinter &printer();

    // As the preview's "Print" does, to a PDF file (never the card itself) or the printer.
    // progress may stop a PDF but not a printer: Qt's printing to CUPS has no abort.
    static Result<Outcome> output(const RecordedDocument &doc, QPrinter &printer, const std::string &cardPath,
                                  const PageProgress &progress);

private:
    QWidget *m_parent;
    std::function<void(const std::string &)> m_tell;
    std::unique_ptr<QPrinter> m_printer;
    QtTextMeasure m_measure;
};

// Beside the card, or in the current folder without one.
QString ProposedPdfPath(const std::string &cardPath, const std::string &fileName);

} // namespace kel
