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

// In twips.
struct PageArea
{
    double width = 0;
    double height = 0;
};
PageArea AreaOf(const QPageLayout &layout);

enum class Outcome { Done, Cancelled };
// "Cannot write the report to TARGET: REASON".
Error CannotWrite(const QString &target, const QString &reason);
extern const QString kNotFinished;
// Asked before each page and after the last; false stops the output.
using PageProgress = std::function<bool(int done, int pages)>;
// Pages numbered from 1; every page when empty.
using PageFilter = std::function<bool(int page)>;

// One empty page for a document without any.
Result<Outcome> PaintDocument(const RecordedDocument &doc, QPagedPaintDevice &device, const QString &target,
                              const PageFilter &wanted = {}, const PageProgress &progress = {});

struct PdfInfo
{
    QString title;
    QString creator;
    QPageLayout layout = LetterLayout();
};

// writable() tells whether the file still takes what is written, so that a long drawing can stop
// early when it does not.
using PdfPainting = std::function<Result<Outcome>(QPagedPaintDevice &device, const std::function<bool()> &writable)>;

// When a write fails or the drawing is cancelled, nothing is left under the name (a device or a
// pipe is written in place).
Result<Outcome> WritePdf(const QString &path, const PdfInfo &info, const PdfPainting &paint);
// On a file the caller opened and puts in place itself; target names it in the error.
Result<Outcome> WritePdf(QFileDevice &file, const QString &target, const PdfInfo &info, const PdfPainting &paint);
Result<Outcome> WritePdf(const RecordedDocument &doc, const QString &path, const PdfInfo &info,
                         const PageFilter &wanted = {}, const PageProgress &progress = {});

} // namespace kel
