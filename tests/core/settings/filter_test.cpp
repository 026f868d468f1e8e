#include "settings/filter.h"

#include <gtest/gtest.h>

#include "support/card_builder.h"
#include "engine/open_card.h"
#include "engine/ratings.h"
#include "settings/marks.h"

// Designated initializers leave the other fields at their defaults on purpose.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace kel {
namespace {

// The message of a refused Go!, empty when it went through.
std::string Refusal(const Result<void> &go)
{
    return go ? std::string() : go.error().message;
}

using test::CardBuilder;

// The filter's own fields of a PP; everything passes the initial settings.
struct Filt
{
    std::string date = "06/15/05";
    std::string cond = "d-f";
    std::string purse = "50K";
    std::string dist = "6F";
    std::string mark;
};

class FilterTest : public ::testing::Test
{
protected:
    // Race r, horse h gets the PPs given, after the ones it has.
    void pps(int r, int h, std::initializer_list<Filt> list)
    {
        if (m.Data(r, 0, 0, 1).empty())
            b.race(r);
        if (m.Data(r, h, 0, 1).empty())
            b.horse(r, h);
        int p = 1;
        while (!m.Data(r, h, p, 2).empty())
            ++p;
        for (const Filt &f : list) {
            test::PPText t;
            t.date = f.date;
            t.mark = f.mark;
            b.pp(r, h, p, t);
            m.Data.set(r, h, p, 7, f.dist);
            m.Data.set(r, h, p, 9, f.cond);
            m.Data.set(r, h, p, 10, f.purse);
            ++p;
        }
    }

    // The marks of a horse's PPs as one string, "." for none.
    std::string marks(int r, int h) const
    {
        std::string s;
        for (int p = 1; !m.Data(r, h, p, 2).empty(); ++p) {
            const auto mk = m.Data(r, h, p, 0);
            s += mk.empty() ? std::string(".") : std::string(mk);
        }
        return s;
    }

    // Go! on a one-horse card of the given PPs; the marks it leaves.
    std::string go(std::initializer_list<Filt> list, const SettingsTexts &t = {})
    {
        pps(1, 1, list);
        EXPECT_TRUE(RunGo(m, t));
        return marks(1, 1);
    }

    Module1 m;
    CardBuilder b{m.Data};
};

TEST_F(FilterTest, InitialSettingsMarkOnlyWhatTheyExclude)
{
    EXPECT_EQ(go({
                  {},
                  {.date = "06/15/00"},        // year 00 is before 01
                  {.date = "06/15/99"},        // 99 is after 01: no century
                  {.dist = "4F"},              // under 4 1/2 furlongs
                  {.dist = "4 1/2F"},          // the limit itself
                  {.dist = "12F"},             // furlongs never reach a miles limit
                  {.dist = "2 1/2M"},          // the limit itself
                  {.dist = "2 9/16M"},         // above 2 1/2 miles
                  {.purse = "10M"},            // the limit itself
                  {.purse = "10001K"},         // above 10,000 thousands
                  {.cond = "P", .dist = "6F"}, // P record whose distance is a text
                  {.cond = "Pf", .dist = "F"}, // P record of distance 0: below 4 1/2 furlongs
              }),
              ".F.F...F.FFF");
}

TEST_F(FilterTest, DateComparesYearThenMonthThenDay)
{
    SettingsTexts t;
    t.date = "03/15/05";
    EXPECT_EQ(go({{.date = "03/15/05"},
                  {.date = "03/14/05"},
                  {.date = "02/28/06"},
                  {.date = "12/31/04"},
                  {.date = "04/01/05"}},
                 t),
              ".F.F.");
}

TEST_F(FilterTest, TwoDigitYearsCompareAsNumbers)
{
    SettingsTexts t;
    t.date = "01/01/99";
    EXPECT_EQ(go({{.date = "12/31/98"}, {.date = "06/15/00"}, {.date = "01/01/99"}}, t), "FF.");
}

TEST_F(FilterTest, SurfaceCountsPRecordsAsDirt)
{
    SettingsTexts t;
    t.distanceFrom = "0F"; // P records of distance "F" or "M" pass the distance test
    t.dirt = 0;
    EXPECT_EQ(go({{.cond = "d-f"}, {.cond = "t-f"}, {.cond = "PF", .dist = "F"}, {.cond = "x-f"}, {.cond = ""}}, t),
              "F.F..");

    m.Data.createEmpty();
    t.dirt = 1;
    t.turf = 0;
    EXPECT_EQ(go({{.cond = "d-f"}, {.cond = "t-f"}, {.cond = "T-f"}, {.cond = "P", .dist = "M"}}, t), ".F..");
}

TEST_F(FilterTest, GreyedCheckBoxesInclude)
{
    SettingsTexts t;
    t.dirt = t.turf = t.fast = t.muddy = 2;
    EXPECT_EQ(go({{.cond = "d-f"}, {.cond = "t-slo"}}, t), "..");
}

TEST_F(FilterTest, ConditionCodesAreCaseSensitive)
{
    SettingsTexts t;
    t.muddy = 0;
    EXPECT_EQ(go({{.cond = "d-F"},
                  {.cond = "d-f"},
                  {.cond = "t- slo "},
                  {.cond = "d-mud"},
                  {.cond = "d-MUD"},
                  {.cond = "t-yl"},
                  {.cond = "d-fzn"},
                  {.cond = "d-P"},
                  {.cond = "t-sloppy"}},
                 t),
              "F.FF.FFF.");

    m.Data.createEmpty();
    t = {};
    t.fast = 0;
    EXPECT_EQ(go({{.cond = "d-f"},
                  {.cond = "d-g"},
                  {.cond = "t-wf"},
                  {.cond = "d-B"},
                  {.cond = "t-H"},
                  {.cond = "t-frm"},
                  {.cond = "d-F"},
                  {.cond = "d-fast"},
                  {.cond = "d-"}},
                 t),
              "FFFFFF...");
}

TEST_F(FilterTest, ConditionCodeRules)
{
    // P record: the second character, blanks removed.
    EXPECT_EQ(ConditionCode("PF", "F"), "F");
    EXPECT_EQ(ConditionCode("P f", "F"), "");
    EXPECT_EQ(ConditionCode("P", "F"), "");
    EXPECT_EQ(ConditionCode("Pslo", "F"), "s");
    // A distance beginning with "P": characters 2 to 7.
    EXPECT_EQ(ConditionCode("d slo -f", "P6F"), "slo -");
    EXPECT_EQ(ConditionCode("df", "Pxx"), "f");
    // Otherwise up to six characters after the first "-".
    EXPECT_EQ(ConditionCode("d-  mud  ", "6F"), "mud");
    EXPECT_EQ(ConditionCode("t-yl-fzn", "6F"), "yl-fzn");
    EXPECT_EQ(ConditionCode("d-abcdefgh", "6F"), "abcdef");
    EXPECT_EQ(ConditionCode("d-", "6F"), "");
    // No "-": an empty code, which no group holds.
    EXPECT_EQ(ConditionCode("dslo", "6F"), "");
    EXPECT_EQ(ConditionCode("", "6F"), "");
    // Character positions, not bytes.
    EXPECT_EQ(ConditionCode("\xC3\xA9  F", "P6F"), "F");
}

TEST_F(FilterTest, PRecordConditionFromItsSecondCharacter)
{
    SettingsTexts t;
    t.distanceFrom = "0F";
    t.muddy = 0;
    EXPECT_EQ(go({{.cond = "PF", .dist = "F"}, {.cond = "Pf", .dist = "F"}, {.cond = "d F", .dist = "P"}}, t), "F.F");
}

TEST_F(FilterTest, PurseLimitsAreInclusiveAndSkipPRecords)
{
    SettingsTexts t;
    t.purseFrom = "20K";
    t.purseTo = "1.5M";
    t.distanceFrom = "0F";
    EXPECT_EQ(go({{.purse = "20K"},
                  {.purse = "19.9k"},
                  {.purse = "1500K"},
                  {.purse = "1501K"},
                  {.cond = "P", .purse = "1K", .dist = "F"},
                  {.purse = ""},
                  {.purse = "lots"}}, // no value: never excludes
                 t),
              ".F.F...");
}

TEST_F(FilterTest, DistanceLimits)
{
    SettingsTexts t;
    t.distanceFrom = "6F";
    t.distanceTo = "1 70Y";
    EXPECT_EQ(go({{.dist = "6F"},
                  {.dist = "5 1/2F"},
                  {.dist = "1 70Y"},
                  {.dist = "1 1/16M"},
                  {.dist = "1M"},
                  {.dist = "9F"},
                  {.dist = "1/2F"},
                  {.dist = "6 1/0F"},
                  {.dist = "6"},
                  {.dist = ""}},
                 t),
              ".F.F......");
}

TEST_F(FilterTest, TextLimitsLieAboveEveryNumber)
{
    SettingsTexts t;
    t.distanceFrom = "10"; // above every numeric distance: excludes them all
    EXPECT_EQ(go({{.dist = "6F"},
                  {.dist = "2M"},
                  {.cond = "P", .dist = "F"},
                  {.cond = "P", .dist = "2"},
                  {.cond = "P", .dist = "6F"}},
                 t),
              "FFFFF");

    m.Data.createEmpty();
    t = {};
    t.distanceTo = "10"; // above every numeric distance: excludes none of them
    EXPECT_EQ(go({{.dist = "6F"},
                  {.dist = "3M"},
                  {.cond = "P", .dist = "1"},
                  {.cond = "P", .dist = "9"},
                  {.cond = "P", .dist = "F"}},
                 t),
              "...FF");
}

TEST_F(FilterTest, MarksAreOnlyAddedAndScratchesKept)
{
    pps(1, 1, {{.date = "06/15/00"}, {}, {.dist = "4F"}});
    pps(1, 2, {{.date = "06/15/00", .mark = "S"}, {.mark = "S"}});
    SettingsTexts t;
    const FilterNote &note = m.filterNotes[1];
    ASSERT_TRUE(RunGo(m, t));
    EXPECT_EQ(marks(1, 1), "F.F");
    EXPECT_EQ(marks(1, 2), "SS");
    EXPECT_EQ(note.settings, "since 01/01/01");

    // Same settings again: nothing changes.
    ASSERT_TRUE(RunGo(m, t));
    EXPECT_EQ(marks(1, 1), "F.F");
    EXPECT_EQ(note.earlier, 0);

    // Looser settings bring nothing back; stricter ones add, and the note names the latest with
    // the count of the others before it.
    t.date = "01/01/00";
    t.distanceFrom = "1F";
    t.dirt = 0;
    t.muddy = 2; // greyed counts as ticked
    ASSERT_TRUE(RunGo(m, t));
    EXPECT_EQ(marks(1, 1), "FFF");
    EXPECT_EQ(marks(1, 2), "SS");
    EXPECT_EQ(note.settings, "since 01/01/00, no dirt, distance 1F to 2 1/2M");
    EXPECT_EQ(note.earlier, 1);
    t.turf = t.fast = 0;
    t.purseTo = "1M";
    ASSERT_TRUE(RunGo(m, t));
    EXPECT_EQ(note.settings, "since 01/01/00, no dirt, no turf, no fast/good, purse 0K to 1M, distance 1F to 2 1/2M");
    EXPECT_EQ(note.earlier, 2);
}

TEST_F(FilterTest, ScopeIsTheCurrentRaceOrTheWholeCard)
{
    for (int r = 1; r <= 3; ++r)
        pps(r, 1, {{.date = "06/15/00"}});
    m.Data.set(3, 0, 0, 1, ""); // the card ends before race 3
    pps(4, 1, {{.date = "06/15/00"}});

    const auto noted = [&] {
        std::string out;
        for (int r = 1; r <= 4; ++r)
            out += m.filterNotes[r].settings.empty() ? '.' : 'N';
        return out;
    };
    m.CurrentRace = 2;
    ASSERT_TRUE(RunGo(m, {}));
    EXPECT_EQ(marks(1, 1) + marks(2, 1) + marks(3, 1) + marks(4, 1), ".F..");
    EXPECT_EQ(noted(), ".N..");

    m.CurrentRace = 0;
    ASSERT_TRUE(RunGo(m, {}));
    EXPECT_EQ(marks(1, 1) + marks(2, 1) + marks(3, 1) + marks(4, 1), "FF..");
    EXPECT_EQ(noted(), "NN..");
    // A reset of one race forgets its note only; a new card starts without any.
    m.CurrentRace = 2;
    ClearMarks(m, false);
    EXPECT_EQ(noted(), "N...");
    OpenCard(m, std::string_view("1;R;A;\r\n"));
    EXPECT_EQ(noted(), "....");
}

TEST_F(FilterTest, WalkStopsAtTheEndOfHorsesAndPPs)
{
    pps(1, 1, {{.date = "06/15/00"}, {.date = "06/15/00"}});
    pps(1, 3, {{.date = "06/15/00"}}); // after a gap: not a horse of the race
    m.Data.set(1, 1, 2, 2, "");        // PP 2 ends the PPs; PP 3 would be past the end
    m.Data.set(1, 1, 3, 2, "AQU");
    m.Data.set(1, 1, 3, 1, "06/15/00");
    ASSERT_TRUE(RunGo(m, {}));
    EXPECT_EQ(m.Data(1, 1, 1, 0), "F");
    EXPECT_EQ(m.Data(1, 1, 3, 0), "");
    EXPECT_EQ(m.Data(1, 3, 1, 0), "");
}

TEST_F(FilterTest, RerunsTheEngineForTheScope)
{
    pps(1, 1, {{.date = "06/15/00"}});
    pps(1, 2, {{}});
    pps(2, 1, {{.date = "06/15/00"}});
    m.Data.set(2, 1, 0, 5, "untouched");
    m.CurrentRace = 1;
    ASSERT_TRUE(RunGo(m, {}));
    EXPECT_EQ(m.Data(1, 1, 0, 5), "[Z-99]");
    EXPECT_EQ(m.Data(1, 1, 0, 4), "0 0-0-0");
    EXPECT_EQ(m.Data(1, 2, 0, 5).substr(0, 3), "[A-");
    EXPECT_FALSE(m.Data(1, 2, 0, 8).empty());
    EXPECT_EQ(m.Data(2, 1, 0, 5), "untouched");
}

class RefusedGoTest : public FilterTest
{
protected:
    void SetUp() override
    {
        pps(1, 1, {{.date = "06/15/00"}});
        m.Data.set(1, 1, 0, 5, "old label");
    }
    void expectUntouched()
    {
        EXPECT_EQ(m.Data(1, 1, 1, 0), "");
        EXPECT_EQ(m.Data(1, 1, 0, 5), "old label");
    }
};

TEST_F(RefusedGoTest, ShortDate)
{
    SettingsTexts t;
    t.date = "1/1/01";
    EXPECT_EQ(Refusal(RunGo(m, t)), "Date must be in format mm/dd/yy");
    expectUntouched();
    // Eight characters with any separators are fine.
    t.date = "01-01-01";
    EXPECT_TRUE(RunGo(m, t));
    // Eight characters, not bytes.
    m.Data.set(1, 1, 1, 0, "");
    t.date = "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9";
    EXPECT_EQ(Refusal(RunGo(m, t)), "Date must be in format mm/dd/yy");
}

TEST_F(RefusedGoTest, ShortDateIsFineWithoutPPs)
{
    Module1 empty;
    CardBuilder(empty.Data).race(1).horse(1, 1).race(2);
    SettingsTexts t;
    t.date = "";
    EXPECT_TRUE(RunGo(empty, t));
    EXPECT_EQ(empty.Data(1, 1, 0, 5), "[Z-99]"); // the engine ran
    // The current race's scope has no PP even when another race has.
    m.CurrentRace = 2;
    b.race(2).horse(2, 1);
    EXPECT_TRUE(RunGo(m, t));
    // A text longer than the box holds is refused even there: the box could never show it.
    t.date = "01/01/2025";
    EXPECT_EQ(Refusal(RunGo(empty, t)), "Date must be in format mm/dd/yy");
}

TEST_F(RefusedGoTest, PurseLimitWithoutValue)
{
    for (std::string bad : {"", "100", "5X", "10M "}) {
        SettingsTexts t;
        t.purseFrom = bad;
        EXPECT_EQ(Refusal(RunGo(m, t)), std::string(kPurseMessage)) << bad;
        t = {};
        t.purseTo = bad;
        EXPECT_EQ(Refusal(RunGo(m, t)), std::string(kPurseMessage)) << bad;
        expectUntouched();
    }
}

TEST_F(RefusedGoTest, DistanceLimitWithoutValue)
{
    for (std::string bad : {"", "6", "6X", "1/2F", "4 1/0F", "6F "}) {
        SettingsTexts t;
        t.distanceFrom = bad;
        EXPECT_EQ(Refusal(RunGo(m, t)), std::string(kDistanceMessage)) << bad;
        t = {};
        t.distanceTo = bad;
        EXPECT_EQ(Refusal(RunGo(m, t)), std::string(kDistanceMessage)) << bad;
        expectUntouched();
    }
}

TEST_F(RefusedGoTest, LimitsAreCheckedEvenWithoutPPs)
{
    Module1 empty;
    CardBuilder(empty.Data).race(1).horse(1, 1);
    SettingsTexts t;
    t.purseTo = "lots";
    EXPECT_EQ(Refusal(RunGo(empty, t)), std::string(kPurseMessage));
    EXPECT_EQ(empty.Data(1, 1, 0, 5), "");
}

TEST_F(RefusedGoTest, DateIsReportedFirst)
{
    SettingsTexts t;
    t.date = "1/1/1";
    t.purseFrom = "";
    t.distanceTo = "";
    EXPECT_EQ(Refusal(RunGo(m, t)), "Date must be in format mm/dd/yy");
    t.date = "01/01/01";
    EXPECT_EQ(Refusal(RunGo(m, t)), std::string(kPurseMessage));
}

} // namespace
} // namespace kel
