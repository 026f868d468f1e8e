#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QElapsedTimer>
#include <QProgressDialog>

#include "printing/print_report.h"
#include "shell/printer/pdf_output.h"
#include "shell/printer/qt_text_measure.h"

class QPrinter;
class QWidget;

namespace kel {

// Shown after half a second over the middle of its parent's window; Cancel is offered only where
// it can still withdraw everything. Called with the pages done and in all, it answers whether to
// go on; told at most ten times a second.
class PrintProgress : public QProgressDialog
{
public:
    PrintProgress(QWidget *parent, const QString &what, bool cancellable);
    bool operator()(int done, int pages);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString m_what;
    QElapsedTimer m_told;
};

// Recorded once for the page in use and shown in PrintPreview, again when the page set-up
// changes there; the printer and its settings are kept between reports, and what the report held
// is given back to the system when the preview closes.
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
