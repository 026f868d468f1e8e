#include "settings/marks.h"

#include <gtest/gtest.h>

#include "settings/scope.h"
#include "support/card_builder.h"

namespace kel {
namespace {

using test::CardBuilder;

class MarksTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        b.race(1).horseWith(1, 1, {"100%", "101%"}).horseWith(1, 2, {"102%", "99%", "98%"}).horse(1, 3);
        b.race(2).horseWith(2, 1, {"100%"}).horseWith(2, 2, {"103%"});
    }

    std::string marks(int r, int h) const
    {
        std::string s;
        for (int p = 1; p == 1 || !m.Data(r, h, p, 2).empty(); ++p) {
            const auto mk = m.Data(r, h, p, 0);
            s += mk.empty() ? std::string(".") : std::string(mk);
        }
        return s;
    }

    Module1 m;
    CardBuilder b{m.Data};
};

TEST_F(MarksTest, ScratchMarksEveryPPAndReplacesFilterMarks)
{
    m.Data.set(1, 2, 2, 0, "F");
    ASSERT_TRUE(ScratchHorse(m, 1, 2));
    EXPECT_EQ(marks(1, 2), "SSS");
    EXPECT_EQ(m.Data(1, 2, 0, 5), "[Z-99]");
    EXPECT_EQ(m.Data(1, 2, 0, 6), "[Z-99]");
    EXPECT_EQ(m.Data(1, 2, 0, 7), "[Z-99]");
    EXPECT_EQ(m.Data(1, 2, 0, 4), "0 0-0-0");
    EXPECT_EQ(marks(1, 1), "..");
}

TEST_F(MarksTest, ScratchWithoutPPsMarksPP1)
{
    ASSERT_TRUE(ScratchHorse(m, 1, 3));
    EXPECT_EQ(m.Data(1, 3, 1, 0), "S");
    EXPECT_EQ(m.Data(1, 3, 1, 2), "");
    EXPECT_EQ(m.Data(1, 3, 0, 5), "[Z-99]");
}

TEST_F(MarksTest, ScratchRerunsTheGivenRaceOnlyAndKeepsCurrentRace)
{
    m.Data.set(1, 1, 0, 5, "old");
    m.CurrentRace = 0;
    ASSERT_TRUE(ScratchHorse(m, 2, 1));
    EXPECT_EQ(m.CurrentRace, 0);
    EXPECT_EQ(m.Data(1, 1, 0, 5), "old");
    EXPECT_EQ(m.Data(2, 1, 0, 5), "[Z-99]");
    EXPECT_EQ(m.Data(2, 2, 0, 5).substr(0, 3), "[A-");
}

TEST_F(MarksTest, ScratchTwiceIsScratchOnce)
{
    ASSERT_TRUE(ScratchHorse(m, 1, 1));
    const std::string once = marks(1, 1) + std::string(m.Data(1, 1, 0, 5)) + std::string(m.Data(1, 2, 0, 5));
    ASSERT_TRUE(ScratchHorse(m, 1, 1));
    EXPECT_EQ(marks(1, 1) + std::string(m.Data(1, 1, 0, 5)) + std::string(m.Data(1, 2, 0, 5)), once);
}

TEST_F(MarksTest, ScratchOfARowThatIsNoHorseDoesNothing)
{
    m.Data.set(1, 1, 0, 5, "old");
    m.Data.set(0, 1, 0, 1, "stray horse line");
    for (auto [race, row] : {std::pair{1, 0}, {1, -1}, {1, 4}, {1, 22}, {1, 30000}, {0, 1}, {3, 1}, {42, 1}, {-5, 1}}) {
        EXPECT_FALSE(ScratchHorse(m, race, row)) << race << ":" << row;
    }
    EXPECT_EQ(marks(1, 1) + marks(1, 2) + marks(1, 3), "......");
    EXPECT_EQ(m.Data(1, 4, 1, 0), "");
    EXPECT_EQ(m.Data(0, 1, 1, 0), "");
    EXPECT_EQ(m.Data(1, 1, 0, 5), "old");
}

TEST_F(MarksTest, ResetYesClearsEveryMarkOfTheScope)
{
    ScratchHorse(m, 1, 3);
    ScratchHorse(m, 1, 1);
    m.Data.set(1, 2, 2, 0, "F");
    m.Data.set(2, 1, 1, 0, "F");
    m.CurrentRace = 1;
    ResetMarks(m, true);
    EXPECT_EQ(marks(1, 1) + marks(1, 2) + marks(1, 3), "......");
    EXPECT_NE(m.Data(1, 1, 0, 5), "[Z-99]");
    // Race 2 is outside the scope.
    EXPECT_EQ(marks(2, 1), "F");
}

TEST_F(MarksTest, ResetNoKeepsScratches)
{
    ScratchHorse(m, 1, 3);
    ScratchHorse(m, 1, 1);
    m.Data.set(1, 2, 2, 0, "F");
    m.Data.set(2, 1, 1, 0, "F");
    m.CurrentRace = 0;
    ResetMarks(m, false);
    EXPECT_EQ(marks(1, 1) + marks(1, 2) + marks(1, 3) + marks(2, 1), "SS...S.");
    EXPECT_EQ(m.Data(1, 1, 0, 5), "[Z-99]");
}

TEST_F(MarksTest, ScopeWalkStopsAtCapacity)
{
    Module1 full;
    CardBuilder fb(full.Data);
    for (int r = 1; r <= RaceStore::kMaxRace; ++r)
        for (int h = 1; h <= RaceStore::kMaxHorse; ++h)
            fb.race(r).horse(r, h);
    int horses = 0;
    ForEachScopeHorse(full, [&](int, int) { ++horses; });
    EXPECT_EQ(horses, 41 * 21);
    full.CurrentRace = 41;
    horses = 0;
    ForEachScopeHorse(full, [&](int r, int) { horses += r == 41; });
    EXPECT_EQ(horses, 21);
    full.CurrentRace = -3;
    ForEachScopeHorse(full, [&](int, int) { ADD_FAILURE(); });
}

} // namespace
} // namespace kel
