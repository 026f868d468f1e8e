// The report printed to a real PDF, read back with poppler's pdftotext and pdfinfo.
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "cli/pdf_report.h"
#include "engine/open_card.h"
#include "printing/print_report.h"
#include "support/recording_printer.h"
#include "shell/printer/painter_printer.h"
#include "shell/printer/pdf_output.h"
#include "shell/printer/qt_text_measure.h"
#include "store/loader.h"
#include "views/commands.h"
#include "views/memory_form.h"

using namespace kel;

namespace {

bool LoadSample(Module1 &m, const char *name)
{
    auto bytes = ReadCardFile(std::string(KEL_SOURCE_DIR) + "/samples/" + name);
    if (!bytes)
        return false;
    OpenCard(m, bytes->view());
    return true;
}

QString Run(const QString &tool, const QStringList &args)
{
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

int PdfPages(const QString &pdf)
{
    const QString info = Run("pdfinfo", {pdf});
    const auto match = QRegularExpression(R"(Pages:\s+(\d+))").match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// Pages the same report takes on the recording printer.
int RecordedPages(const char *card, int pps)
{
    Module1 m;
    LoadSample(m, card);
    MemoryForm f;
    f.setSelectedFile(card);
    ShowRaceList(m, f);
    RecordingPrinter p;
    PrintRequest request;
    request.printLastPPs = pps > 0;
    request.ppCount = static_cast<int16_t>(pps);
    request.lastRow = f.MSF().rows() - 1;
    PrintReport(m, f, p, request);
    return p.pages();
}

// Words of a PDF as pdftotext places them, in points; every page is letter size.
struct Word
{
    double x0, y0, x1, y1;
    QString text;
};
QList<QList<Word>> PdfWords(const QString &pdf)
{
    QList<QList<Word>> pages;
    const QString html = Run("pdftotext", {"-bbox", pdf, "-"});
    static const QRegularExpression tag(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith("<page"))
            pages.append(QList<Word>());
        else if (!pages.isEmpty())
            pages.last().append(Word{m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                                     m.captured(4).toDouble(), m.captured(5)});
    }
    return pages;
}

// No two words of a line overlap, a cut one ("…" at its end) is a blank of the smallest printed
// size (6 points: 1.668 points) away from the next, and every word lies in the printable area (a
// quarter inch in from each edge of a letter page).
QString Overlaps(const QString &pdf)
{
    constexpr double kBlank6 = 0.278 * 6;
    const QList<QList<Word>> pages = PdfWords(pdf);
    if (pages.isEmpty())
        return "no pages";
    constexpr double kSlack = 0.2;
    for (qsizetype p = 0; p < pages.size(); ++p) {
        const QList<Word> &words = pages[p];
        for (qsizetype i = 0; i < words.size(); ++i) {
            const Word &a = words[i];
            if (a.x0 < 18 - kSlack || a.x1 > 594 + kSlack || a.y0 < 18 - kSlack || a.y1 > 774 + kSlack)
                return QString("page %1: %2 outside the printable area").arg(p + 1).arg(a.text);
            for (qsizetype j = i + 1; j < words.size(); ++j) {
                const Word &b = words[j];
                const double sameLine = std::min(a.y1, b.y1) - std::max(a.y0, b.y0);
                const double across = std::min(a.x1, b.x1) - std::max(a.x0, b.x0);
                if (sameLine <= 0.5 * std::min(a.y1 - a.y0, b.y1 - b.y0))
                    continue;
                if (across > kSlack)
                    return QString("page %1: %2 over %3").arg(p + 1).arg(a.text, b.text);
                const Word &left = a.x0 < b.x0 ? a : b;
                const Word &right = a.x0 < b.x0 ? b : a;
                if (left.text.endsWith(QChar(0x2026)) && right.x0 - left.x1 < kBlank6 - kSlack)
                    return QString("page %1: %2 touches %3").arg(p + 1).arg(left.text, right.text);
            }
        }
    }
    return {};
}

} // namespace

class TestPdfReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty()
            || QStandardPaths::findExecutable("pdfinfo").isEmpty())
            QFAIL("poppler-utils (pdftotext, pdfinfo) is not installed: scripts/deps.sh installs it");
        QVERIFY(m_dir.isValid());
    }

    // The fonts drawn measure as the recording printer's, so columns measured in tests hold; the
    // painter's page is the printable area of its device.
    void metricsMatchTheRecordingPrinter()
    {
        QPdfWriter writer(m_dir.filePath("metrics.pdf"));
        writer.setPageLayout(LetterLayout());
        PainterPrinter painter(&writer);
        QCOMPARE(painter.pageWidth(), RecordingPrinter::kPageWidth);
        QCOMPARE(painter.pageHeight(), RecordingPrinter::kPageHeight);
        QtTextMeasure qt;
        HelveticaMeasure helvetica;
        for (double size : {6.0, 8.0, 9.0, 10.0}) {
            for (bool bold : {false, true}) {
                for (const char *text : {"Sassy Sienna", "[A-1]", "Gaffalione, T", "1:04.88 d-f 100K", "WWW mmm iii",
                                         "Hernan\u2026", "Cairo Kiss-Dazzling Gem-Endlessly"}) {
                    const double want = helvetica.textWidth("Arial", size, bold, text);
                    const double got = qt.textWidth("Arial", size, bold, text);
                    QVERIFY2(qAbs(got - want) <= want * 0.003 + 0.5,
                             qPrintable(QString("%1 at %2: %3 vs %4").arg(text).arg(size).arg(got).arg(want)));
                    // The summed advances are what Qt lays out for the whole text.
                    QFont design = QtTextMeasure::fontFor("Arial", size, bold);
                    design.setPixelSize(2048);
                    const double shaped
                        = QFontMetricsF(design).horizontalAdvance(QString::fromUtf8(text)) * size * 20 / 2048;
                    QVERIFY2(qAbs(got - shaped) < 1e-9,
                             qPrintable(QString("%1: %2 vs %3").arg(text).arg(got).arg(shaped)));
                }
                QVERIFY(qAbs(qt.lineHeight("Arial", size, bold) - helvetica.lineHeight("Arial", size, bold)) < 0.5);
            }
        }
    }

    // The text layer reads as printed: blanks are blanks, and the PDF's title names the card and
    // the races.
    void sampleCardWithPPs()
    {
        Module1 m;
        QVERIFY(LoadSample(m, "small.kel"));
        const QString pdf = m_dir.filePath("small.pdf");
        const Result<void> written = WritePdfReport(m, "small.kel", pdf.toStdString(), 4, 0);
        QVERIFY2(written, written ? "" : written.error().message.c_str());

        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(5), QByteArray("%PDF-"));

        const QString text = Run("pdftotext", {"-layout", pdf, "-"});
        // Both race titles, horse names, PP fields with "º" and a quoted jockey with "é".
        for (const char *printed : {"Maiden Special Weight", "Sassy Sienna", "Royal Blue Note", "2\xC2\xBA 120 (1 1/2)",
                                    "Jos\xC3\xA9", "99.5%"})
            QVERIFY2(text.contains(QString::fromUtf8(printed)), printed);
        QVERIFY(!text.contains('\t'));
        QCOMPARE(PdfPages(pdf), RecordedPages("small.kel", 4));
        QVERIFY(Run("pdfinfo", {pdf}).contains(QRegularExpression("Title: +small.kel, races 1-2\n")));
    }

    // Every sample card, with and without PPs: nothing overlaps, nothing leaves the paper.
    void samplesStayInTheirPlaces_data()
    {
        QTest::addColumn<QString>("card");
        QTest::addColumn<int>("pps");
        for (const char *card : {"small.kel", "gulfstrm.kel", "bigfield.kel"})
            for (int pps : {0, 10})
                QTest::addRow("%s %d", card, pps) << card << pps;
    }
    void samplesStayInTheirPlaces()
    {
        QFETCH(QString, card);
        QFETCH(int, pps);
        Module1 m;
        QVERIFY(LoadSample(m, qPrintable(card)));
        const QString pdf = m_dir.filePath("sample.pdf");
        QVERIFY(WritePdfReport(m, card.toStdString(), pdf.toStdString(), pps, 0));
        QCOMPARE(Overlaps(pdf), QString());
        QCOMPARE(PdfPages(pdf), RecordedPages(qPrintable(card), pps));
    }

    // Every text of the card longer than its room: cut, never over another, never off the page.
    void longTextsStayInTheirPlaces()
    {
        const std::string horse = ";Supercalifragilistic Expialidocious Runner;120;3 1-0-0;"
                                  "Dk. b. or br. c. 3 by Tapit (Pulpit) - Untouchable Dream by Unbridled Song, bred in "
                                  "Kentucky;Castellano Montoya, Javier Alejandro;Pletcher Baffert Brown, Todd Robert;"
                                  "ML 2/1;B;\r\n";
        const std::string pp = "Bravo-Charlie-Delta-Echo-Foxtrot-Golf-Hotel-India-Juliet;12\xBA 120 (11 3/4 lengths);"
                               "13-12-12;1 1/16M Turf Course;1:10.20 and change;d-f-sloppy;200000K;31.10;"
                               "Castellano Montoya, Javier;12/13 from the gate;12/01/2024 evening;GP;99%;;98%;C;\r\n";
        std::string card = "1;TST;01/05/25;6F;Dirt;" + std::string(130, 'W') + ";20K;A;\r\n";
        for (int h = 1; h <= 12; ++h)
            card += std::to_string(h) + horse + pp + pp;
        Module1 m;
        OpenCard(m, card);
        const QString pdf = m_dir.filePath("long.pdf");
        QVERIFY(WritePdfReport(m, "long.kel", pdf.toStdString(), 2, 0));
        QCOMPARE(Overlaps(pdf), QString());
        QVERIFY(Run("pdftotext", {pdf, "-"}).contains("Supercalifragilistic"));
        // The jockey (bold, in a line with PPs) cut before the trainer is a word of its own that
        // shows the cut.
        QStringList words;
        for (const Word &w : PdfWords(pdf).value(0))
            words << w.text;
        QVERIFY2(words.contains(QString::fromUtf8("Caste\u2026")), qPrintable(words.filter(QChar(0x2026)).join(' ')));
    }

    void oneRaceWithoutPPs()
    {
        Module1 m;
        QVERIFY(LoadSample(m, "small.kel"));
        const QString pdf = m_dir.filePath("race2.pdf");
        QVERIFY(WritePdfReport(m, "small.kel", pdf.toStdString(), 0, 2));
        const QString text = Run("pdftotext", {pdf, "-"});
        QVERIFY(!text.contains("Sassy Sienna"));
        QVERIFY(!text.contains("99.5%"));
        QVERIFY(text.contains("1 1/16M"));
        QCOMPARE(PdfPages(pdf), 1);
        QVERIFY(Run("pdfinfo", {pdf}).contains(QRegularExpression("Title: +small.kel, race 2\n")));
    }

    void raceNotOnTheCardIsRefused()
    {
        Module1 m;
        QVERIFY(LoadSample(m, "small.kel"));
        const QString pdf = m_dir.filePath("none.pdf");
        const Result<void> written = WritePdfReport(m, "small.kel", pdf.toStdString(), 0, 3);
        QVERIFY(!written);
        QCOMPARE(written.error().message, std::string("race 3 is not on the card (it lists 2 races)"));
        QVERIFY(!QFile::exists(pdf));
    }

    void cardWithoutRacesGivesOneEmptyPage()
    {
        Module1 m;
        OpenCard(m, std::string_view());
        const QString pdf = m_dir.filePath("empty.pdf");
        QVERIFY(WritePdfReport(m, "empty.kel", pdf.toStdString(), 4, 0));
        QCOMPARE(PdfPages(pdf), 1);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestPdfReport)
#include "tst_pdf_report.moc"
