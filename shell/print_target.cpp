#include "shell/print_target.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "shell/print_preview.h"
#include "store/card_file.h"
#include "store/number_text.h"

namespace kel {

namespace {

QString numberText(int n)
{
    return QString::fromStdString(DecimalText(n));
}

// What the report held goes back to the system: glibc otherwise keeps the freed memory of the
// process (the recording is a million small blocks among Qt's) for its own later use.
void returnFreedMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

// The wait while a report is recorded.
class Waiting
{
public:
    Waiting() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Waiting() { QApplication::restoreOverrideCursor(); }
    Waiting(const Waiting &) = delete;
    Waiting &operator=(const Waiting &) = delete;
};

// A name set on a printer that prints on paper only shows in the print dialog under "Print to
// File"; the dialog clears it when the user keeps the printer.
void proposeFile(QPrinter &printer, const QString &path)
{
    const bool onPaper = printer.outputFormat() == QPrinter::NativeFormat;
    const QString name = printer.printerName();
    printer.setOutputFileName(path);
    if (onPaper)
        printer.setPrinterName(name);
}

PageFilter pagesChosen(const QPrinter &printer)
{
    const QPageRanges ranges = printer.pageRanges();
    if (ranges.isEmpty())
        return {};
    return [ranges](int page) { return ranges.contains(page); };
}

} // namespace

PrintProgress::PrintProgress(QWidget *parent, const QString &what, bool cancellable)
    : QProgressDialog(what, cancellable ? QStringLiteral("Cancel") : QString(), 0, 1, parent)
    , m_what(what)
{
    setWindowTitle(QStringLiteral("Print"));
    setWindowModality(Qt::WindowModal);
    setMinimumDuration(500);
    setAutoClose(true);
    if (!cancellable)
        setCancelButton(nullptr);
}

bool PrintProgress::operator()(int done, int pages)
{
    // Told at most every tenth of a second: each time lays the dialog out again and handles the
    // window's events, which would take a third of the time of drawing a page.
    if (m_told.isValid() && m_told.elapsed() < 100 && done < pages)
        return !wasCanceled();
    m_told.start();
    setMaximum(pages);
    setLabelText(m_what + "\npage " + numberText(std::min(done + 1, pages)) + " of " + numberText(pages));
    setValue(done);
    return !wasCanceled();
}

void PrintProgress::showEvent(QShowEvent *event)
{
    // Over the middle of the window it reports on, wherever that stands.
    if (const QWidget *over = parentWidget() ? parentWidget()->window() : nullptr) {
        adjustSize();
        move(over->frameGeometry().center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    }
    QProgressDialog::showEvent(event);
}

QString ProposedPdfPath(const std::string &cardPath, const std::string &fileName)
{
    const QString name = QString::fromStdString(fileName);
    if (cardPath.empty())
        return QDir::current().absoluteFilePath(name);
    return QFileInfo(QFile::decodeName(QByteArray::fromStdString(cardPath))).absoluteDir().absoluteFilePath(name);
}

PreviewPrintTarget::PreviewPrintTarget(QWidget *parent, std::function<void(const std::string &)> tell)
    : m_parent(parent)
    , m_tell(std::move(tell))
{}

PreviewPrintTarget::~PreviewPrintTarget() = default;

QPrinter &PreviewPrintTarget::printer()
{
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setPageLayout(LetterLayout());
    }
    return *m_printer;
}

Result<Outcome> PreviewPrintTarget::output(const RecordedDocument &doc, QPrinter &printer, const std::string &cardPath,
                                           const PageProgress &progress)
{
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        const QString file = printer.outputFileName();
        if (file.isEmpty())
            return CannotWrite(QStringLiteral("a file"), QStringLiteral("no file name was given"));
        if (IsCardItself(QFile::encodeName(file).toStdString(), cardPath))
            return CannotWrite(file, QStringLiteral("it is the card itself"));
        const PdfInfo info{printer.docName(), QStringLiteral("kelsoft"), printer.pageLayout()};
        return WritePdf(doc, file, info, pagesChosen(printer), progress);
    }
    const QString target = "the printer " + printer.printerName();
    Result<Outcome> printed = PaintDocument(doc, printer, target, pagesChosen(printer), progress);
    if (printed && printer.printerState() == QPrinter::Error)
        return CannotWrite(target, QStringLiteral("the printer reported an error"));
    return printed;
}

void PreviewPrintTarget::print(Module1 &m, Form &f, const PrintRequest &request)
{
    const RaceSpan races = PrintedRaces(m, f, request);
    const std::string card
        = m.cardPath.empty()
              ? f.selectedFile().value_or("")
              : QFileInfo(QFile::decodeName(QByteArray::fromStdString(m.cardPath))).fileName().toStdString();
    QPrinter &p = printer();
    p.setDocName(QString::fromStdString(ReportTitle(card, races)));
    proposeFile(p, ProposedPdfPath(m.cardPath, ReportFileName(card, races)));

    std::unique_ptr<RecordedDocument> doc;
    PageArea area;
    Result<Outcome> printed = Outcome::Cancelled;
    {
        PrintPreview preview(m_parent);
        const auto show = [&] {
            const QPageLayout layout = p.pageLayout();
            const PageArea now = AreaOf(layout);
            if (!doc || now.width != area.width || now.height != area.height) {
                // The preview lets go of the old report before it goes.
                preview.setDocument(nullptr, layout);
                const Waiting waiting;
                doc.reset();
                doc = std::make_unique<RecordedDocument>(m_measure, now.width, now.height);
                area = now;
                PrintReport(m, f, *doc, request);
            }
            preview.setDocument(doc.get(), layout);
        };
        show();
        // Room to read a page.
        if (const QScreen *screen = m_parent ? m_parent->screen() : nullptr)
            preview.resize(screen->availableGeometry().size() * 4 / 5);
        QObject::connect(&preview, &PrintPreview::pageSetUpRequested, &preview, [&] {
            QPageSetupDialog setUp(&p, &preview);
            if (setUp.exec() == QDialog::Accepted)
                show();
        });
        QObject::connect(&preview, &PrintPreview::printRequested, &preview, [&] {
            QPrintDialog dialog(&p, &preview);
            if (dialog.exec() != QDialog::Accepted)
                return;
            // The print dialog may have chosen other paper.
            show();
            const bool toFile = p.outputFormat() == QPrinter::PdfFormat;
            PrintProgress progress(&preview, toFile ? "Writing " + p.outputFileName() : "Printing", toFile);
            printed = output(*doc, p, m.cardPath, std::ref(progress));
            // A PDF cancelled on the way leaves the preview to print again.
            if (!printed || *printed == Outcome::Done)
                preview.accept();
        });
        preview.exec();
    }
    doc.reset();
    returnFreedMemory();
    if (!printed)
        m_tell(printed.error().message);
}

} // namespace kel
