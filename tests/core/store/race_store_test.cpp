#include "store/race_store.h"

#include <gtest/gtest.h>

#include <string>

#include "store/loader.h"

namespace kel {
namespace {

TEST(RaceStore, UnwrittenCellsReadEmptyAndOutOfRangeIsHarmless)
{
    RaceStore data;
    EXPECT_EQ(data(1, 1, 1, 1), "");
    EXPECT_EQ(data(41, 21, 100, 18), "");
    // Out of range: reads are empty, writes are ignored, nothing crashes.
    for (auto idx : {std::array{-1, 0, 0, 0}, std::array{42, 0, 0, 0}, std::array{1, 22, 0, 0},
                     std::array{1, 1, 101, 0}, std::array{1, 1, 1, 19}, std::array{1, 1, 1, -1}}) {
        data.set(idx[0], idx[1], idx[2], idx[3], "x");
        EXPECT_EQ(data(idx[0], idx[1], idx[2], idx[3]), "");
    }
    EXPECT_EQ(data.recordCount(), 0u);
}

TEST(RaceStore, WritesOverwriteAndEmptyTextClears)
{
    RaceStore data;
    data.set(41, 21, 100, 18, "corner");
    EXPECT_EQ(data(41, 21, 100, 18), "corner");
    data.set(3, 2, 0, 5, "[A-1]");
    data.set(3, 2, 0, 5, "[C-12]");
    EXPECT_EQ(data(3, 2, 0, 5), "[C-12]");
    data.set(3, 2, 1, 0, "S");
    EXPECT_EQ(data(3, 2, 1, 0), "S");
    data.set(3, 2, 1, 0, "");
    EXPECT_EQ(data(3, 2, 1, 0), "");
    // Neighbouring cells of the same record are untouched.
    EXPECT_EQ(data(3, 2, 0, 4), "");
}

TEST(RaceStore, CardTextIsReferencedAndOtherTextCopied)
{
    RaceStore data;
    LoadCard("R1;Main;A;\r\n", data);
    const std::string_view main = data(1, 0, 0, 2);
    std::string temporary = "copied";
    data.set(1, 0, 0, 3, temporary);
    temporary = "changed";
    EXPECT_EQ(data(1, 0, 0, 3), "copied");
    // A file cell rewritten with owned text, and back to a place in the card's text.
    data.set(1, 0, 0, 1, "R9 rewritten");
    EXPECT_EQ(data(1, 0, 0, 1), "R9 rewritten");
    data.set(1, 0, 0, 1, main);
    EXPECT_EQ(data(1, 0, 0, 1), "Main");
}

TEST(RaceStore, CreateEmptyForgetsEverything)
{
    RaceStore data;
    LoadCard("R1;A;\r\n", data);
    data.set(1, 1, 1, 1, "x");
    data.createEmpty();
    EXPECT_EQ(data(1, 1, 1, 1), "");
    EXPECT_EQ(data.recordCount(), 0u);
}

TEST(RaceStore, RewritingTheSameCellDoesNotGrow)
{
    RaceStore data;
    data.set(1, 1, 0, 4, "12 3-4-5");
    const std::size_t before = data.memoryUse();
    for (int i = 0; i < 1000; ++i)
        data.set(1, 1, 0, 4, i % 2 ? "12 3-4-5" : "11 2-3-4");
    EXPECT_EQ(data.memoryUse(), before);
}

} // namespace
} // namespace kel
