#include "cli/pdf_report.h"

#ifdef KEL_HAVE_PDF

#include <algorithm>

#include <QFile>

#include "cli/output.h"
#include "printing/print_report.h"
#include "shell/printer/pdf_output.h"
#include "shell/printer/qt_text_measure.h"
#include "views/commands.h"
#include "views/memory_form.h"

namespace kel {

Result<void> WritePdfReport(Module1 &m, const std::string &cardName, const std::string &pdfPath, int ppCount, int race)
{
    MemoryForm f;
    f.setSelectedFile(cardName);
    ShowRaceList(m, f);
    const int listed = f.MSF().rows();
    if (race < 0 || race > listed)
        return Error{RaceNotOnCard(race, listed)};

    PrintRequest request;
    request.printLastPPs = ppCount > 0;
    request.ppCount = static_cast<int16_t>(std::clamp(ppCount, 0, 32767));
    request.firstRow = race > 0 ? race - 1 : 0;
    request.lastRow = race > 0 ? race - 1 : listed - 1;
    const std::string title = ReportTitle(cardName, PrintedRaces(m, f, request));

    // Opened by the bytes of its name, which need not be UTF-8; the name shown is the decoded one.
    const QString shown = QFile::decodeName(QByteArray::fromStdString(pdfPath));
    Result<std::unique_ptr<OutputFile>> file = OutputFile::open(pdfPath);
    if (!file)
        return CannotWrite(shown, QString::fromStdString(file.error().message));
    QFile device;
    if (!device.open((*file)->descriptor(), QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
        return CannotWrite(shown, device.errorString());
    const PdfInfo info{QString::fromStdString(title), QStringLiteral("kelsoft-report"), LetterLayout()};
    // Recorded as the window records it, and replayed onto the file: one document for both.
    QtTextMeasure measure;
    const PageArea page = AreaOf(info.layout);
    RecordedDocument doc(measure, page.width, page.height);
    PrintReport(m, f, doc, request);
    const Result<Outcome> written
        = WritePdf(device, shown, info, [&](QPagedPaintDevice &device, const std::function<bool()> &writable) {
              return PaintDocument(doc, device, shown, {}, [&](int, int) { return writable(); });
          });
    if (!written)
        return written.error();
    if (const Result<void> done = (*file)->commit(); !done)
        return CannotWrite(shown, QString::fromStdString(done.error().message));
    return {};
}

} // namespace kel

#endif // KEL_HAVE_PDF
