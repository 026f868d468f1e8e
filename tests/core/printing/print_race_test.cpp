#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "printing/print_report.h"
#include "support/recording_printer.h"
#include "store/module1.h"
#include "views/display_text.h"
#include "views/memory_form.h"

namespace kel {
namespace {

using Event = RecordingPrinter::Event;
constexpr double kLine6 = 6 * RecordingPrinter::kLineHeightPerPoint;
constexpr double kLine8 = 8 * RecordingPrinter::kLineHeightPerPoint;
constexpr double kLine9 = 9 * RecordingPrinter::kLineHeightPerPoint;

using Row = std::vector<std::string>;

// A horses page as the page builder leaves it: a header row and one row per horse.
GridModel HorsesGrid(const std::vector<Row> &horses)
{
    GridModel g;
    g.setCols(12);
    g.setRows(1 + static_cast<int>(horses.size()));
    g.setFixedRows(1);
    const Row header
        = {"#", "Horse Name", "Lbs", "Record", "Qualy", "Early", "Final", "% W", "Horse Data", "Jockey", "Trainer"};
    for (int c = 0; c < static_cast<int>(header.size()); ++c)
        g.setCell(0, c, header[c]);
    for (int r = 0; r < static_cast<int>(horses.size()); ++r)
        for (int c = 0; c < static_cast<int>(horses[r].size()); ++c)
            g.setCell(r + 1, c, horses[r][c]);
    return g;
}

Row FullHorse(const std::string &n)
{
    return {n,       "Horse " + n, "120",     "2 0-1-0", "[A-1]",   "[B-2]",
            "[A-1]", "35",         "B. f. 2", "Jockey",  "Trainer", "hidden"};
}

// A PP page: header row and one row per PP, 16 columns.
GridModel PPGrid(const std::vector<Row> &pps)
{
    GridModel g;
    g.setCols(16);
    g.setRows(1 + static_cast<int>(pps.size()));
    g.setFixedRows(1);
    g.setCell(0, 0, "Date");
    g.setCell(0, 2, "KEL");
    for (int r = 0; r < static_cast<int>(pps.size()); ++r)
        for (int c = 0; c < static_cast<int>(pps[r].size()); ++c)
            g.setCell(r + 1, c, pps[r][c]);
    return g;
}

Row FullPP(int n)
{
    const std::string k = std::to_string(n);
    return {"09/14/2024",    "KEE",
            k + "%",         "98%",
            "99.5%",         "2\xC2\xBA 120 (1 1/2)",
            "5 1/2F",        "1:04.88",
            "d-f",           "100K",
            "3-2-2",         "Cairo Kiss-Dazzling Gem-Endlessly and a long tail of names beyond 42",
            "Gaffalione, T", "*2.10",
            "2/9",           "C"};
}

std::vector<Event> TextsFrom(const RecordingPrinter &p, std::size_t first)
{
    std::vector<Event> t = p.texts();
    return {t.begin() + static_cast<long>(first), t.end()};
}

struct PrintRaceTest : ::testing::Test
{
    Module1 m;
    MemoryForm f;
    RecordingPrinter p;

    void print(const std::string &caption) { PrintRace(m, f, p, caption, 1, false, 0); }
};

TEST_F(PrintRaceTest, HorseLinePlacesEveryColumnFromOneRowTop)
{
    f.MSF() = HorsesGrid({FullHorse("1"), FullHorse("2")});
    f.MSF().setRow(2);
    f.MSF().setCol(5);
    print("R1 Main Selection");

    const std::vector<Event> t = p.texts();
    // Title in two lines (a break before "Selec"), then an empty line.
    ASSERT_GE(t.size(), 3u);
    EXPECT_EQ(t[0].text, "R1 Main");
    EXPECT_EQ(t[1].text, "Selection");
    EXPECT_DOUBLE_EQ(t[1].x, 0);
    EXPECT_EQ(t[2].text, "");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(t[i].size, 8);
        EXPECT_TRUE(t[i].bold);
        EXPECT_DOUBLE_EQ(t[i].y, i * kLine8);
    }

    const double xs[] = {0, 300, 2700, 3150, 3750, 4200, 4700, 5200, 6700, 5700, 6200, 17700};
    const double rowTop = 3 * kLine8;
    ASSERT_EQ(t.size(), 3u + 24u + 1u);
    for (int c = 0; c < 12; ++c) {
        const Event &e = t[3 + c];
        // The hidden column starts beyond the paper: nothing of it is printed.
        EXPECT_EQ(e.text, c == 11 ? "" : FullHorse("1")[c]) << c;
        EXPECT_DOUBLE_EQ(e.x, xs[c]) << c;
        EXPECT_DOUBLE_EQ(e.y, rowTop) << c;
        EXPECT_EQ(e.size, c < 3 ? 9 : 6) << c;
        EXPECT_FALSE(e.bold);
        EXPECT_EQ(e.font, "Arial");
    }
    // The next horse starts below the name, at a whole twip.
    const double nextTop = t[15].y;
    EXPECT_EQ(nextTop, static_cast<int>(rowTop + kLine9 + 0.5));
    for (int c = 0; c < 12; ++c)
        EXPECT_DOUBLE_EQ(t[15 + c].y, nextTop);
    EXPECT_EQ(t.back().text, "");
    EXPECT_DOUBLE_EQ(t.back().x, 0);
    EXPECT_TRUE(p.lines().empty());
    EXPECT_EQ(f.MSF().row(), 2);
    EXPECT_EQ(f.MSF().col(), 5);
}

TEST_F(PrintRaceTest, TitleCentresOverTheMeasuredColumns)
{
    f.MSF() = HorsesGrid({FullHorse("1")});
    print("R1");
    // Columns measured in Arial 10 regular, each width rounded on its own.
    RecordingPrinter m10;
    m10.setFontSize(10);
    int32_t total = 0;
    for (const std::string &s : FullHorse("1"))
        total += ToInt32(m10.textWidth(s));
    RecordingPrinter m8;
    m8.setFontSize(8);
    m8.setFontBold(true);
    EXPECT_DOUBLE_EQ(p.texts()[0].x, total / 2 - static_cast<int>(m8.textWidth("R1") / 2));
}

TEST_F(PrintRaceTest, HugeTextsArePrintedCutToWhatIsDrawn)
{
    // A card field of megabytes: the title and the cell print as the window draws them.
    Row horse = FullHorse("1");
    horse[8] = std::string(3000, 'd');
    f.MSF() = HorsesGrid({horse});
    print(std::string(2 << 20, 't'));
    std::string title;
    std::vector<std::string> cells;
    for (const Event &e : p.texts())
        (e.bold ? title : cells.emplace_back()) += e.text;
    EXPECT_EQ(title, DisplayText(std::string(2 << 20, 't')));
    ASSERT_GT(cells.size(), 8u);
    // The horse data is then cut to the paper's width.
    ASSERT_TRUE(cells[8].ends_with("\u2026"));
    EXPECT_GT(cells[8].size(), 3u);
    EXPECT_TRUE(DisplayText(horse[8]).starts_with(cells[8].substr(0, cells[8].size() - 3)));
}

TEST_F(PrintRaceTest, TitleWiderThanTheColumnsStartsAtTheLeft)
{
    f.MSF() = HorsesGrid({{"1", "A"}});
    print("A title much wider than the two narrow columns of the only horse");
    EXPECT_DOUBLE_EQ(p.texts()[0].x, 0);
}

TEST_F(PrintRaceTest, ColumnsEmptyInEveryMeasuredRowAreLeftOutAndFlatRowsSkipped)
{
    Row first = FullHorse("1");
    Row second = FullHorse("2");
    first[3].clear(); // "Record" empty in every measured row
    second[3].clear();
    second[9].clear(); // "Jockey" empty in the last measured row only: still printed
    second[10].clear();
    Row flat = FullHorse("3");
    flat[3] = "9 9-9-9"; // not measured: its "Record" does not bring the column back
    f.MSF() = HorsesGrid({first, second, flat});
    f.MSF().setRowHeight(3, 1);
    print("R1");

    const std::vector<Event> horses = TextsFrom(p, 2);
    // Two printed horse lines of 11 columns each, then the closing empty line.
    ASSERT_EQ(horses.size(), 23u);
    for (const Event &e : horses)
        EXPECT_TRUE(e.text != "3" && e.text != "Horse 3") << e.text;
    EXPECT_EQ(horses[3].text, "[A-1]");
    // "Qualy" takes the place the skipped "Record" would have had.
    EXPECT_DOUBLE_EQ(horses[3].x, 3150);
    EXPECT_DOUBLE_EQ(horses[4].x, 4200);
    EXPECT_EQ(horses[3].size, 6);
    EXPECT_EQ(horses[8].text, "Jockey");
    EXPECT_EQ(horses[19].text, "");
    EXPECT_DOUBLE_EQ(horses[19].x, 5700);
}

TEST_F(PrintRaceTest, LineWithoutTheNameColumnStillMovesDown)
{
    Row a = FullHorse("1");
    Row b = FullHorse("2");
    a[1].clear();
    b[1].clear();
    f.MSF() = HorsesGrid({a, b});
    print("R1");
    const std::vector<Event> horses = TextsFrom(p, 2);
    ASSERT_EQ(horses.size(), 23u);
    const double top1 = horses[0].y;
    // Column 0 is printed first at X 0, column 2 then takes the place after the name.
    EXPECT_DOUBLE_EQ(horses[1].x, 300);
    EXPECT_DOUBLE_EQ(horses[11].y, ToInt16(top1 + kLine9));
    EXPECT_EQ(horses[11].text, "2");
}

TEST_F(PrintRaceTest, RaceStartsANewPageBelow12000TwipsOrWhereThePageEnds)
{
    // The rule is 12000 twips, compared after rounding; on paper too short for that, the last Y
    // that leaves room for a 9-point and a 6-point line: 11000 - kLine9 - kLine6 = 10655.3.
    const struct
    {
        double pageHeight;
        double y;
        bool newPage;
    } cases[] = {
        {RecordingPrinter::kPageHeight, 12000.4, false},
        {RecordingPrinter::kPageHeight, 12000.6, true},
        {11000, 10655, false},
        {11000, 10656, true},
    };
    f.MSF() = HorsesGrid({FullHorse("1")});
    for (const auto &c : cases) {
        p.clear();
        p.setPageHeight(c.pageHeight);
        p.setCurrentY(c.y);
        print("R1");
        const Event title = p.texts()[0];
        EXPECT_EQ(title.page, c.newPage ? 2 : 1) << c.pageHeight << " " << c.y;
        EXPECT_DOUBLE_EQ(title.y, c.newPage ? 0 : c.y) << c.pageHeight << " " << c.y;
    }
}

TEST_F(PrintRaceTest, HorseLineBelow14000TwipsGoesToANewPage)
{
    // Below the first, horse lines start 207 twips apart (a 9-point line, rounded): from 11999
    // the ninth would start at 14023, from 11976.3 at exactly 14000, which is still on the page.
    const struct
    {
        double y;
        double lastTop;
        int firstOnNewPage;
    } cases[] = {
        {11999, 13816, 9},
        {11976.3, 14000, 10},
    };
    std::vector<Row> horses;
    for (int h = 1; h <= 12; ++h)
        horses.push_back(FullHorse(std::to_string(h)));
    f.MSF() = HorsesGrid(horses);
    for (const auto &c : cases) {
        p.clear();
        p.setCurrentY(c.y);
        print("R1");
        ASSERT_EQ(p.pages(), 2);
        double lastTop = 0;
        int firstOnNewPage = 0;
        for (const Event &e : TextsFrom(p, 2)) {
            if (e.x != 0 || e.text.empty())
                continue; // column 0 only
            if (e.page == 1) {
                lastTop = e.y;
            } else if (!firstOnNewPage) {
                firstOnNewPage = std::stoi(e.text);
                EXPECT_DOUBLE_EQ(e.y, 0);
            }
        }
        EXPECT_DOUBLE_EQ(lastTop, c.lastTop) << c.y;
        EXPECT_EQ(firstOnNewPage, c.firstOnNewPage) << c.y;
    }
}

TEST(CenterX, HalvesBothWidthsDownward)
{
    // Int(width / 2) - Int(text width / 2); an odd width or text width shows whether each half
    // is floored before the two are subtracted.
    const struct
    {
        double points;
        const char *text;
        int32_t width;
        int32_t x;
    } cases[] = {
        {10, "Ab1", 1001, 323}, // 355.8 twips: 500 - 177
        {10, "Ab1", -1, -178},  // -1 - 177
        {50, "A", 1001, 167},   // 667 twips: 500 - 333
        {50, "b", 1003, 223},   // 556 twips: 501 - 278
    };
    RecordingPrinter p;
    for (const auto &c : cases) {
        p.setFontSize(c.points);
        EXPECT_EQ(CenterX(p, c.text, c.width), c.x) << c.text << " over " << c.width;
    }
}

TEST(TitleLines, BreaksAtTheLastBlankBefore125Characters)
{
    // 130 characters, the last blank up to position 125 at position 120.
    std::string t(119, 'a');
    t += ' ';
    t += std::string(10, 'b');
    ASSERT_EQ(t.size(), 130u);
    EXPECT_EQ(TitleLines(t), (std::vector<std::string>{std::string(119, 'a'), std::string(10, 'b')}));
}

TEST(TitleLines, BreaksBeforeSelec)
{
    // "Selec" at position 40.
    std::string t = std::string(38, 'a') + " Selection of ten";
    EXPECT_EQ(TitleLines(t), (std::vector<std::string>{std::string(38, 'a'), "Selection of ten"}));
    // At position 1 it starts the title already.
    EXPECT_EQ(TitleLines("Selection"), std::vector<std::string>{"Selection"});
    // Without a blank in front the character before it is dropped all the same.
    EXPECT_EQ(TitleLines("XSelec"), (std::vector<std::string>{"", "Selec"}));
    // Below 125 characters only the first "Selec" breaks.
    EXPECT_EQ(TitleLines("a Selec b Selec"), (std::vector<std::string>{"a", "Selec b Selec"}));
}

TEST(TitleLines, LongTitlesBreakRepeatedly)
{
    // From 125 characters on the break goes before "Selec", at the blank in front of it; what is
    // left breaks once more before the next "Selec".
    std::string t = "R1 Main " + std::string(60, 'x') + " Selec one " + std::string(60, 'y') + " Selec two";
    const std::vector<std::string> lines = TitleLines(t);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "R1 Main " + std::string(60, 'x'));
    EXPECT_EQ(lines[1], "Selec one " + std::string(60, 'y'));
    EXPECT_EQ(lines[2], "Selec two");
}

TEST(TitleLines, NoBlankBreaksHardAt124Characters)
{
    const std::string t(300, 'x');
    EXPECT_EQ(TitleLines(t),
              (std::vector<std::string>{std::string(124, 'x'), std::string(124, 'x'), std::string(52, 'x')}));
}

TEST(TitleLines, ControlCharactersBecomeBlanksAndCharactersCountNotBytes)
{
    EXPECT_EQ(TitleLines("R1 Main \n6F  - Dirt "), std::vector<std::string>{"R1 Main  6F  - Dirt "});
    // 124 two-byte characters stay on one line.
    std::string wide;
    for (int i = 0; i < 124; ++i)
        wide += "\xC2\xBA";
    EXPECT_EQ(TitleLines(wide), std::vector<std::string>{wide});
    // The 125th character makes it break.
    EXPECT_EQ(TitleLines(wide + "a").size(), 2u);
}

// At 50 points "A" is 667 twips wide, " " 278, "1" and "\xC2\xBA" 556, "…" 1000.
TEST(FitText, KeepsTheWholeCharactersThatEndByTheLimit)
{
    const struct
    {
        const char *text;
        double x;
        double limit;
        const char *kept;
    } cases[] = {
        {"AAA", 100, 2101, "AAA"}, // ends exactly at the limit
        {"AAA", 100, 2100, "AA"},    {"AAA", 100, 1434, "AA"}, {"AAA", 100, 1433, "A"},
        {"AAA", 100, 767, "A"},      {"AAA", 100, 766, ""},    {"1\xC2\xBA", 0, 1112, "1\xC2\xBA"},
        {"1\xC2\xBA", 0, 1111, "1"}, // a character of two bytes is kept or left whole
        {"A", 2000, 1000, ""},       // starting past the limit
    };
    RecordingPrinter p;
    p.setFontSize(50);
    for (const auto &c : cases)
        EXPECT_EQ(FitText(p, c.text, c.x, c.limit), c.kept) << c.text << " at " << c.x << " before " << c.limit;
}

TEST(CutText, EndsACutInAnEllipsisABlankBeforeTheLimit)
{
    const struct
    {
        const char *text;
        double x;
        double limit;
        const char *printed;
    } cases[] = {
        {"AAA", 0, 2001, "AAA"},       // whole: it ends by the limit, with no blank needed
        {"AAA", 0, 2000, "A\u2026"},   // 667 + 1000 + a blank of 278 = 1945
        {"AAA", 0, 1945, "A\u2026"},   // exactly
        {"AAA", 0, 1944, "\u2026"},    // the mark alone says that something is missing
        {"AAA", 0, 1278, "\u2026"},    // exactly
        {"AAA", 0, 1277, ""},          // no room even for that
        {"AAA", 100, 2045, "A\u2026"}, // from x
        {"AAA", 100, 2044, "\u2026"},
        {"A AA", 0, 2278, "A\u2026"}, // the blank at the cut is dropped
        {"1\xC2\xBA"
         "111",
         0, 2390, "1\xC2\xBA\u2026"}, // whole characters of two bytes
        {"1\xC2\xBA"
         "111",
         0, 2389, "1\u2026"},
        {"A", 2000, 1000, ""}, // starting past the limit
    };
    RecordingPrinter p;
    p.setFontSize(50);
    for (const auto &c : cases)
        EXPECT_EQ(CutText(p, c.text, c.x, c.limit), c.printed) << c.text << " at " << c.x << " before " << c.limit;
}

TEST(FitLines, BreakAtTheLastBlankThatFitsOrAfterTheLastCharacterThatFits)
{
    const struct
    {
        std::vector<std::string> lines;
        std::vector<std::string> fitted;
    } cases[] = {
        {{"AAA"}, {"AAA"}}, // exactly the width
        {{"AAAA"}, {"AAA", "A"}},
        {{"A A AA"}, {"A A", "AA"}},
        {{"AAA AAA"}, {"AAA", "AAA"}}, // the blank right at the width
        {{"AAAAAAA"}, {"AAA", "AAA", "A"}},
        {{"AA", "AAAA A"}, {"AA", "AAA", "A A"}},
    };
    RecordingPrinter p;
    p.setFontSize(50);
    for (const auto &c : cases)
        EXPECT_EQ(FitLines(p, c.lines, 2001), c.fitted) << c.lines.back(); // 2001: "AAA"
}

struct PrintHorsePPsTest : ::testing::Test
{
    RecordingPrinter p;
    GridModel g;

    std::vector<Event> printed(int16_t count)
    {
        PrintHorsePPs(p, g, 1, count);
        return p.texts();
    }
};

TEST_F(PrintHorsePPsTest, PrintsTheFirstPPsFieldByField)
{
    std::vector<Row> pps;
    for (int i = 1; i <= 10; ++i)
        pps.push_back(FullPP(100 + i));
    g = PPGrid(pps);
    g.setRow(7);
    g.setCol(9);
    p.setFontBold(true);
    p.setCurrentY(1000);
    const std::vector<Event> t = printed(4);

    ASSERT_EQ(t.size(), 4u * 15u);
    const double xs[] = {300, 900, 1500, 2100, 2700, 3000, 3900, 4400, 4950, 5480, 5850, 6350, 8800, 9900, 10400};
    const int cols[] = {2, 3, 4, 0, 1, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 15; ++k) {
            const Event &e = t[i * 15 + k];
            std::string want = FullPP(101 + i)[cols[k]];
            if (cols[k] == 0)
                want = "09/14/20";
            if (cols[k] == 11)
                want = want.substr(0, 42);
            EXPECT_EQ(e.text, want);
            EXPECT_DOUBLE_EQ(e.x, xs[k]);
            EXPECT_DOUBLE_EQ(e.y, 1000 + i * kLine6);
            EXPECT_EQ(e.size, 6);
            EXPECT_FALSE(e.bold);
        }
    }
    ASSERT_EQ(p.lines().size(), 1u);
    const Event rule = p.lines()[0];
    EXPECT_DOUBLE_EQ(rule.x, 0);
    EXPECT_DOUBLE_EQ(rule.x2, 11500);
    EXPECT_DOUBLE_EQ(rule.y, 1000 + 4 * kLine6);
    EXPECT_EQ(rule.y, rule.y2);
    EXPECT_DOUBLE_EQ(p.currentX(), 0);
    EXPECT_EQ(g.row(), 7);
    EXPECT_EQ(g.col(), 9);
}

TEST_F(PrintHorsePPsTest, StopsAtTheLastListedPP)
{
    g = PPGrid({FullPP(1), FullPP(2)});
    EXPECT_EQ(printed(4).size(), 2u * 15u);
    EXPECT_EQ(p.lines().size(), 1u);
}

TEST_F(PrintHorsePPsTest, OtherHorsesAreCutAt42Characters)
{
    // Character count, not bytes: the "º" is one character. Narrow letters, so that the 42
    // characters fit before the jockey.
    Row pp = FullPP(1);
    pp[11] = std::string(41, 'i') + "\xC2\xBA" + "tail";
    g = PPGrid({pp});
    EXPECT_EQ(printed(1)[11].text, std::string(41, 'i') + "\xC2\xBA");
}

TEST_F(PrintHorsePPsTest, NoRatedFirstPPGivesOneEmptyLine)
{
    Row first = FullPP(1);
    first[2] = "-";
    g = PPGrid({first, FullPP(2), FullPP(3)});
    const std::vector<Event> t = printed(4);
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].text, "");
    EXPECT_EQ(p.lines().size(), 1u);
    EXPECT_DOUBLE_EQ(p.lines()[0].y, kLine6);
}

TEST_F(PrintHorsePPsTest, HeaderOnlyGivesOneEmptyLineAndTheRule)
{
    g = PPGrid({});
    ASSERT_EQ(printed(4).size(), 1u);
    EXPECT_EQ(p.lines().size(), 1u);
}

TEST_F(PrintHorsePPsTest, ScratchedHorseGetsOneEmptyLineAndNoRule)
{
    g = PPGrid({});
    g.setRows(0);
    p.setFontSize(9);
    const std::vector<Event> t = printed(4);
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].text, "");
    EXPECT_TRUE(p.lines().empty());
    EXPECT_DOUBLE_EQ(p.currentY(), kLine9);
}

TEST_F(PrintHorsePPsTest, ZeroOrNegativeCountPrintsOnlyTheRule)
{
    g = PPGrid({FullPP(1)});
    EXPECT_TRUE(printed(0).empty());
    EXPECT_TRUE(printed(-5).empty());
    EXPECT_EQ(p.lines().size(), 2u);
}

TEST_F(PrintHorsePPsTest, LinesThatWouldRunOffThePageStartANewOne)
{
    g = PPGrid({FullPP(1), FullPP(2), FullPP(3)});
    // Room for exactly one line on the first page.
    p.setCurrentY(RecordingPrinter::kPageHeight - 1.5 * kLine6);
    const std::vector<Event> t = printed(3);
    ASSERT_EQ(t.size(), 45u);
    EXPECT_EQ(t[0].page, 1);
    EXPECT_EQ(t[15].page, 2);
    EXPECT_DOUBLE_EQ(t[15].y, 0);
    EXPECT_DOUBLE_EQ(t[30].y, kLine6);
    EXPECT_EQ(p.lines()[0].page, 2);
    EXPECT_DOUBLE_EQ(p.lines()[0].y, 2 * kLine6);
}

TEST(Answers, ConvertHalfToEvenWithinTheRange)
{
    EXPECT_EQ(ToInt16(2.5), 2);
    EXPECT_EQ(ToInt16(3.5), 4);
    EXPECT_EQ(ToInt16(-0.5), 0);
    EXPECT_EQ(ToInt16(-1.5), -2);
    EXPECT_EQ(ToInt16(2.4999), 2);
    EXPECT_EQ(ToInt16(1e9), 32767);
    EXPECT_EQ(ToInt16(-1e9), -32768);
    EXPECT_EQ(ToInt32(574.5), 574);
    EXPECT_EQ(AnswerNumber(" 4 "), 4.0);
    EXPECT_EQ(AnswerNumber("-2.5"), -2.5);
    EXPECT_FALSE(AnswerNumber("four"));
    EXPECT_FALSE(AnswerNumber("4 pps"));
    EXPECT_FALSE(AnswerNumber(""));
}

} // namespace
} // namespace kel
