// Win percentage.

#include <string>

#include <gtest/gtest.h>

#include "engine/ratings.h"
#include "store/race_store.h"

namespace kel {
namespace {

std::string W(std::string_view q, std::string_view e, std::string_view f)
{
    return WinPercentFromLabels(q, e, f);
}

TEST(WinPercent, ScoresFromLabelsOfEachShape)
{
    EXPECT_EQ(W("[A-1]", "[A-1]", "[A-1]"), "34");   // products 1, 1, 1, S = 1
    EXPECT_EQ(W("[A-1]", "[B-2]", "[A-1]"), "32");   // sqrt(4) + 0.99 = 2.99, S = 2
    EXPECT_EQ(W("[B-3]", "[B-3]", "[B-3]"), "18");   // sqrt(36 * 6 * 6) + 0.99 = 36.99, S = 36
    EXPECT_EQ(W("[A-1]", "[Z-99]", "[A-1]"), "n/a"); // Early without measure, Qualy rated
    EXPECT_EQ(W("[C-4]", "[Z-99]", "[Z-99]"), "n/a");
    EXPECT_EQ(W("[Z-99]", "[Z-99]", "[Z-99]"), "8"); // a scratched horse
    // Qualy rank 20: PQ = 100 / 80 = 1.25, rounded to 1, so S = 1.
    EXPECT_EQ(W("[E-20]", "[A-1]", "[A-1]"), "34");
}

TEST(WinPercent, ThroughTheStore)
{
    RaceStore d;
    d.set(3, 7, 0, 5, "[B-3]");
    d.set(3, 7, 0, 6, "[B-3]");
    d.set(3, 7, 0, 7, "[B-3]");
    EXPECT_EQ(WinPercent(d, 3, 7), "18");
    d.set(3, 7, 0, 6, "[Z-99]");
    EXPECT_EQ(WinPercent(d, 3, 7), "n/a");
}

TEST(WinPercent, TenfoldRanks)
{
    // Rank 10 is not divided.
    EXPECT_EQ(W("[A-10]", "[A-1]", "[A-1]"), "23"); // PQ = 10, S = 10
    // Rank 20 on the Early label: PE / 90.
    EXPECT_EQ(W("[A-1]", "[E-20]", "[A-1]"), "34"); // PE = 100 / 90 -> 1
    EXPECT_EQ(W("[A-1]", "[A-20]", "[A-1]"), "34"); // PE = 20 / 90 -> 0, S = 0: first row
    // A product that rounds to 0 makes S = 0.
    EXPECT_EQ(W("[B-20]", "[C-5]", "[E-17]"), "34"); // PQ = 40 / 80 = 0.5 -> 0 (even)
    // Half to even through the labels (letters past E only to reach the halves).
    EXPECT_EQ(W("[F-20]", "[A-1]", "[A-1]"), "32"); // 120 / 80 = 1.5 -> 2, S = 2
    EXPECT_EQ(W("[J-20]", "[A-1]", "[A-1]"), "32"); // 200 / 80 = 2.5 -> 2, S = 2 (not 3)
    // The Final rank is never divided.
    EXPECT_EQ(W("[A-1]", "[A-1]", "[E-20]"), "23"); // PF = 100, S = sqrt(100) = 10
}

TEST(WinPercent, RoundHalfEven)
{
    EXPECT_EQ(RoundHalfEven(40, 80), 0);  // 0.5
    EXPECT_EQ(RoundHalfEven(120, 80), 2); // 1.5
    EXPECT_EQ(RoundHalfEven(200, 80), 2); // 2.5
    EXPECT_EQ(RoundHalfEven(280, 80), 4); // 3.5
    EXPECT_EQ(RoundHalfEven(100, 80), 1); // 1.25
    EXPECT_EQ(RoundHalfEven(60, 80), 1);  // 0.75
    EXPECT_EQ(RoundHalfEven(45, 90), 0);  // 0.5
    EXPECT_EQ(RoundHalfEven(135, 90), 2); // 1.5
    EXPECT_EQ(RoundHalfEven(225, 90), 2); // 2.5
    EXPECT_EQ(RoundHalfEven(100, 90), 1);
}

TEST(WinScore, TableInOrder)
{
    // NQ = NE = 5: every row is open. Products large so the two product rows do not apply.
    auto S = [](int s) { return WinScore(s, 50, 50, 50, 5, 5); };
    EXPECT_EQ(S(0), "34");
    EXPECT_EQ(S(1), "34");
    EXPECT_EQ(S(2), "32");
    EXPECT_EQ(S(3), "26");
    EXPECT_EQ(S(4), "25");
    EXPECT_EQ(S(5), "23");
    EXPECT_EQ(S(15), "23");
    EXPECT_EQ(S(16), "20");
    EXPECT_EQ(S(25), "20");
    EXPECT_EQ(S(26), "18");
    EXPECT_EQ(S(40), "18");
    EXPECT_EQ(S(41), "14");
    EXPECT_EQ(S(80), "14");
    EXPECT_EQ(S(81), "12");
    EXPECT_EQ(S(160), "12");
    EXPECT_EQ(S(161), "9");
    EXPECT_EQ(S(320), "9");
    EXPECT_EQ(S(321), "6");
    EXPECT_EQ(S(800), "6");
    EXPECT_EQ(S(801), "5");
    EXPECT_EQ(S(950), "5");
    EXPECT_EQ(S(951), "3");
    EXPECT_EQ(S(1049), "3");
    EXPECT_EQ(S(1050), "2");
    EXPECT_EQ(S(1199), "2");
    EXPECT_EQ(S(1200), "1");
    EXPECT_EQ(S(7776), "1");
    EXPECT_EQ(S(7777), "8"); // past the table, NE < 99: 8
    EXPECT_EQ(S(100000), "8");
}

TEST(WinScore, ProductRows)
{
    // S = 500 with PE = 1: 6 by the row "S <= 500 and a product equals 1".
    EXPECT_EQ(WinScore(500, 5, 1, 20, 5, 1), "6");
    // The same score with all products above 2: 6 through the row S <= 800.
    EXPECT_EQ(WinScore(500, 3, 3, 3, 1, 1), "6");
    // S = 600 with PQ = 2: 9 by the row "S <= 650 and a product is 2 or less".
    EXPECT_EQ(WinScore(600, 2, 30, 30, 1, 10), "9");
    EXPECT_EQ(WinScore(650, 30, 30, 0, 1, 10), "9");
    EXPECT_EQ(WinScore(651, 2, 30, 30, 1, 10), "6");
    // Below 501 a product of 2 gives no 9: S <= 500 row needs a 1, then S <= 650 with 2 -> 9.
    EXPECT_EQ(WinScore(400, 2, 30, 30, 1, 10), "9");
    EXPECT_EQ(WinScore(400, 1, 30, 30, 1, 10), "6");
    EXPECT_EQ(WinScore(501, 1, 30, 30, 1, 10), "9"); // 1 is also "2 or less"
}

TEST(WinScore, EarlyRank99GatesEveryRow)
{
    // NE = 99: no row applies, whatever S.
    EXPECT_EQ(WinScore(1, 1, 1, 1, 1, 99), "n/a");
    EXPECT_EQ(WinScore(1, 1, 1, 1, 99, 99), "8");
    EXPECT_EQ(WinScore(5000, 1, 1, 1, 99, 5), "1"); // NQ = 99 alone does not gate
    EXPECT_EQ(WinScore(8000, 1, 1, 1, 99, 5), "8");
    // NE above 99 (not a real label) also skips the rows and is not "n/a".
    EXPECT_EQ(WinScore(1, 1, 1, 1, 1, 150), "8");
}

TEST(WinPercent, NotALabelGivesNotAvailable)
{
    EXPECT_EQ(W("", "", ""), "n/a");
    EXPECT_EQ(W("[A-1]", "", "[A-1]"), "n/a");
    EXPECT_EQ(W("[A-]", "[A-1]", "[A-1]"), "n/a");
    EXPECT_EQ(W("x", "[A-1]", "[A-1]"), "n/a");
    EXPECT_EQ(W("[a-1]", "[A-1]", "[A-1]"), "n/a");
    EXPECT_EQ(W("[A-1x]", "[A-1]", "[A-1]"), "n/a");
    EXPECT_EQ(W("[A- 1]", "[A-1]", "[A-1]"), "n/a");
    EXPECT_EQ(W("[A-99999]", "[A-1]", "[A-1]"), "n/a");
    EXPECT_EQ(W("[Z-9999]", "[A-1]", "[A-1]"), "n/a"); // 26 * 9999 does not fit 16 bits
    EXPECT_EQ(W("[\xC2\xBA-1]", "[A-1]", "[A-1]"), "n/a");
    RaceStore d;
    EXPECT_EQ(WinPercent(d, 1, 1), "n/a");
    EXPECT_EQ(WinPercent(d, 50, -3), "n/a"); // out of range reads as empty
}

TEST(WinPercent, ReadsByPosition)
{
    // Brackets and hyphen are not checked: only the positions matter.
    EXPECT_EQ(W("xA_1)", "(A:1>", "[A-1]"), "34");
    EXPECT_EQ(W("[A-01]", "[A-1]", "[A-1]"), "34");
}

} // namespace
} // namespace kel
