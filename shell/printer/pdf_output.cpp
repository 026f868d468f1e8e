#include "shell/printer/pdf_output.h"

#include <algorithm>
#include <memory>

#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QMarginsF>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>

#include "shell/printer/painter_printer.h"

namespace kel {

const QString kNotFinished = QStringLiteral("printing could not be started or finished");

namespace {

// Each write is carried through, so that a short one (a file-size limit reached) is followed by
// the failing one that gives the reason.
// Qt's PDF engine maps each glyph back to the lowest character the font engine gives it, and that
// gives the space glyph to the tab too: the text layer would read every blank as a tab. In each
// ToUnicode map (written in one piece) <0009> becomes <0020>; the count of bytes, and so every
// offset, stays.
class PdfSink : public QIODevice
{
public:
    explicit PdfSink(QFileDevice *out) : m_out(out) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }

    // False once a write to the file failed.
    bool flushOut()
    {
        const char *at = m_pending.constData();
        qint64 left = m_pending.size();
        while (left > 0 && !m_failed) {
            const qint64 n = m_out->write(at, left);
            m_failed = n <= 0;
            at += n;
            left -= n;
        }
        m_pending.clear();
        return !m_failed;
    }
    bool failed() const { return m_failed || m_out->error() != QFileDevice::NoError; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 len) override
    {
        const qsizetype from = m_pending.size();
        m_pending.append(data, len);
        const qsizetype begin = m_pending.indexOf("begincmap\n", std::max<qsizetype>(0, from - 9));
        const qsizetype end = begin < 0 ? -1 : m_pending.indexOf("endcmap", begin);
        for (qsizetype line = begin; end >= 0 && line < end;) {
            qsizetype next = m_pending.indexOf('\n', line);
            if (next < 0 || next > end)
                next = end;
            // "<from> <to> <char>" or "<from> <to> [<char> ...]": only the characters change.
            qsizetype at = line;
            for (int token = 0; token < 2 && at >= 0 && at < next; ++token)
                at = m_pending.indexOf('>', at) + 1;
            while (at > 0 && at < next && (at = m_pending.indexOf("<0009>", at)) >= 0 && at < next) {
                m_pending.replace(at, 6, "<0020>");
                at += 6;
            }
            line = next + 1;
        }
        if (m_pending.size() >= kChunk && !flushOut())
            return -1;
        return len;
    }

private:
    static constexpr qsizetype kChunk = 1 << 16;
    QFileDevice *m_out;
    QByteArray m_pending;
    bool m_failed = false;
};

} // namespace

Error CannotWrite(const QString &target, const QString &reason)
{
    return Error{("Cannot write the report to " + target + ": " + reason).toStdString()};
}

QPageLayout LetterLayout()
{
    return QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(0.25, 0.25, 0.25, 0.25),
                       QPageLayout::Inch);
}

PageArea AreaOf(const QPageLayout &layout)
{
    const QRectF inches = layout.paintRect(QPageLayout::Inch);
    return {inches.width() * 1440.0, inches.height() * 1440.0};
}

Result<Outcome> PaintDocument(const RecordedDocument &doc, QPagedPaintDevice &device, const QString &target,
                              const PageFilter &wanted, const PageProgress &progress)
{
    int pages = 0;
    for (int page = 1; page <= doc.pages(); ++page)
        pages += !wanted || wanted(page);
    PainterPrinter painter(&device);
    if (pages == 0)
        painter.blankPage();
    else if (!doc.replay(painter, wanted, [&](int done) { return !progress || progress(done, pages); })) {
        painter.finish();
        return Outcome::Cancelled;
    }
    if (!painter.finish())
        return CannotWrite(target, kNotFinished);
    return Outcome::Done;
}

Result<Outcome> WritePdf(const RecordedDocument &doc, const QString &path, const PdfInfo &info,
                         const PageFilter &wanted, const PageProgress &progress)
{
    return WritePdf(path, info, [&](QPagedPaintDevice &device, const std::function<bool()> &writable) {
        return PaintDocument(doc, device, path, wanted,
                             [&](int done, int pages) { return writable() && (!progress || progress(done, pages)); });
    });
}

Result<Outcome> WritePdf(const QString &path, const PdfInfo &info, const PdfPainting &paint)
{
    // A device or a pipe cannot be replaced by a finished file: it is written as it comes.
    const QFileInfo where(path);
    const bool inPlace = where.exists() && !where.isFile() && !where.isDir();
    std::unique_ptr<QFileDevice> file;
    if (inPlace)
        file = std::make_unique<QFile>(path);
    else
        file = std::make_unique<QSaveFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return CannotWrite(path, file->errorString());
    const Result<Outcome> written = WritePdf(*file, path, info, paint);
    if (!written || *written == Outcome::Cancelled)
        return written; // an unfinished save file is removed when it goes
    if (inPlace) {
        file->close();
        return Outcome::Done;
    }
    if (!static_cast<QSaveFile *>(file.get())->commit())
        return CannotWrite(path, file->errorString());
    return Outcome::Done;
}

Result<Outcome> WritePdf(QFileDevice &file, const QString &target, const PdfInfo &info, const PdfPainting &paint)
{
    PdfSink sink(&file);
    Result<Outcome> painted = Outcome::Done;
    {
        QPdfWriter writer(&sink);
        writer.setTitle(info.title);
        writer.setCreator(info.creator);
        // One device unit per twip: fonts are drawn at exactly the sizes the report measures.
        writer.setResolution(1440);
        writer.setPageLayout(info.layout);
        painted = paint(writer, [&] { return !sink.failed(); });
    }
    // The reason is taken before the file is closed, which forgets it.
    if (!sink.flushOut() || sink.failed())
        return CannotWrite(target, file.errorString());
    return painted;
}

} // namespace kel
