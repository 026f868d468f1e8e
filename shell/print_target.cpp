#include "shell/print_target.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPaintEngine>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScreen>

#include "store/card_file.h"
#include "store/number_text.h"

namespace kel {

namespace {

QString numberText(int n)
{
    return QString::fromStdString(DecimalText(n));
}

// The progress of a long output, shown after half a second. Drawing the pages keeps the window
// repainting; Cancel is offered only where it can still withdraw everything.
class Progress
{
public:
    Progress(QWidget *parent, const QString &what, bool cancellable)
        : m_dialog(what, cancellable ? QStringLiteral("Cancel") : QString(), 0, 1, parent)
        , m_what(what)
    {
        m_dialog.setWindowTitle(QStringLiteral("Print"));
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(500);
        m_dialog.setAutoClose(true);
        if (!cancellable)
            m_dialog.setCancelButton(nullptr);
    }

    bool operator()(int done, int pages)
    {
        m_dialog.setMaximum(pages);
        m_dialog.setLabelText(m_what + "\npage " + numberText(std::min(done + 1, pages)) + " of " + numberText(pages));
        m_dialog.setValue(done);
        return !m_dialog.wasCanceled();
    }

private:
    QProgressDialog m_dialog;
    QString m_what;
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
    const auto documentFor = [&](const QPageLayout &layout) -> const RecordedDocument & {
        const PageArea now = AreaOf(layout);
        if (!doc || now.width != area.width || now.height != area.height) {
            doc = std::make_unique<RecordedDocument>(m_measure, now.width, now.height);
            area = now;
            PrintReport(m, f, *doc, request);
        }
        return *doc;
    };
    documentFor(p.pageLayout());

    QPrintPreviewDialog preview(&p, m_parent);
    preview.setWindowTitle(QStringLiteral("Print preview"));
    // Room to read a page.
    if (const QScreen *screen = m_parent ? m_parent->screen() : nullptr)
        preview.resize(screen->availableGeometry().size() * 4 / 5);
    Result<Outcome> printed = Outcome::Cancelled;
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&](QPrinter *device) {
        const RecordedDocument &pages = documentFor(device->pageLayout());
        // The preview draws into pictures; printing draws on the printer itself.
        if (device->paintEngine() && device->paintEngine()->type() == QPaintEngine::Picture) {
            Progress progress(&preview, QStringLiteral("Preparing the preview"), true);
            const Result<Outcome> shown = PaintDocument(pages, *device, {}, {}, std::ref(progress));
            if (!shown || *shown == Outcome::Cancelled)
                QMetaObject::invokeMethod(&preview, &QDialog::reject, Qt::QueuedConnection);
            return;
        }
        const bool toFile = device->outputFormat() == QPrinter::PdfFormat;
        Progress progress(&preview, toFile ? "Writing " + device->outputFileName() : "Printing", toFile);
        printed = output(pages, *device, m.cardPath, std::ref(progress));
    });
    preview.exec();
    if (!printed)
        m_tell(printed.error().message);
}

} // namespace kel
