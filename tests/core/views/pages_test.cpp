#include <gtest/gtest.h>

#include "view_card.h"
#include "views/column_room.h"

namespace kel {
namespace {

using test::Screen;
using test::setSlots;

TEST(RaceList, OneRowPerRaceWithTheRaceRecordJoinedBySpaces)
{
    Screen s;
    test::threeRaces(s.m);
    s.m.Data.set(2, 0, 0, 3, ""); // race 2 ends at slot 3: "R2 Main"
    s.m.CurrentRace = 3;
    s.f.setVisible(Ctl::Printd, false);
    ShowRaceList(s.m, s.f);

    EXPECT_EQ(s.m.ViewPage, 1);
    EXPECT_EQ(s.m.CurrentRace, 0);
    EXPECT_EQ(s.f.caption(Ctl::LabelCarreras), "CARD.kel");
    EXPECT_EQ(s.f.caption(Ctl::Label_Help), "Select a race doing doubleclik over the grid row");
    EXPECT_TRUE(s.f.visible(Ctl::Recalculate));
    EXPECT_TRUE(s.f.visible(Ctl::ResetData));
    EXPECT_FALSE(s.f.visible(Ctl::Printd)) << "Print keeps its visibility";

    ASSERT_EQ(s.g().rows(), 3);
    EXPECT_EQ(s.g().cols(), 1);
    EXPECT_EQ(s.g().fixedRows(), 0);
    EXPECT_EQ(s.g().cell(0, 0), "R1 Main 6F Dirt Clm");
    EXPECT_EQ(s.g().cell(1, 0), "R2 Main");
    EXPECT_EQ(s.g().cell(2, 0), "R3 Main 6F Dirt Clm");
    EXPECT_EQ(s.g().colWidth(0), s.g().width());
    EXPECT_EQ(s.g().colAlignment(0), 0);
    EXPECT_EQ(s.g().row(), 2);
    EXPECT_EQ(s.g().col(), 0);
}

TEST(RaceList, EndsAtTheFirstRaceWithoutSlotOne)
{
    Screen s;
    test::threeRaces(s.m);
    s.m.Data.set(2, 0, 0, 1, "");
    ShowRaceList(s.m, s.f);
    EXPECT_EQ(s.g().rows(), 1);

    Screen empty;
    ShowRaceList(empty.m, empty.f);
    EXPECT_EQ(empty.g().rows(), 0);
    EXPECT_EQ(empty.f.caption(Ctl::LabelCarreras), "CARD.kel");
}

TEST(RaceList, SeventeenFieldsGiveSeventeenValues)
{
    Screen s;
    std::string expected;
    for (int k = 1; k <= 17; ++k) {
        s.m.Data.set(1, 0, 0, k, "f" + std::to_string(k));
        expected += (k > 1 ? " f" : "f") + std::to_string(k);
    }
    ShowRaceList(s.m, s.f);
    EXPECT_EQ(s.g().cell(0, 0), expected);
}

TEST(HorsesPage, LayoutLabelsAndRows)
{
    Screen s;
    test::threeRaces(s.m);
    ShowRaceList(s.m, s.f);
    s.g().setRow(2);
    s.f.setVisible(Ctl::Printd, false);
    ShowRaceHorses(s.m, s.f);

    EXPECT_EQ(s.m.CurrentRace, 3);
    EXPECT_EQ(s.m.ViewPage, 2);
    EXPECT_EQ(s.f.caption(Ctl::LabelCarreras), "R3 Main \n6F  - Dirt  - Clm ");
    EXPECT_EQ(s.f.caption(Ctl::Label_Help),
              "View the horse past performances doing doubleclik over the grid row. Press 'S' if the horse "
              "is scratched. Press ESC to escape.");
    for (Ctl c : {Ctl::Recalculate, Ctl::ResetData, Ctl::Printd})
        EXPECT_TRUE(s.f.visible(c));

    ASSERT_EQ(s.g().rows(), 3);
    EXPECT_EQ(s.g().cols(), 12);
    EXPECT_EQ(s.g().fixedRows(), 1);
    EXPECT_EQ(s.row(0), "#|Horse Name|Lbs|Record|Qualy|Early|Final|% W|Horse Data|Jockey|Trainer|");
    EXPECT_EQ(s.row(2), "2|Horse 3.2|120|5 1-0-0|[A-1]|[B-2]|[C-1]|40|data 3.2|jock 3.2|trainer 3.2|hidden 3.2");
    const int widths[] = {400, 2000, 400, 800, 550, 550, 550, 500, 4000, 650, 650, 1};
    for (int c = 0; c < 12; ++c) {
        EXPECT_EQ(s.g().colWidth(c), widths[c]) << c;
        if (c < 11) {
            EXPECT_EQ(s.g().colAlignment(c), c == 7 ? 6 : 0) << c;
        }
    }
    EXPECT_EQ(s.g().row(), 2);
}

TEST(HorsesPage, ScratchedFilteredAndShortHorses)
{
    Screen s;
    test::threeRaces(s.m);
    s.m.Data.set(1, 1, 1, 0, "S");
    s.m.Data.set(1, 2, 1, 0, "F");
    s.m.Data.set(1, 2, 0, 5, ""); // columns after the first empty slot stay empty
    s.m.CurrentRace = 1;
    s.m.ViewPage = 3;
    ShowRaceHorses(s.m, s.f);
    EXPECT_EQ(s.row(1), "1|-|-|-|-|-|-|-|-|-|-|-");
    EXPECT_EQ(s.row(2), "2|Horse 1.2|120|5 1-0-0||||||||");

    // The window's tooltip for the "-" cells: the scratched horse's name, and nothing for a
    // filtered horse, the header, a row past the horses, or another page.
    EXPECT_EQ(ScratchedHorseName(s.m, 1), "Horse 1.1");
    for (int row : {0, 2, 3, 22})
        EXPECT_EQ(ScratchedHorseName(s.m, row), "") << row;
    s.m.ViewPage = 3;
    EXPECT_EQ(ScratchedHorseName(s.m, 1), "");
}

TEST(HorsesPage, RebuildShowsTheSameRaceWhateverRowIsCurrent)
{
    Screen s;
    test::threeRaces(s.m);
    s.m.CurrentRace = 3;
    s.m.ViewPage = 3;
    s.g().setRow(0);
    ShowRaceHorses(s.m, s.f);
    EXPECT_EQ(s.m.CurrentRace, 3);
    EXPECT_EQ(s.g().cell(1, 1), "Horse 3.1");
}

TEST(HorsesPage, NoHorsesLeavesTheHeaderAndTheLabel)
{
    Screen s;
    // A PP page's long rows were on the grid before: none of its texts may show through.
    test::threeRaces(s.m);
    s.m.CurrentRace = 1;
    s.m.CurrentHorse = 1;
    s.m.ViewPage = 3;
    ShowHorsePPs(s.m, s.f);
    for (int h = 1; h <= 2; ++h)
        s.m.Data.set(1, h, 0, 1, "");
    ShowRaceHorses(s.m, s.f);
    EXPECT_EQ(s.g().rows(), 1);
    EXPECT_EQ(s.g().cell(0, 11), "");
    EXPECT_EQ(s.f.caption(Ctl::LabelCarreras), "R1 Main \n6F  - Dirt  - Clm ");
}

TEST(HorsesPage, TwentyOneHorsesFillRowsOneToTwentyOne)
{
    Screen s;
    s.m.Data.set(1, 0, 0, 1, "R1");
    for (int h = 1; h <= 21; ++h)
        setSlots(s.m.Data, 1, h, 0, {std::to_string(h), "H"});
    s.m.ViewPage = 1;
    s.g().setRow(0);
    ShowRaceHorses(s.m, s.f);
    ASSERT_EQ(s.g().rows(), 22);
    EXPECT_EQ(s.g().cell(21, 0), "21");
    EXPECT_EQ(s.f.caption(Ctl::LabelCarreras), "R1 ");
}

TEST(HorsesPage, CellsLeftOfAShorterRowAreNotStale)
{
    Screen s;
    test::threeRaces(s.m);
    s.m.CurrentRace = 1;
    s.m.ViewPage = 2;
    ShowRaceHorses(s.m, s.f);
    s.m.Data.set(1, 1, 0, 3, "");
    ShowRaceHorses(s.m, s.f);
    EXPECT_EQ(s.row(1), "1|Horse 1.1||||||||||");
}

TEST(PPPage, LayoutLabelAndRows)
{
    Screen s;
    test::threeRaces(s.m);
    s.m.CurrentRace = 2;
    s.m.ViewPage = 2;
    ShowRaceHorses(s.m, s.f);
    s.g().setRow(2);
    s.g().setCol(5);
    ShowHorsePPs(s.m, s.f);

    EXPECT_EQ(s.m.CurrentHorse, 2);
    EXPECT_EQ(s.m.ViewPage, 3);
    EXPECT_EQ(s.f.caption(Ctl::Label_Help),
              "Doing doubleclik over the grid col you grow/reduce the colwidth. Press ESC to return to the "
              "previous form");
    for (Ctl c : {Ctl::Recalculate, Ctl::ResetData, Ctl::Printd})
        EXPECT_FALSE(s.f.visible(c));
    EXPECT_EQ(s.f.caption(Ctl::LabelCarreras),
              "2 Horse 2.2  - 120  - 5 1-0-0 \n[A-1]  - [B-2]  - [C-1]  - 40  - data 2.2  - jock 2.2  - "
              "trainer 2.2  - hidden 2.2  - ");

    ASSERT_EQ(s.g().rows(), 5); // header and PPs 1 to 4
    EXPECT_EQ(s.g().cols(), 16);
    EXPECT_EQ(s.g().fixedRows(), 1);
    EXPECT_EQ(s.row(0), "Date|Track|KEL|Early KEL|Final KEL|Pos.Lbs.(Lengths)|Distance|Time|T Cond|Purse|"
                        "Pos-Qualy|Other horses|Jockey|Odd|Race Pos|");
    EXPECT_EQ(s.row(4), "a4|b4|c4|d4|e4|f4|g4|h4|i4|j4|k4|l4|m4|n4|o4|p4");
    const int widths[] = {800, 500, 750, 750, 750, 1400, 750, 700, 700, 500, 800, 3000, 1000, 700, 1200, 1};
    for (int c = 0; c < 16; ++c) {
        EXPECT_EQ(s.g().colWidth(c), widths[c]) << c;
        EXPECT_EQ(s.g().colAlignment(c), 0) << c;
    }
    EXPECT_EQ(s.g().row(), 0);
    EXPECT_EQ(s.g().col(), 0);
}

TEST(PPPage, HorseLabelExamples)
{
    Screen s;
    s.m.CurrentRace = 1;
    s.m.CurrentHorse = 1;
    s.m.ViewPage = 3;
    setSlots(s.m.Data, 1, 1, 0, {"1", "Name", "120", "Rec"});
    ShowHorsePPs(s.m, s.f);
    EXPECT_EQ(s.f.caption(Ctl::LabelCarreras), "1 Name  - 120  - Rec \n");
    setSlots(s.m.Data, 1, 1, 0, {"1", "Name", "120", "Rec", "[A-1]", "[B-2]"});
    ShowHorsePPs(s.m, s.f);
    EXPECT_EQ(s.f.caption(Ctl::LabelCarreras), "1 Name  - 120  - Rec \n[A-1]  - [B-2]  - ");
}

TEST(PPPage, FilteredPPsLeaveNoTraceAndShortPPsStopAtTheirFirstEmptySlot)
{
    Screen s;
    test::threeRaces(s.m);
    s.m.CurrentRace = 2;
    s.m.CurrentHorse = 1;
    s.m.ViewPage = 3;
    s.m.Data.set(2, 1, 2, 0, "F");
    s.m.Data.set(2, 1, 3, 4, ""); // slot 4 empty: columns 3 on stay empty
    ShowHorsePPs(s.m, s.f);
    ASSERT_EQ(s.g().rows(), 3);
    EXPECT_EQ(s.g().cell(1, 0), "a1");
    EXPECT_EQ(s.row(2), "a3|b3|c3|||||||||||||");
}

TEST(PPPage, ScratchedHorseLeavesNoRowsAtAll)
{
    Screen s;
    test::threeRaces(s.m);
    for (int p = 1; p <= 3; ++p)
        s.m.Data.set(1, 2, p, 0, "S");
    s.m.CurrentRace = 1;
    s.m.CurrentHorse = 2;
    s.m.ViewPage = 3;
    ShowHorsePPs(s.m, s.f);
    EXPECT_EQ(s.g().rows(), 0);
    EXPECT_EQ(s.g().cols(), 16);
    EXPECT_NE(s.f.caption(Ctl::LabelCarreras), "");
}

TEST(PPPage, NoPPsLeavesTheHeaderOnly)
{
    Screen s;
    test::threeRaces(s.m);
    s.m.Data.set(1, 1, 1, 1, "");
    s.m.CurrentRace = 1;
    s.m.CurrentHorse = 1;
    s.m.ViewPage = 3;
    ShowHorsePPs(s.m, s.f);
    EXPECT_EQ(s.g().rows(), 1);
    EXPECT_EQ(s.g().cell(0, 0), "Date");
}

TEST(PPPage, AnUnmarkedPPAfterAScratchMarkNeverOverwritesTheHeader)
{
    Screen s;
    test::threeRaces(s.m); // horse 2 of race 2 has PPs 1 to 4
    s.m.Data.set(2, 2, 1, 0, "S");
    s.m.Data.set(2, 2, 2, 0, "S");
    s.m.Data.set(2, 2, 3, 0, "F");
    s.m.CurrentRace = 2;
    s.m.CurrentHorse = 2;
    s.m.ViewPage = 3;
    ShowHorsePPs(s.m, s.f);
    ASSERT_EQ(s.g().rows(), 2);
    EXPECT_EQ(s.g().cell(0, 0), "Date");
    EXPECT_EQ(s.g().cell(1, 0), "a4");
}

TEST(PPPage, NoRaceOrHorseChosenShowsNothingOfTheStrayRecords)
{
    Screen s;
    test::threeRaces(s.m);
    // Lines filed before the first race or horse line: never shown.
    setSlots(s.m.Data, 0, 1, 0, {"stray horse"});
    setSlots(s.m.Data, 1, 0, 1, {"stray pp"});
    s.m.CurrentRace = 1;
    s.m.ViewPage = 2;
    ShowRaceHorses(s.m, s.f);
    s.g().setRow(0);
    ShowHorsePPs(s.m, s.f);
    EXPECT_EQ(s.m.CurrentHorse, 0);
    EXPECT_EQ(s.g().rows(), 1);
    EXPECT_EQ(s.f.caption(Ctl::LabelCarreras), "");

    s.m.CurrentRace = 0;
    ShowRaceHorses(s.m, s.f);
    EXPECT_EQ(s.g().rows(), 1);
    EXPECT_EQ(s.f.caption(Ctl::LabelCarreras), "");
}

} // namespace
} // namespace kel

namespace kel {
namespace {

// A maximised window's room beyond the design width, shared among the text columns: what each
// lacks first, then equal parts; the shares always add up to the room.
TEST(ColumnRoom, TextColumnsGetWhatTheyLackThenEqualParts)
{
    const std::vector<bool> text{false, true, true, false, true};
    const struct
    {
        std::vector<int> lacking;
        int room;
        std::vector<int> shares;
    } cases[] = {
        {{0, 0, 0, 0, 0}, 0, {0, 0, 0, 0, 0}},       // the design size
        {{0, 0, 0, 0, 0}, 31, {0, 11, 10, 0, 10}},   // all fit: equal parts, the rest to the first
        {{9, 10, 0, 9, 20}, 60, {0, 20, 10, 0, 30}}, // figures never take any, what is lacking first
        {{0, 30, 0, 0, 10}, 20, {0, 15, 0, 0, 5}},   // too little: in proportion to what is lacking
        {{0, 2, 0, 0, 1}, 2, {0, 2, 0, 0, 0}},       // rounding: the pixel left goes to the first
        {{0, -40, 5, 0, 0}, 5, {0, 0, 5, 0, 0}},     // a column wider than its texts lacks nothing
    };
    for (const auto &c : cases)
        EXPECT_EQ(ShareRoom(c.lacking, text, c.room), c.shares) << c.room;
    EXPECT_EQ(ShareRoom({5, 5}, {false, false}, 40), (std::vector<int>{0, 0})) << "no text column";
}

// Which columns of a page are texts, for the room and the status line.
TEST(ColumnRoom, TextColumnsOfThePages)
{
    std::string horses;
    for (int c = 0; c < 13; ++c)
        horses += "FTH"[static_cast<int>(PageColumnKind(2, c))];
    EXPECT_EQ(horses, "FTFTFFFFTTTHH");
    std::string pps;
    for (int c = 0; c < 16; ++c)
        pps += "FTH"[static_cast<int>(PageColumnKind(3, c))];
    EXPECT_EQ(pps, "FFFFFTFFFFFTTFTH");
}

} // namespace
} // namespace kel
