#include <functional>

#include <gtest/gtest.h>

#include "engine/ratings.h"
#include "settings/filter.h"
#include "support/card_builder.h"
#include "view_card.h"
#include "views/status_line.h"

namespace kel {
namespace {

using test::Screen;

// Two races of two horses. Race 1: horse 1 has a PP of 2000 (fails the initial date) and a
// good one; horse 2 two good ones. Race 2: horse 1 one PP of 2000, horse 2 a good one.
struct SettingsCommands : ::testing::Test
{
    Screen s;
    ScriptedDialogs d;

    void SetUp() override
    {
        test::CardBuilder b(s.m.Data);
        b.race(1).horseWith(1, 1, {"100%", "101%"}).horseWith(1, 2, {"102%", "99%"});
        b.race(2).horseWith(2, 1, {"100%"}).horseWith(2, 2, {"103%"});
        for (int r = 1; r <= 2; ++r)
            for (int h = 1; h <= 2; ++h)
                for (int p = 1; !s.m.Data(r, h, p, 2).empty(); ++p) {
                    s.m.Data.set(r, h, p, 9, "d-f");
                    s.m.Data.set(r, h, p, 10, "50K");
                }
        s.m.Data.set(1, 1, 1, 1, "06/15/00");
        s.m.Data.set(2, 1, 1, 1, "06/15/00");
        s.m.CurrentRace = 0;
        RerunRatings(s.m);
        s.m.loaded = true;
        ShowRaceList(s.m, s.f);
    }

    void openRace(int r) { s.dblClick(r - 1); }
    std::string mark(int r, int h, int p) { return std::string(s.m.Data(r, h, p, 0)); }
    // A cell the page builders would overwrite: tells whether the page was rebuilt.
    void stain() { s.g().setCell(1, 0, "stain"); }
    bool redrawn() { return s.g().cell(1, 0) != "stain"; }
};

TEST_F(SettingsCommands, RecalculateOpensAndCancelClosesTheFrame)
{
    Recalculate_Click(s.f);
    EXPECT_TRUE(s.f.visible(Ctl::FrameRecalculate));
    EXPECT_EQ(s.f.focus(), Ctl::Text_Date);
    Command6_Click(s.f);
    EXPECT_FALSE(s.f.visible(Ctl::FrameRecalculate));
    EXPECT_EQ(s.f.focus(), Ctl::MSF);
    EXPECT_EQ(mark(1, 1, 1), "");
}

TEST_F(SettingsCommands, GoOnTheHorsesPageFiltersTheRaceAndRedraws)
{
    openRace(1);
    Recalculate_Click(s.f);
    stain();
    Command4_Click(s.m, s.f, d);
    EXPECT_TRUE(d.shown().empty());
    EXPECT_EQ(mark(1, 1, 1), "F");
    EXPECT_EQ(mark(1, 1, 2), "");
    EXPECT_EQ(mark(2, 1, 1), "") << "only the current race";
    EXPECT_FALSE(s.f.visible(Ctl::FrameRecalculate));
    EXPECT_TRUE(redrawn());
    EXPECT_EQ(s.g().cell(1, 3), "1 0-0-0") << "the record counts the PP left";
    EXPECT_EQ(s.f.focus(), Ctl::MSF);
}

TEST_F(SettingsCommands, GoOnTheRaceListCoversTheCardWithoutRedraw)
{
    Recalculate_Click(s.f);
    stain();
    Command4_Click(s.m, s.f, d);
    EXPECT_EQ(mark(1, 1, 1), "F");
    EXPECT_EQ(mark(2, 1, 1), "F");
    EXPECT_EQ(s.m.Data(2, 1, 0, 5), "[Z-99]");
    EXPECT_FALSE(redrawn());
    EXPECT_FALSE(s.f.visible(Ctl::FrameRecalculate));
}

TEST_F(SettingsCommands, GoOnThePPPageDoesNotRedrawIt)
{
    openRace(2);
    s.dblClick(1);
    ASSERT_EQ(s.m.ViewPage, 3);
    stain();
    Command4_Click(s.m, s.f, d);
    EXPECT_EQ(mark(2, 1, 1), "F");
    EXPECT_EQ(mark(1, 1, 1), "");
    EXPECT_EQ(s.m.Data(2, 1, 0, 5), "[Z-99]");
    EXPECT_FALSE(redrawn());
}

TEST_F(SettingsCommands, GoReadsTheFrame)
{
    openRace(1);
    s.f.setText(Ctl::Text_Date, "01/01/99");
    s.f.setValue(Ctl::Check_Dirt, 0);
    s.f.setValue(Ctl::Check_Turf, 2);
    Command4_Click(s.m, s.f, d);
    EXPECT_EQ(mark(1, 2, 1) + mark(1, 2, 2), "FF");
}

TEST_F(SettingsCommands, RefusedGoKeepsTheFrameOpen)
{
    openRace(1);
    Recalculate_Click(s.f);
    const std::string labels(s.m.Data(1, 1, 0, 5));
    stain();
    const struct
    {
        Ctl box;
        std::string text;
        std::string_view prompt;
    } cases[] = {
        {Ctl::Text_Date, "1/1/01", kDateMessage},
        {Ctl::Text_Date, "1/01/01", kDateMessage}, // one character short
        {Ctl::Text_Purse1, "lots", kPurseMessage},
        {Ctl::Text_Purse2, "", kPurseMessage},
        {Ctl::Text_Distance1, "1/2F", kDistanceMessage},
        {Ctl::Text_Distance2, "2 1/0M", kDistanceMessage},
    };
    for (const auto &c : cases) {
        MemoryForm &f = s.f;
        const std::string before = f.text(c.box);
        f.setText(c.box, c.text);
        d.clearShown();
        Command4_Click(s.m, f, d);
        ASSERT_EQ(d.shown().size(), 1u) << c.text;
        EXPECT_EQ(d.shown()[0].prompt, c.prompt);
        EXPECT_EQ(d.shown()[0].title, "Check entry");
        EXPECT_EQ(d.shown()[0].buttons, MsgButtons::Ok);
        EXPECT_TRUE(f.visible(Ctl::FrameRecalculate));
        EXPECT_EQ(f.focus(), Ctl::Text_Date) << "the focus stays";
        EXPECT_EQ(f.text(c.box), c.text) << "what the user typed stays";
        f.setText(c.box, before);
    }
    EXPECT_EQ(mark(1, 1, 1), "");
    EXPECT_EQ(s.m.Data(1, 1, 0, 5), labels);
    EXPECT_FALSE(redrawn());
}

TEST_F(SettingsCommands, ScratchKeyMarksRedrawsAndKeepsTheRow)
{
    openRace(1);
    Recalculate_Click(s.f);
    s.g().setRow(1);
    s.g().setCol(5);
    s.key('s');
    EXPECT_EQ(mark(1, 1, 1) + mark(1, 1, 2), "SS");
    EXPECT_EQ(s.row(1).substr(0, 4), "1|-|");
    EXPECT_EQ(s.g().row(), 1);
    EXPECT_EQ(s.g().col(), 1);
    EXPECT_EQ(s.f.focus(), Ctl::MSF);
    EXPECT_FALSE(s.f.visible(Ctl::FrameRecalculate));
    EXPECT_EQ(s.m.Data(1, 1, 0, 5), "[Z-99]");
    EXPECT_EQ(s.m.CurrentRace, 1);
}

TEST_F(SettingsCommands, ScratchOnARowThatIsNoHorseDoesNothing)
{
    openRace(1);
    Recalculate_Click(s.f);
    stain();
    for (int row : {0, 3, -1, 400}) {
        s.g().setRow(row);
        Scratched(s.m, s.f);
    }
    EXPECT_FALSE(redrawn());
    EXPECT_TRUE(s.f.visible(Ctl::FrameRecalculate));
    EXPECT_EQ(mark(1, 1, 1) + mark(1, 2, 1) + mark(1, 3, 1), "");
}

TEST_F(SettingsCommands, ResetCancelChangesNothing)
{
    openRace(1);
    s.g().setRow(2);
    Scratched(s.m, s.f);
    Recalculate_Click(s.f);
    stain();
    d.answer(MsgAnswer::Cancel);
    ResetData_Click(s.m, s.f, d);
    ResetData_Click(s.m, s.f, d); // box closed
    ASSERT_EQ(d.shown().size(), 2u);
    EXPECT_EQ(d.shown()[0].prompt, "Do you want to reset the scratches too?");
    EXPECT_EQ(d.shown()[0].title, "Enter option");
    EXPECT_EQ(d.shown()[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(mark(1, 2, 1), "S");
    EXPECT_FALSE(redrawn());
    EXPECT_EQ(s.f.focus(), Ctl::Text_Date);
}

TEST_F(SettingsCommands, ResetNoOnTheHorsesPageKeepsScratches)
{
    openRace(1);
    Command4_Click(s.m, s.f, d);
    s.g().setRow(2);
    Scratched(s.m, s.f);
    s.m.Data.set(2, 1, 1, 0, "F");
    stain();
    d.answer(MsgAnswer::No);
    ResetData_Click(s.m, s.f, d);
    EXPECT_EQ(mark(1, 1, 1), "");
    EXPECT_EQ(mark(1, 2, 1) + mark(1, 2, 2), "SS");
    EXPECT_EQ(mark(2, 1, 1), "F") << "other races are outside the scope";
    EXPECT_TRUE(redrawn());
    EXPECT_EQ(s.g().cell(2, 1), "-");
    EXPECT_EQ(s.f.focus(), Ctl::MSF);
}

TEST_F(SettingsCommands, ResetYesOnTheRaceListCoversTheCard)
{
    openRace(1);
    s.g().setRow(1);
    Scratched(s.m, s.f);
    s.key(27);
    ASSERT_EQ(s.m.ViewPage, 1);
    s.m.Data.set(2, 1, 1, 0, "F");
    stain();
    d.answer(MsgAnswer::Yes);
    ResetData_Click(s.m, s.f, d);
    EXPECT_EQ(mark(1, 1, 1) + mark(2, 1, 1), "");
    EXPECT_NE(s.m.Data(1, 1, 0, 5), "[Z-99]");
    EXPECT_TRUE(redrawn());
    EXPECT_EQ(s.g().cell(0, 0).substr(0, 4), "Race");
}

TEST_F(SettingsCommands, ResetOnThePPPageRedrawsNothing)
{
    openRace(1);
    s.dblClick(1);
    stain();
    d.answer(MsgAnswer::Yes);
    ResetData_Click(s.m, s.f, d);
    EXPECT_FALSE(redrawn());
    EXPECT_EQ(s.f.focus(), Ctl::MSF);
}

TEST_F(SettingsCommands, SpeedButtonsRerunOneKind)
{
    openRace(1);
    s.m.Data.set(1, 1, 1, 0, "S");
    s.m.Data.set(1, 1, 2, 0, "S");
    const std::string qualy(s.m.Data(1, 1, 0, 5));
    const std::string fin(s.m.Data(1, 1, 0, 7));
    Speed_Click(s.m, s.f);
    EXPECT_EQ(s.m.Data(1, 1, 0, 6), "[Z-99]");
    EXPECT_EQ(s.m.Data(1, 1, 0, 5), qualy);
    EXPECT_EQ(s.m.Data(1, 1, 0, 7), fin);
    EXPECT_EQ(s.g().cell(1, 5), "-") << "redrawn";
    LateSpeed_Click(s.m, s.f);
    EXPECT_EQ(s.m.Data(1, 1, 0, 7), "[Z-99]");
    EXPECT_EQ(s.m.Data(1, 1, 0, 5), qualy);
    EXPECT_EQ(s.f.focus(), Ctl::MSF);
}

// The status line after each command: the card and the scope's marks with the latest "Go!" that
// made them, then the horse S acts on with the row's texts, or what the current row or cell holds.
TEST_F(SettingsCommands, StatusLineSaysWhatTheMarksAndSAreAbout)
{
    s.m.cardPath = "/cards/CARD\xE9.kel"; // not UTF-8: shown as the file list shows it
    const auto separated = [](std::string text) {
        for (std::size_t at; (at = text.find('|')) != std::string::npos;)
            text.replace(at, 1, kStatusSeparator);
        return text;
    };
    const auto date = [&](std::string_view since, int turf) {
        s.f.setText(Ctl::Text_Date, since);
        s.f.setValue(Ctl::Check_Turf, turf);
        Command4_Click(s.m, s.f, d);
    };
    const struct
    {
        const char *step;
        std::function<void()> run;
        const char *marks;
        const char *current;
    } steps[] = {
        {"opened", [] {}, "The card: every PP counts", "Enter opens race 2"},
        {"race 1", [&] { openRace(1); }, "Race 1: every PP counts", "S scratches: 2 Horse|Record: 2 0-0-0"},
        {"Go!", [&] { date("01/01/01", 1); }, "Filter since 01/01/01 on race 1: 1 PP left out|Reset data clears them",
         "S scratches: 2 Horse|Record: 2 0-0-0"},
        {"S over the filtered horse",
         [&] {
             s.g().setRow(1);
             s.key('S');
         },
         "Filter since 01/01/01 on race 1: no PP left out|1 scratched|Reset data clears them", "1 Horse is scratched"},
        {"stricter Go!", [&] { date("06/01/24", 0); },
         "Filter since 06/01/24, no turf (after 1 other) on race 1: 2 PPs left out|1 scratched|Reset data clears them",
         "S scratches: 2 Horse|Record: 0 0-0-0"},
        {"ESC: the card", [&] { s.key(27); },
         "Filter since 06/01/24, no turf (after 1 other) on race 1: 2 PPs left out|1 scratched|Reset data clears them",
         "Enter opens race 2"},
        {"Go! over the card", [&] { date("01/01/01", 1); },
         "Filters on the card: 3 PPs left out|1 scratched|Reset data clears them", "Enter opens race 2"},
        {"Reset data, No",
         [&] {
             d.answer(MsgAnswer::No);
             ResetData_Click(s.m, s.f, d);
         },
         "The card: 1 scratched|Reset data clears them", "Enter opens race 2"},
        {"a PP's cell",
         [&] {
             openRace(2);
             s.dblClick(1);
             s.g().setRow(1);
             s.g().setCol(0);
         },
         "Race 2: every PP counts", "Date: 06/15/00"},
        {"the PP page's header", [&] { s.g().setRow(0); }, "Race 2: every PP counts", ""},
    };
    for (const auto &step : steps) {
        step.run();
        EXPECT_EQ(StatusMarks(s.m), separated(std::string("CARD\uFFFD.kel|") + step.marks)) << step.step;
        EXPECT_EQ(StatusCurrent(s.m, s.g()), separated(step.current)) << step.step;
    }
    s.key(27);
    s.key(27);
    s.m.cardPath.clear();
    EXPECT_EQ(StatusMarks(s.m), "No card open");
    EXPECT_EQ(StatusCurrent(s.m, s.g()), "");
}

} // namespace
} // namespace kel
