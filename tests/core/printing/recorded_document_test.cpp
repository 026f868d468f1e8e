#include <gtest/gtest.h>

#include <tuple>

#include "store/utf8.h"
#include "support/recording_printer.h"

namespace kel {
namespace {

TEST(RecordingPrinter, MeasuresHelveticaWidthsPerCharacter)
{
    RecordingPrinter p;
    p.setFontSize(10);
    // "Ab1": 667 + 556 + 556 = 1779 / 1000 em at 10 points = 355.8 twips.
    EXPECT_DOUBLE_EQ(p.textWidth("Ab1"), 355.8);
    p.setFontBold(true);
    // Bold b is wider: 722 + 611 + 556.
    EXPECT_DOUBLE_EQ(p.textWidth("Ab1"), 377.8);
    p.setFontBold(false);
    p.setFontSize(6);
    // "º" is two bytes but one character of the fixed width; the line feed takes no room.
    EXPECT_DOUBLE_EQ(p.textWidth("4\xC2\xBA"), (556 + 556) * 6 * 20 / 1000.0);
    EXPECT_DOUBLE_EQ(p.textWidth("a\nb"), 2 * 556 * 6 * 20 / 1000.0);
    EXPECT_DOUBLE_EQ(p.textWidth(""), 0);
    // A stray byte counts as one character.
    EXPECT_DOUBLE_EQ(p.textWidth("\xBA"), 556 * 6 * 20 / 1000.0);
}

TEST(RecordingPrinter, MovesLikeThePrinterTheReportWasWrittenFor)
{
    RecordingPrinter p;
    EXPECT_FALSE(p.isOpen());
    p.setFontSize(9);
    p.setCurrentX(300);
    p.setCurrentY(1000);
    p.printLine("Name");
    EXPECT_TRUE(p.isOpen());
    EXPECT_DOUBLE_EQ(p.currentX(), 0);
    EXPECT_DOUBLE_EQ(p.currentY(), 1000 + 9 * 20 * 1.149);

    p.drawLine(300, 50, 11500, 60, 0);
    EXPECT_DOUBLE_EQ(p.currentX(), 11500);
    EXPECT_DOUBLE_EQ(p.currentY(), 60);

    p.newPage();
    EXPECT_DOUBLE_EQ(p.currentX(), 0);
    EXPECT_DOUBLE_EQ(p.currentY(), 0);
    p.printLine("");
    EXPECT_EQ(p.pages(), 2);

    ASSERT_EQ(p.texts().size(), 2u);
    const auto first = p.texts()[0];
    EXPECT_EQ(first.text, "Name");
    EXPECT_DOUBLE_EQ(first.x, 300);
    EXPECT_DOUBLE_EQ(first.y, 1000);
    EXPECT_EQ(first.font, "Arial");
    EXPECT_EQ(first.page, 1);
    EXPECT_EQ(p.texts()[1].page, 2);

    p.endDoc();
    EXPECT_FALSE(p.isOpen());
    EXPECT_EQ(p.documents(), 1);
    EXPECT_EQ(p.pages(), 2);
}

TEST(RecordingPrinter, EndingWithNothingPrintedLeavesNoDocument)
{
    RecordingPrinter p;
    p.endDoc();
    EXPECT_EQ(p.endDocCalls(), 1);
    EXPECT_EQ(p.documents(), 0);
    EXPECT_EQ(p.pages(), 0);
    // A document begun by a new page has an empty first page; a second document counts its
    // pages afresh, and its fields left out are kept with the first's, each once.
    p.noteLeftOut("PP Odd");
    p.newPage();
    p.printLine("on page 2");
    p.endDoc();
    p.printLine("again on page 1");
    p.noteLeftOut("PP Jockey");
    p.noteLeftOut("PP Odd");
    RecordingPrinter page1;
    p.replayPage(page1, 1);
    ASSERT_EQ(page1.texts().size(), 1u);
    EXPECT_EQ(page1.texts()[0].text, "again on page 1");
    EXPECT_EQ(p.pages(), 1);
    EXPECT_EQ(p.leftOut(), (std::vector<std::string>{"PP Odd", "PP Jockey"}));
    p.clear();
    EXPECT_TRUE(p.leftOut().empty());
}

TEST(RecordedDocument, ReplaysTheWantedPagesUntilStopped)
{
    RecordingPrinter doc;
    for (int page = 1; page <= 3; ++page) {
        if (page > 1)
            doc.newPage();
        doc.setFontSize(6 + page);
        doc.setFontBold(page == 2);
        doc.setCurrentX(100 * page);
        doc.printLine("page " + std::to_string(page));
        doc.drawLine(0, 500, 11500, 500, 0x112233);
    }
    doc.endDoc();

    RecordingPrinter copy;
    EXPECT_TRUE(doc.replay(copy));
    const auto original = doc.events();
    const auto replayed = copy.events();
    ASSERT_EQ(replayed.size(), original.size());
    for (std::size_t i = 0; i < original.size(); ++i) {
        const auto &a = original[i];
        const auto &b = replayed[i];
        EXPECT_EQ(std::tie(a.kind, a.page, a.x, a.y, a.x2, a.y2, a.rgb, a.text, a.size, a.bold),
                  std::tie(b.kind, b.page, b.x, b.y, b.x2, b.y2, b.rgb, b.text, b.size, b.bold));
    }
    EXPECT_EQ(copy.documents(), 1);

    // Pages 1 and 3 only: page 3 follows page 1 directly.
    RecordingPrinter some;
    std::vector<int> told;
    EXPECT_TRUE(doc.replay(
        some, [](int page) { return page != 2; },
        [&](int done) {
            told.push_back(done);
            return true;
        }));
    EXPECT_EQ(told, (std::vector<int>{0, 1, 2}));
    ASSERT_EQ(some.texts().size(), 2u);
    EXPECT_EQ(some.texts()[1].text, "page 3");
    EXPECT_EQ(some.texts()[1].page, 2);

    // One page alone, as a preview draws it, onto the page the printer is on; none outside.
    RecordingPrinter one;
    for (int page : {0, 2, 4})
        doc.replayPage(one, page);
    ASSERT_EQ(one.events().size(), 2u);
    EXPECT_EQ(one.texts()[0].text, "page 2");
    EXPECT_TRUE(one.texts()[0].bold);
    EXPECT_EQ(one.lines()[0].y, 500);
    EXPECT_EQ(one.pages(), 1);
    EXPECT_TRUE(one.isOpen());

    // Stopped before the second page: the first is printed and the document left open.
    RecordingPrinter stopped;
    EXPECT_FALSE(doc.replay(stopped, {}, [](int done) { return done < 1; }));
    EXPECT_EQ(stopped.texts().size(), 1u);
    EXPECT_TRUE(stopped.isOpen());
    EXPECT_EQ(stopped.endDocCalls(), 0);
}

TEST(Utf8Chars, CutsByCharacters)
{
    EXPECT_EQ(Utf8Left("1\xC2\xBA 118", 2), "1\xC2\xBA");
    EXPECT_EQ(Utf8Left("ab", 5), "ab");
    // A truncated sequence is one stray byte per byte.
    EXPECT_EQ(Utf8Left("\xC2x", 1), "\xC2");
}

} // namespace
} // namespace kel
