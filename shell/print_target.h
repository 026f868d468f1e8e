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

// The window's print target. The report is recorded once for the page in use and shown in a
// print preview, from which the user prints (on a printer or to a PDF file), changes the printer
// or the page set-up (the report is then recorded again for the new page), or cancels. Long
// outputs show their progress; a failure is told with the target and the reason. The printer
// and its settings are kept between reports.
class PreviewPrintTarget : public PrintTarget
{
public:
    // tell shows a message to the user.
    PreviewPrintTarget(QWidget *parent, std::function<void(const std::string &)> tell);
    ~PreviewPrintTarget() override;

    void print(Module1 &m, Form &f, const PrintRequest &request) override;

    // The printer the preview starts from (created on first use).
    QPrinter &printer();

    // Sends a recorded document to the printer as the preview's "Print" does: to the printer's
    // PDF file, never the card's own, or onto the printer. progress may stop a PDF; paper cannot
    // be taken back once drawing began (Qt's printing to CUPS has no abort), so a printer is not
    // stopped.
    static Result<Outcome> output(const RecordedDocument &doc, QPrinter &printer, const std::string &cardPath,
                                  const PageProgress &progress);

private:
    QWidget *m_parent;
    std::function<void(const std::string &)> m_tell;
    std::unique_ptr<QPrinter> m_printer;
    QtTextMeasure m_measure;
};

// The file name "Print to File" proposes: the report's name beside the card, or in the current
// folder without one.
QString ProposedPdfPath(const std::string &cardPath, const std::string &fileName);

} // namespace kel
