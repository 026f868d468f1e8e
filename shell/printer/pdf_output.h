#pragma once

#include <functional>

#include <QPageLayout>
#include <QString>

#include "printing/recorded_document.h"
#include "store/result.h"

class QFileDevice;
class QPagedPaintDevice;

namespace kel {

// Letter paper, portrait, 1/4 inch margins: the report's page unless the user chooses another,
// and the one its 11500-twip rules were made for.
QPageLayout LetterLayout();

// The printable area of a page layout, in twips.
struct PageArea
{
    double width = 0;
    double height = 0;
};
PageArea AreaOf(const QPageLayout &layout);

enum class Outcome { Done, Cancelled };
// "Cannot write the report to TARGET: REASON".
Error CannotWrite(const QString &target, const QString &reason);
// The reason when a device would not begin or end the painting.
extern const QString kNotFinished;
// Told the pages done and the pages in all before each page and after the last; answering
// false stops the output.
using PageProgress = std::function<bool(int done, int pages)>;
// Which pages of the document go out, numbered from 1; every page when empty.
using PageFilter = std::function<bool(int page)>;

// Paints the document's pages on the device, one empty page for a document without any. The
// error names the target and the reason.
Result<Outcome> PaintDocument(const RecordedDocument &doc, QPagedPaintDevice &device, const QString &target,
                              const PageFilter &wanted = {}, const PageProgress &progress = {});

struct PdfInfo
{
    QString title;
    QString creator;
    QPageLayout layout = LetterLayout();
};

// Draws the report on a PDF writer. writable() tells whether the file still takes what is
// written, so that a long drawing can stop early when it does not.
using PdfPainting = std::function<Result<Outcome>(QPagedPaintDevice &device, const std::function<bool()> &writable)>;

// Writes a PDF file. Every write is checked; when one fails, or the drawing is cancelled,
// nothing is left under the name (a name that is no regular file, a device or a pipe, is
// written in place). The error names the file and the reason.
Result<Outcome> WritePdf(const QString &path, const PdfInfo &info, const PdfPainting &paint);
// The same on a file the caller opened for writing and puts in place itself; target names it
// in the error.
Result<Outcome> WritePdf(QFileDevice &file, const QString &target, const PdfInfo &info, const PdfPainting &paint);
// The recorded document as a PDF file.
Result<Outcome> WritePdf(const RecordedDocument &doc, const QString &path, const PdfInfo &info,
                         const PageFilter &wanted = {}, const PageProgress &progress = {});

} // namespace kel
