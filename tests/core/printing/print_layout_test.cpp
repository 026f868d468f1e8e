// What lands on the paper when texts are long, pages small or titles wide: every text ends before
// the next one on its line and inside the printable area, a cut one in "…" a blank before, and
// what fits keeps its place.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/ratings.h"
#include "printing/print_report.h"
#include "support/card_builder.h"
#include "support/card_lines.h"
#include "support/recording_printer.h"
#include "views/commands.h"
#include "views/memory_form.h"

namespace kel {
namespace {

using Event = RecordingPrinter::Event;

double End(const Event &e)
{
    HelveticaMeasure measure;
    return e.x + measure.textWidth(e.font, e.size, e.bold, e.text);
}

bool IsCut(const Event &e)
{
    return e.text.ends_with("\u2026");
}

// Texts printed from the same top on the same page share a line. Each must end before the next
// non-empty text of its line starts, and inside the page; a cut one a blank before that.
void ExpectNoOverlap(const RecordingPrinter &p)
{
    HelveticaMeasure measure;
    std::map<std::pair<int, double>, std::vector<Event>> lines;
    for (const Event &e : p.texts())
        lines[{e.page, e.y}].push_back(e);
    for (auto &[at, texts] : lines) {
        std::sort(texts.begin(), texts.end(), [](const Event &a, const Event &b) { return a.x < b.x; });
        double limit = p.pageWidth();
        for (auto e = texts.rbegin(); e != texts.rend(); ++e) {
            if (e->text.empty())
                continue;
            const double blank = IsCut(*e) ? measure.textWidth(e->font, e->size, e->bold, " ") : 0;
            EXPECT_LE(End(*e) + blank, limit) << e->text << " on page " << at.first << " at " << at.second;
            limit = e->x;
        }
        double size = 0;
        for (const Event &e : texts)
            if (!e.text.empty())
                size = std::max(size, e.size);
        EXPECT_LE(at.second + size * RecordingPrinter::kLineHeightPerPoint, p.pageHeight()) << at.second;
    }
}

// The first text printed that starts so.
std::optional<Event> Printed(const RecordingPrinter &p, std::string_view start)
{
    for (const Event &e : p.texts())
        if (e.text.starts_with(start))
            return e;
    return std::nullopt;
}

// One race of two horses whose texts are all too long for their places, one of them with PPs.
struct LongTextsTest : ::testing::Test
{
    Module1 m;
    MemoryForm f;
    RecordingPrinter p;
    const std::string name = "Supercalifragilistic Expialidocious Runner";
    const std::string jockey = "Castellano Montoya, Javier Alejandro";
    const std::string trainer = "Pletcher Baffert Brown, Todd Robert";
    const std::string data
        = "Dk. b. or br. c. 3 by Tapit (Pulpit) - Untouchable Dream by Unbridled Song, bred in Kentucky";
    const std::string others = "Cairo Kiss-Dazzling Gem-Endlessly-Wonderful Wanda-Xtra";
    const std::string record = "83 14-13-24";

    void SetUp() override
    {
        test::CardBuilder card(m.Data);
        card.race(1, "R1");
        card.horseWith(1, 1, {"101%", "102%"});
        card.horseWith(1, 2, {"99%"});
        for (int h = 1; h <= 2; ++h) {
            m.Data.set(1, h, 0, 2, name);
            m.Data.set(1, h, 0, 9, data);
            m.Data.set(1, h, 0, 10, jockey);
            m.Data.set(1, h, 0, 11, h == 1 ? trainer : "");
            const char *pp[] = {"1:10.00", "ft", "50K", "3-2-2", others.c_str(), "Prat, F", "*2.10", "2/9"};
            for (int s = 8; s <= 15; ++s)
                m.Data.set(1, h, 1, s, pp[s - 8]);
        }
        m.loaded = true;
        RerunRatings(m);
        // The record as a card of many starts has it.
        m.Data.set(1, 1, 0, 4, record);
        f.setSelectedFile("card.kel");
        ShowRaceList(m, f);
        f.MSF().setRow(0);
        ShowRaceHorses(m, f);
    }
    void print(bool pps)
    {
        PrintRequest r;
        r.printLastPPs = pps;
        r.ppCount = pps ? 4 : 0;
        PrintReport(m, f, p, r);
    }
};

TEST_F(LongTextsTest, EachTextStopsBeforeTheNextOneOnItsLine)
{
    for (bool pps : {false, true}) {
        p.clear();
        print(pps);
        ExpectNoOverlap(p);
        // Cut where "…" and a blank end before the next text, as long as one more character would
        // not fit.
        const std::optional<Event> horse = Printed(p, "Supercal");
        ASSERT_TRUE(horse);
        ASSERT_TRUE(IsCut(*horse));
        const std::string kept = horse->text.substr(0, horse->text.size() - 3);
        EXPECT_TRUE(name.starts_with(kept));
        Event longer = *horse;
        longer.text = name.substr(0, kept.size() + 1) + "\u2026";
        EXPECT_GT(End(longer) + 9 * 0.278 * 20, 2700);
        // A record cut mid-number shows the cut instead of another record.
        const std::optional<Event> cutRecord = Printed(p, "83 ");
        ASSERT_TRUE(cutRecord);
        EXPECT_EQ(cutRecord->text, "83 14-1\u2026");
        // A text keeps its X and size; the jockey of horse 2, without a trainer beside it, runs
        // on to the horse data.
        std::vector<Event> jockeys;
        for (const Event &e : p.texts())
            if (e.x == 5700)
                jockeys.push_back(e);
        ASSERT_EQ(jockeys.size(), 2u);
        EXPECT_EQ(jockeys[0].size, 6);
        EXPECT_TRUE(IsCut(jockeys[0]));
        EXPECT_LE(End(jockeys[0]), 6200);
        EXPECT_GT(End(jockeys[1]), 6200);
        EXPECT_GT(jockeys[1].text.size(), jockeys[0].text.size());
        // The horse data ends inside the page; the hidden column is not printed at all, and no
        // field is missed on letter paper.
        EXPECT_LE(End(*Printed(p, "Dk. b.")), RecordingPrinter::kPageWidth);
        EXPECT_TRUE(p.leftOut().empty());
    }
    // "Other horses" (42 characters at most) stops before the jockey at 8800.
    const std::optional<Event> pp = Printed(p, "Cairo");
    ASSERT_TRUE(pp);
    EXPECT_DOUBLE_EQ(pp->x, 6350);
    EXPECT_TRUE(IsCut(*pp));
    EXPECT_LE(End(*pp), 8800);
}

TEST_F(LongTextsTest, FieldsWithoutRoomOnThePaperAreNotedOnce)
{
    // A5 with quarter-inch margins: the PP jockey, odds and race position start beyond it.
    p.setPageWidth(7671);
    print(true);
    ExpectNoOverlap(p);
    EXPECT_EQ(p.leftOut(), (std::vector<std::string>{"PP Jockey", "PP Odd", "PP Race Pos"}));
    EXPECT_FALSE(Printed(p, "Prat"));
    // A page narrower still leaves out horse columns too, under their own headers.
    p.clear();
    p.setPageWidth(3000);
    print(false);
    EXPECT_EQ(p.leftOut(), (std::vector<std::string>{"Record", "Qualy", "Early", "Final", "% W", "Horse Data", "Jockey",
                                                     "Trainer"}));
}

TEST_F(LongTextsTest, SmallerPagesMoveThePageRulesUp)
{
    // Landscape letter, then a page that holds only a few lines: no line runs off the page.
    for (auto [w, h] : {std::pair{15120.0, 11520.0}, {11520.0, 1500.0}}) {
        p.clear();
        p.setPageWidth(w);
        p.setPageHeight(h);
        p.setCurrentY(h - 400);
        print(true);
        ExpectNoOverlap(p);
        for (const Event &l : p.lines())
            EXPECT_LE(l.x2, std::min(w, 11500.0));
        EXPECT_GE(p.pages(), 2);
    }
}

struct TitleTest : ::testing::Test
{
    Module1 m;
    MemoryForm f;
    RecordingPrinter p;

    // The title lines of a race of one horse whose cell in column col holds text.
    std::vector<Event> title(const std::string &caption, int col = 0, const std::string &text = "1")
    {
        f.MSF().setCols(12);
        f.MSF().setRows(2);
        f.MSF().setFixedRows(1);
        f.MSF().setCell(1, col, text);
        PrintRace(m, f, p, caption, 1, false, 0);
        std::vector<Event> out;
        for (const Event &e : p.texts()) {
            if (e.text.empty())
                break;
            out.push_back(e);
        }
        return out;
    }
};

TEST_F(TitleTest, WideLinesBreakAtTheirLastBlankThatFitsOrAfterTheirLastCharacter)
{
    // 110 characters of wide letters: under the 125-character rule, over the page's width.
    const std::string caption = kel::testing::repeat("WWWWWWWWW ", 11);
    std::vector<Event> t = title(caption);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].text + " " + t[1].text, caption);
    t[0].text += " WWWWWWWWW"; // the next word would not fit
    EXPECT_GT(End(t[0]), RecordingPrinter::kPageWidth);

    p.clear();
    t = title(std::string(120, 'W'));
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].text.size() + t[1].text.size(), 120u);
    EXPECT_DOUBLE_EQ(t[1].x, 0);
    ExpectNoOverlap(p);
}

TEST_F(TitleTest, FurtherLinesFollowTheHorseLinePageRule)
{
    // Room for three 8-point lines below the race's start, not for the lines after them.
    p.setPageHeight(2000);
    p.setCurrentY(1300);
    const std::vector<Event> t = title(kel::testing::repeat(std::string(60, 'W') + " ", 4));
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0].page, 1);
    EXPECT_DOUBLE_EQ(t[0].y, 1300);
    const auto onPage2 = std::find_if(t.begin(), t.end(), [](const Event &e) { return e.page == 2; });
    ASSERT_NE(onPage2, t.end());
    EXPECT_DOUBLE_EQ(onPage2->y, 0);
    ExpectNoOverlap(p);
}

TEST_F(TitleTest, CentredLineThatWouldRunOffMovesLeft)
{
    // Columns far wider than the page centre a short title beyond the right edge.
    const std::vector<Event> t = title("R1 Main", 8, std::string(300, 'W'));
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t[0].text, "R1 Main");
    EXPECT_DOUBLE_EQ(End(t[0]), RecordingPrinter::kPageWidth);
}

TEST(ReportNames, SayTheCardAndTheRaces)
{
    struct Case
    {
        RaceSpan races;
        const char *title;
        const char *file;
    };
    const Case cases[] = {
        {{1, 9}, "gulfstrm.kel, races 1-9", "gulfstrm-races-1-9.pdf"},
        {{2, 2}, "gulfstrm.kel, race 2", "gulfstrm-race-2.pdf"},
        {{3, 2}, "gulfstrm.kel", "gulfstrm.pdf"}, // nothing printed
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ReportTitle("gulfstrm.kel", c.races), c.title);
        EXPECT_EQ(ReportFileName("gulfstrm.kel", c.races), c.file);
    }
    // A name without an extension keeps its dots where they are.
    EXPECT_EQ(ReportFileName(".kel", {1, 1}), ".kel-race-1.pdf");
}

} // namespace
} // namespace kel
