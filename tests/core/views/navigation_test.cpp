#include <gtest/gtest.h>

#include "view_card.h"

namespace kel {
namespace {

using test::Screen;

struct Navigation : ::testing::Test
{
    Screen s;
    void SetUp() override
    {
        test::threeRaces(s.m);
        ShowRaceList(s.m, s.f);
    }
};

TEST_F(Navigation, DownTwoPagesAndBackAgain)
{
    s.dblClick(1);
    EXPECT_EQ(s.m.ViewPage, 2);
    EXPECT_EQ(s.m.CurrentRace, 2);
    EXPECT_EQ(s.g().cell(2, 1), "Horse 2.2");

    s.dblClick(2, 3);
    EXPECT_EQ(s.m.ViewPage, 3);
    EXPECT_EQ(s.m.CurrentHorse, 2);
    EXPECT_EQ(s.g().rows(), 5);

    s.key(27);
    EXPECT_EQ(s.m.ViewPage, 2);
    EXPECT_EQ(s.m.CurrentRace, 2);
    EXPECT_EQ(s.g().cell(1, 1), "Horse 2.1");
    EXPECT_TRUE(s.f.visible(Ctl::Printd));

    s.key(27);
    EXPECT_EQ(s.m.ViewPage, 1);
    EXPECT_EQ(s.m.CurrentRace, 0);
    EXPECT_EQ(s.g().rows(), 3);
    EXPECT_TRUE(s.f.visible(Ctl::fr_dc));

    s.key(27);
    EXPECT_EQ(s.m.ViewPage, 1);
    EXPECT_FALSE(s.f.visible(Ctl::fr_dc));
    EXPECT_FALSE(s.f.closed()) << "only the window's own ESC closes it";
}

TEST_F(Navigation, DoubleClickWidensAColumnAndASecondRestoresThePage)
{
    s.dblClick(0);
    s.dblClick(1);
    s.dblClick(2, 4);
    EXPECT_EQ(s.g().colWidth(4), 5505);
    s.dblClick(1, 11);
    EXPECT_EQ(s.g().colWidth(11), 5505);
    EXPECT_EQ(s.g().colWidth(4), 5505);
    const std::string before = s.row(1);

    s.dblClick(1, 4);
    EXPECT_EQ(s.m.ViewPage, 3);
    EXPECT_EQ(s.g().colWidth(4), 750);
    EXPECT_EQ(s.g().colWidth(11), 3000);
    EXPECT_EQ(s.row(1), before);
    EXPECT_EQ(s.m.CurrentHorse, 1) << "the rebuild shows the same horse";
}

TEST_F(Navigation, OnlyAColumnAtExactly5505Rebuilds)
{
    // Column 2's own width on the PP page is 750, column 7's 700; a column dragged narrower or
    // wider than 5505 is widened to it, not rebuilt.
    const struct
    {
        int width;
        int col2;
        int col7;
    } cases[] = {
        {5505, 750, 700},
        {5504, 5505, 5505},
        {6000, 5505, 5505},
    };
    s.dblClick(0);
    s.dblClick(1);
    for (const auto &c : cases) {
        s.g().setColWidth(2, c.width);
        s.g().setColWidth(7, 5505);
        s.dblClick(1, 2);
        EXPECT_EQ(s.g().colWidth(2), c.col2) << c.width;
        EXPECT_EQ(s.g().colWidth(7), c.col7) << c.width;
    }
}

TEST_F(Navigation, DoubleClickWithoutARowToOpenDoesNothing)
{
    for (int h = 1; h <= 2; ++h)
        s.m.Data.set(1, h, 0, 1, "");
    s.dblClick(0);
    ASSERT_EQ(s.m.ViewPage, 2);
    ASSERT_EQ(s.g().rows(), 1);
    s.dblClick(0); // the header is the only row
    EXPECT_EQ(s.m.ViewPage, 2);
    EXPECT_EQ(s.m.CurrentHorse, 0);

    Screen empty;
    ShowRaceList(empty.m, empty.f);
    empty.dblClick(0);
    EXPECT_EQ(empty.m.ViewPage, 1);
    EXPECT_EQ(empty.m.CurrentRace, 0);
}

TEST_F(Navigation, SOnTheRaceListOrThePPPageChangesNothing)
{
    for (int16_t k : {int16_t('S'), int16_t('s')}) {
        s.key(k);
        EXPECT_EQ(s.m.ViewPage, 1);
    }
    s.dblClick(0);
    s.dblClick(1);
    for (int16_t k : {int16_t('S'), int16_t('s'), int16_t('x'), int16_t(13)})
        s.key(k);
    EXPECT_EQ(s.m.ViewPage, 3);
    EXPECT_EQ(s.m.Data(1, 1, 1, 0), "");
    EXPECT_EQ(s.g().rows(), 3);
}

TEST_F(Navigation, SOnTheHorsesPageScratchesTheCurrentRowsHorse)
{
    s.dblClick(2);
    s.g().setRow(1);
    s.key('s');
    EXPECT_EQ(s.m.Data(3, 1, 1, 0), "S");
    EXPECT_EQ(s.m.Data(3, 2, 1, 0), "");
    EXPECT_EQ(s.m.ViewPage, 2);
    EXPECT_EQ(s.row(1), "1|-|-|-|-|-|-|-|-|-|-|-");
    s.g().setRow(2);
    s.key('S');
    EXPECT_EQ(s.m.Data(3, 2, 1, 0), "S");
    // Back on the race list after ESC, the marks stay and S does nothing there.
    s.key(27);
    s.key('S');
    EXPECT_EQ(s.m.Data(1, 1, 1, 0), "");
}

TEST(NavigationBeforeALoad, KeysAndClicksDoNothing)
{
    Screen s;
    s.f.setVisible(Ctl::fr_dc, false);
    s.dblClick(0);
    s.key(27);
    s.key('S');
    EXPECT_EQ(s.m.ViewPage, 0);
    EXPECT_EQ(s.g().rows(), 0);
}

TEST(WindowKeys, EscClosesTheWindowOtherKeysDoNot)
{
    MemoryForm f;
    Form_KeyPress(f, 13);
    Form_KeyPress(f, 'S');
    EXPECT_FALSE(f.closed());
    Form_KeyPress(f, 27);
    EXPECT_TRUE(f.closed());
}

TEST(WindowKeys, FileOpenAndCancelSwapTheFrames)
{
    Module1 m;
    MemoryForm f;
    f.setVisible(Ctl::fr_dc, true);
    File_Open_Click(m, f);
    EXPECT_TRUE(f.visible(Ctl::Fr_Open));
    EXPECT_FALSE(f.visible(Ctl::fr_dc));
    BT_Cancel_Click(f);
    EXPECT_FALSE(f.visible(Ctl::Fr_Open));
    EXPECT_FALSE(f.visible(Ctl::fr_dc)) << "the window stays empty until the next open";
}

} // namespace
} // namespace kel
