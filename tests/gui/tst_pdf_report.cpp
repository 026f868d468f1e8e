// The report printed to a real PDF, read back with poppler's pdftotext and pdfinfo.
#include <QDir>
#include <QFile>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "cli/pdf_report.h"
#include "engine/open_card.h"
#include "printing/print_report.h"
#include "printing/recording_printer.h"
#include "shell/printer/painter_printer.h"
#include "store/loader.h"
#include "views/commands.h"
#include "views/memory_form.h"

using namespace kel;

namespace {

bool LoadSample(Module1 &m, const char *name)
{
    std::string error;
    auto bytes = ReadCardFile(std::string(KEL_SOURCE_DIR) + "/samples/" + name, error);
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
    struct Target : PrintTarget
    {
        RecordingPrinter p;
        Printer *open() override { return &p; }
    } target;
    ScriptedDialogs d;
    if (pps > 0)
        d.answer(MsgAnswer::Yes).type(std::to_string(pps));
    else
        d.answer(MsgAnswer::No);
    d.type("1").type(std::to_string(f.MSF().rows()));
    Printd_Click(m, f, d, target);
    return target.p.pages();
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
            QSKIP("poppler-utils (pdftotext, pdfinfo) is not installed");
        QVERIFY(m_dir.isValid());
    }

    // The painter's metrics are the recording printer's, so columns measured in tests hold.
    void metricsMatchTheRecordingPrinter()
    {
        QPdfWriter writer(m_dir.filePath("metrics.pdf"));
        PainterPrinter::useLetterPage(writer);
        PainterPrinter painter(&writer);
        RecordingPrinter recording;
        QCOMPARE(painter.pageHeight(), RecordingPrinter::kPageHeight);
        for (double size : {6.0, 8.0, 9.0, 10.0}) {
            for (bool bold : {false, true}) {
                for (auto *p : {static_cast<Printer *>(&painter), static_cast<Printer *>(&recording)}) {
                    p->setFontName("Arial");
                    p->setFontSize(size);
                    p->setFontBold(bold);
                }
                for (const char *text : {"Sassy Sienna", "[A-1]", "Gaffalione, T", "1:04.88 d-f 100K", "WWW mmm iii",
                                         "Cairo Kiss-Dazzling Gem-Endlessly"}) {
                    const double want = recording.textWidth(text);
                    QVERIFY2(
                        qAbs(painter.textWidth(text) - want) <= want * 0.003 + 0.5,
                        qPrintable(
                            QString("%1 at %2: %3 vs %4").arg(text).arg(size).arg(painter.textWidth(text)).arg(want)));
                }
                QVERIFY(qAbs(painter.lineHeight() - recording.lineHeight()) < 0.5);
            }
        }
    }

    void sampleCardWithPPs()
    {
        Module1 m;
        QVERIFY(LoadSample(m, "small.kel"));
        const QString pdf = m_dir.filePath("small.pdf");
        std::string error;
        QCOMPARE(WritePdfReport(m, "small.kel", pdf.toStdString(), 4, 0, error), 0);

        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(5), QByteArray("%PDF-"));

        const QString text = Run("pdftotext", {"-layout", pdf, "-"});
        // Both race titles, horse names, PP fields with "º" and a quoted jockey with "é".
        QVERIFY2(text.contains("Maiden Special Weight"), qPrintable(text.left(400)));
        QVERIFY(text.contains("Sassy Sienna"));
        QVERIFY(text.contains("Royal Blue Note"));
        QVERIFY(text.contains(QString::fromUtf8("2\xC2\xBA 120 (1 1/2)")));
        QVERIFY(text.contains(QString::fromUtf8("Jos\xC3\xA9")));
        QVERIFY(text.contains("99.5%"));
        QCOMPARE(PdfPages(pdf), RecordedPages("small.kel", 4));
    }

    void oneRaceWithoutPPs()
    {
        Module1 m;
        QVERIFY(LoadSample(m, "small.kel"));
        const QString pdf = m_dir.filePath("race2.pdf");
        std::string error;
        QCOMPARE(WritePdfReport(m, "small.kel", pdf.toStdString(), 0, 2, error), 0);
        const QString text = Run("pdftotext", {pdf, "-"});
        QVERIFY(!text.contains("Sassy Sienna"));
        QVERIFY(!text.contains("99.5%"));
        QVERIFY(text.contains("1 1/16M"));
        QCOMPARE(PdfPages(pdf), 1);
    }

    void bigCardKeepsPPsOnThePaper()
    {
        Module1 m;
        QVERIFY(LoadSample(m, "bigfield.kel"));
        const QString pdf = m_dir.filePath("big.pdf");
        std::string error;
        QCOMPARE(WritePdfReport(m, "bigfield.kel", pdf.toStdString(), 10, 0, error), 0);
        const int pages = PdfPages(pdf);
        QCOMPARE(pages, RecordedPages("bigfield.kel", 10));
        QVERIFY(pages >= 3);
    }

    void raceNotOnTheCardIsRefused()
    {
        Module1 m;
        QVERIFY(LoadSample(m, "small.kel"));
        const QString pdf = m_dir.filePath("none.pdf");
        std::string error;
        QCOMPARE(WritePdfReport(m, "small.kel", pdf.toStdString(), 0, 3, error), 1);
        QVERIFY(error.find("race 3") != std::string::npos);
        QVERIFY(!QFile::exists(pdf));
    }

    void unwritablePathIsReported()
    {
        Module1 m;
        QVERIFY(LoadSample(m, "small.kel"));
        std::string error;
        const QString pdf = m_dir.filePath("no/such/dir/out.pdf");
        QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
        QCOMPARE(WritePdfReport(m, "small.kel", pdf.toStdString(), 0, 0, error), 1);
        QVERIFY(!error.empty());
    }

    void cardWithoutRacesGivesOneEmptyPage()
    {
        Module1 m;
        OpenCard(m, std::string_view());
        const QString pdf = m_dir.filePath("empty.pdf");
        std::string error;
        QCOMPARE(WritePdfReport(m, "empty.kel", pdf.toStdString(), 4, 0, error), 0);
        QCOMPARE(PdfPages(pdf), 1);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestPdfReport)
#include "tst_pdf_report.moc"
