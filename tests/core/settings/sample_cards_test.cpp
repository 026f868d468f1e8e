// Go!, S and "Reset data" on the sample cards, as the window and the report tool run them.

#include <gtest/gtest.h>

#include "engine/open_card.h"
#include "settings/filter.h"
#include "settings/marks.h"
#include "settings/scope.h"

namespace kel {
namespace {

Module1 open(const char *name)
{
    Module1 m;
    auto bytes = ReadCardFile(std::string(KEL_SOURCE_DIR) + "/samples/" + name);
    EXPECT_TRUE(bytes) << (bytes ? "" : bytes.error().message);
    if (bytes)
        OpenCard(m, bytes->view());
    return m;
}

// Visits every PP of the scope.
template <class Fn>
void forEachPP(const Module1 &m, Fn fn)
{
    ForEachScopeHorse(
        m, [&](int r, int h) { ForEachPP(m.Data, r, h, kMarkedPPs, [&](const PPRef &pp) { fn(r, h, pp.number()); }); });
}

TEST(SampleCards, InitialGoMarksPRecordsAndTheCardsOutliersOnly)
{
    Module1 m = open("gulfstrm.kel");
    ASSERT_TRUE(RunGo(m, {}));
    int pRecords = 0, outliers = 0, marked = 0;
    forEachPP(m, [&](int r, int h, int p) {
        const RaceStore &d = m.Data;
        const bool isP = IsPRecord(d(r, h, p, 9));
        // The card's PPs all date from 2024 and 2025; its only purse above 10M is the 20M
        // Saudi Cup and its only distance below 4 1/2 furlongs is 4F.
        const bool outlier = !isP && (d(r, h, p, 10) == "20M" || d(r, h, p, 7) == "4F");
        pRecords += isP;
        outliers += outlier;
        marked += d(r, h, p, 0) == "F";
        // P records are 0 ("F", "M", "Y": below 4 1/2F) or a text (above 2 1/2M).
        EXPECT_EQ(d(r, h, p, 0), (isP || outlier) ? "F" : "") << r << "/" << h << "/" << p;
    });
    EXPECT_GE(pRecords, 5);
    EXPECT_EQ(outliers, 2);
    EXPECT_EQ(marked, pRecords + outliers);
}

TEST(SampleCards, ScratchedHorseKeepsItsMarksThroughGoAndResetNo)
{
    Module1 m = open("small.kel");
    ASSERT_TRUE(ScratchHorse(m, 1, 1));
    m.CurrentRace = 1;
    SettingsTexts strict;
    strict.date = "01/01/30";
    strict.dirt = strict.turf = strict.fast = strict.muddy = 0;
    strict.purseFrom = "99M";
    strict.distanceFrom = "20";
    ASSERT_TRUE(RunGo(m, strict));
    forEachPP(m, [&](int r, int h, int p) { EXPECT_EQ(m.Data(r, h, p, 0), h == 1 ? "S" : "F") << h << "/" << p; });
    EXPECT_EQ(m.Data(2, 1, 1, 0), "") << "race 2 is outside the scope";
    EXPECT_EQ(m.Data(1, 1, 0, 5), "[Z-99]");

    ResetMarks(m, false);
    forEachPP(m, [&](int r, int h, int p) { EXPECT_EQ(m.Data(r, h, p, 0), h == 1 ? "S" : ""); });
}

TEST(SampleCards, SecondGoKeepsTheFirstRunsMarks)
{
    Module1 m = open("gulfstrm.kel");
    SettingsTexts first;
    first.muddy = 0;
    ASSERT_TRUE(RunGo(m, first));
    std::string before;
    forEachPP(m, [&](int r, int h, int p) { before += m.Data(r, h, p, 0).empty() ? '.' : m.Data(r, h, p, 0)[0]; });

    SettingsTexts loose;
    loose.date = "00/00/00";
    loose.distanceFrom = "0F";
    loose.distanceTo = "90"; // a text: above every number
    ASSERT_TRUE(RunGo(m, loose));
    std::string after;
    forEachPP(m, [&](int r, int h, int p) { after += m.Data(r, h, p, 0).empty() ? '.' : m.Data(r, h, p, 0)[0]; });
    EXPECT_EQ(after, before);
    EXPECT_NE(before.find('F'), std::string::npos);
}

TEST(SampleCards, ResetYesRestoresTheLoadedRatings)
{
    Module1 loaded = open("bigfield.kel");
    Module1 m = open("bigfield.kel");
    ScratchHorse(m, 1, 21); // the also-eligible without PPs
    ScratchHorse(m, 2, 1);  // the 90-PP horse
    SettingsTexts t;
    t.date = "01/01/20";
    ASSERT_TRUE(RunGo(m, t));
    EXPECT_EQ(m.Data(1, 21, 1, 0), "S");
    EXPECT_EQ(m.Data(2, 1, 90, 0), "S");

    ResetMarks(m, true);
    for (int r = 1; r <= 3; ++r)
        for (int h = 1; h <= 21; ++h)
            for (int s = 0; s <= RaceStore::kMaxSlot; ++s)
                ASSERT_EQ(m.Data(r, h, 0, s), loaded.Data(r, h, 0, s)) << r << "/" << h << "/" << s;
    EXPECT_EQ(m.Data(1, 21, 1, 0), "");
}

} // namespace
} // namespace kel
