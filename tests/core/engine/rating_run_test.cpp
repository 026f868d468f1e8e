// The rating run over the store.

#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/ratings.h"
#include "rated_race.h"
#include "store/module1.h"
#include "support/card_builder.h"

namespace kel {
namespace {

using test::CardBuilder;
using test::Fig;
using test::Pos;
using test::PPText;

std::string Slot(const Module1 &m, int r, int h, int s)
{
    return std::string(m.Data(r, h, 0, s));
}

// Every cell of races 0..maxRace, for before/after comparisons.
std::vector<std::string> Snapshot(const Module1 &m, int maxRace = 5)
{
    std::vector<std::string> cells;
    for (int r = 0; r <= maxRace; ++r)
        for (int h = 0; h <= RaceStore::kMaxHorse; ++h)
            for (int p = 0; p <= RaceStore::kMaxPP; ++p)
                for (int s = 0; s <= RaceStore::kMaxSlot; ++s)
                    cells.emplace_back(m.Data(r, h, p, s));
    return cells;
}

struct CellId
{
    int r, h, p, s;
    bool operator==(const CellId &) const = default;
};

std::ostream &operator<<(std::ostream &os, const CellId &c)
{
    return os << "(" << c.r << "," << c.h << "," << c.p << "," << c.s << ")";
}

// Cells that differ between two snapshots.
std::vector<CellId> Changed(const std::vector<std::string> &a, const std::vector<std::string> &b, int maxRace = 5)
{
    std::vector<CellId> out;
    std::size_t i = 0;
    for (int r = 0; r <= maxRace; ++r)
        for (int h = 0; h <= RaceStore::kMaxHorse; ++h)
            for (int p = 0; p <= RaceStore::kMaxPP; ++p)
                for (int s = 0; s <= RaceStore::kMaxSlot; ++s, ++i)
                    if (a[i] != b[i])
                        out.push_back({r, h, p, s});
    return out;
}

// The worked race of five horses, in percent texts, in race r.
void WorkedRace(CardBuilder &b, int r)
{
    b.race(r)
        .horseWith(r, 1, {"102%", "99%", "101%", "100%", "103%", "98%", "105%"})
        .horseWith(r, 2, {"100%", "101%"})
        .horseWith(r, 3, {"97%"})
        .horseWith(r, 4, {"----", "----"})
        .horseWith(r, 5, {"104%", "106%", "102%"});
}

TEST(RatingRun, WorkedRaceThroughTheStore)
{
    Module1 m;
    CardBuilder b(m.Data);
    WorkedRace(b, 1);
    RerunRatings(m);
    const char *labels[] = {"[D-2]", "[E-3]", "[A-1]", "[Z-99]", "[E-4]"};
    for (int h = 1; h <= 5; ++h)
        for (int s = 5; s <= 7; ++s)
            EXPECT_EQ(Slot(m, 1, h, s), labels[h - 1]) << "horse " << h << " slot " << s;
    // % W from the three labels.
    for (int h = 1; h <= 5; ++h)
        EXPECT_EQ(Slot(m, 1, h, 8), WinPercentFromLabels(labels[h - 1], labels[h - 1], labels[h - 1]));
    EXPECT_EQ(Slot(m, 1, 3, 8), "34");
    EXPECT_EQ(Slot(m, 1, 4, 8), "8");
    // Records: positions "4º", so starts only; horse 4 has no usable PP.
    EXPECT_EQ(Slot(m, 1, 1, 4), "7 0-0-0");
    EXPECT_EQ(Slot(m, 1, 2, 4), "2 0-0-0");
    EXPECT_EQ(Slot(m, 1, 4, 4), "0 0-0-0");
}

TEST(RatingRun, ValueIsNumberOverHundred)
{
    Module1 m;
    CardBuilder b(m.Data);
    b.race(1).horseWith(1, 1, {"102%", "98.5%", "100.25%", "0%", "7X"});
    double v[kMaxRatedPP];
    ASSERT_EQ(ValueSeries(m.Data, 1, 1, 3, v), 5);
    EXPECT_EQ(v[0], 102.0 / 100.0);
    EXPECT_EQ(v[0], 1.02);
    EXPECT_EQ(v[1], 98.5 / 100.0);
    EXPECT_EQ(v[2], 100.25 / 100.0);
    EXPECT_EQ(v[3], 0.0);
    EXPECT_EQ(v[4], 0.07); // the last character is dropped, whatever it is
}

TEST(RatingRun, WholeCardStopsAtFirstEmptyRace)
{
    Module1 m;
    CardBuilder b(m.Data);
    b.race(1).horseWith(1, 1, {"100%"});
    b.race(2).horseWith(2, 1, {"100%"});
    // Race 3 missing (slot 1 empty); race 4 is never reached.
    b.horseWith(3, 1, {"100%"});
    b.race(4).horseWith(4, 1, {"100%"});
    m.CurrentRace = 0;
    ComputeRatings(m, 3);
    EXPECT_EQ(Slot(m, 1, 1, 5), "[A-1]");
    EXPECT_EQ(Slot(m, 2, 1, 5), "[A-1]");
    EXPECT_EQ(Slot(m, 3, 1, 5), "");
    EXPECT_EQ(Slot(m, 4, 1, 5), "");
    EXPECT_EQ(Slot(m, 4, 1, 4), "file record");
}

TEST(RatingRun, ScopeIsCurrentRace)
{
    Module1 m;
    CardBuilder b(m.Data);
    for (int r = 1; r <= 3; ++r)
        b.race(r).horseWith(r, 1, {"100%"}).horseWith(r, 2, {"101%"});
    m.CurrentRace = 2;
    const auto before = Snapshot(m);
    RerunRatings(m);
    const auto changed = Changed(before, Snapshot(m));
    std::vector<CellId> expected;
    for (int h = 1; h <= 2; ++h)
        for (int s = 4; s <= 8; ++s)
            expected.push_back({2, h, 0, s});
    EXPECT_EQ(changed, expected);
    EXPECT_EQ(Slot(m, 2, 1, 5), "[A-1]");
    EXPECT_EQ(Slot(m, 2, 2, 5), "[B-2]");
}

TEST(RatingRun, CurrentRaceWithoutRaceDoesNothing)
{
    Module1 m;
    CardBuilder b(m.Data);
    b.race(1).horseWith(1, 1, {"100%"});
    b.horseWith(2, 1, {"100%"}); // race 2 has no slot 1
    const auto before = Snapshot(m);
    for (int16_t cr : {int16_t(2), int16_t(41), int16_t(42), int16_t(-1), int16_t(32767)}) {
        m.CurrentRace = cr;
        RerunRatings(m);
        EXPECT_TRUE(Changed(before, Snapshot(m)).empty()) << "CurrentRace " << cr;
    }
}

TEST(RatingRun, RatingSlotOutsideThreeToFiveDoesNothing)
{
    Module1 m;
    CardBuilder b(m.Data);
    b.race(1).horseWith(1, 1, {"100%"});
    const auto before = Snapshot(m);
    for (int16_t s : {int16_t(0), int16_t(2), int16_t(6), int16_t(-3)})
        ComputeRatings(m, s);
    EXPECT_TRUE(Changed(before, Snapshot(m)).empty());
}

TEST(RatingRun, RaceWithoutHorsesWritesNothing)
{
    Module1 m;
    CardBuilder b(m.Data);
    b.race(1);
    b.race(2).horseWith(2, 1, {"100%"});
    const auto before = Snapshot(m);
    RerunRatings(m);
    const auto changed = Changed(before, Snapshot(m));
    for (const CellId &c : changed)
        EXPECT_TRUE(c.r == 2 && c.h == 1 && c.p == 0) << c;
    EXPECT_FALSE(changed.empty());
}

TEST(RatingRun, SingleKindRuns)
{
    Module1 m;
    CardBuilder b(m.Data);
    WorkedRace(b, 1);
    RerunRatings(m);
    // Change the Early figures so that a rerun of slot 4 gives different labels.
    for (int p = 1; p <= 7; ++p)
        m.Data.set(1, 1, p, 4, "90%");

    auto before = Snapshot(m);
    ComputeRatings(m, 4);
    auto changed = Changed(before, Snapshot(m));
    ASSERT_FALSE(changed.empty());
    for (const CellId &c : changed)
        EXPECT_TRUE(c.r == 1 && c.p == 0 && c.s == 6) << c;
    EXPECT_EQ(Slot(m, 1, 1, 6), "[A-1]");
    EXPECT_EQ(Slot(m, 1, 3, 6), "[E-2]");
    // % W still from the previous Early labels.
    EXPECT_EQ(Slot(m, 1, 1, 8), WinPercentFromLabels("[D-2]", "[D-2]", "[D-2]"));

    // Slot 5: only horse slots 7 and 8 change; slot 8 from the new 7 and the existing 5 and 6.
    for (int p = 1; p <= 7; ++p)
        m.Data.set(1, 1, p, 5, "90%");
    before = Snapshot(m);
    ComputeRatings(m, 5);
    changed = Changed(before, Snapshot(m));
    ASSERT_FALSE(changed.empty());
    for (const CellId &c : changed)
        EXPECT_TRUE(c.r == 1 && c.p == 0 && (c.s == 7 || c.s == 8)) << c;
    EXPECT_EQ(Slot(m, 1, 1, 7), "[A-1]");
    EXPECT_EQ(Slot(m, 1, 1, 8), WinPercentFromLabels("[D-2]", "[A-1]", "[A-1]"));
    EXPECT_EQ(Slot(m, 1, 3, 8), WinPercentFromLabels("[A-1]", "[E-2]", "[E-2]"));

    // Slot 3: horse slots 4 and 5 only.
    for (int p = 1; p <= 7; ++p)
        m.Data.set(1, 1, p, 3, "90%");
    before = Snapshot(m);
    ComputeRatings(m, 3);
    changed = Changed(before, Snapshot(m));
    ASSERT_FALSE(changed.empty());
    for (const CellId &c : changed)
        EXPECT_TRUE(c.r == 1 && c.p == 0 && (c.s == 4 || c.s == 5)) << c;
}

TEST(RatingRun, MarksLeaveOutPPs)
{
    Module1 m;
    CardBuilder b(m.Data);
    PPText f = Fig("50%");
    f.mark = "F";
    f.pos = Pos("1");
    PPText s = Fig("50%");
    s.mark = "S";
    s.pos = Pos("1");
    PPText missing = Fig("----");
    missing.pos = Pos("1");
    PPText later = Fig("100%");
    later.pos = Pos("2");
    b.race(1).horseWith(1, 1, std::vector<PPText>{f, s, missing, later});
    b.horseWith(1, 2, {"99%"});
    double v[kMaxRatedPP];
    ASSERT_EQ(ValueSeries(m.Data, 1, 1, 3, v), 1);
    EXPECT_EQ(v[0], 1.0);
    RerunRatings(m);
    EXPECT_EQ(Slot(m, 1, 1, 4), "1 0-1-0"); // only the later PP counts
    EXPECT_EQ(Slot(m, 1, 2, 5), "[A-1]");   // 0.99 beats 1.00; the 0.50s were left out
    EXPECT_EQ(Slot(m, 1, 1, 5), "[B-2]");

    // Other marks than "F" and "S" do not exclude.
    PPText x = Fig("50%");
    x.mark = "X";
    b.horseWith(1, 3, std::vector<PPText>{x});
    RerunRatings(m);
    EXPECT_EQ(Slot(m, 1, 3, 5), "[A-1]");
    EXPECT_EQ(Slot(m, 1, 3, 4), "1 0-0-0");
}

TEST(RatingRun, ScratchedHorse)
{
    Module1 m;
    CardBuilder b(m.Data);
    PPText s = Fig("100%");
    s.mark = "S";
    s.pos = Pos("1");
    b.race(1).horseWith(1, 1, std::vector<PPText>{s, s, s}).horseWith(1, 2, {"100%"});
    RerunRatings(m);
    EXPECT_EQ(Slot(m, 1, 1, 4), "0 0-0-0");
    EXPECT_EQ(Slot(m, 1, 1, 5), "[Z-99]");
    EXPECT_EQ(Slot(m, 1, 1, 6), "[Z-99]");
    EXPECT_EQ(Slot(m, 1, 1, 7), "[Z-99]");
    EXPECT_EQ(Slot(m, 1, 1, 8), "8");
    EXPECT_EQ(Slot(m, 1, 2, 5), "[A-1]");
    EXPECT_EQ(Slot(m, 1, 2, 8), "34");
}

TEST(RatingRun, EmptyRatingTextEndsSeriesNotRecord)
{
    Module1 m;
    CardBuilder b(m.Data);
    PPText p1 = Fig("100%");
    p1.pos = Pos("1");
    PPText p2 = Fig("");
    p2.pos = Pos("2");
    PPText p3 = Fig("50%"); // would make horse 1 the best if it were read
    p3.pos = Pos("3");
    b.race(1).horseWith(1, 1, std::vector<PPText>{p1, p2, p3}).horseWith(1, 2, {"99%"});
    double v[kMaxRatedPP];
    EXPECT_EQ(ValueSeries(m.Data, 1, 1, 3, v), 1);
    RerunRatings(m);
    EXPECT_EQ(Slot(m, 1, 1, 5), "[B-2]");
    EXPECT_EQ(Slot(m, 1, 2, 5), "[A-1]");
    // The record walks on: the PP with the empty slot 3 is usable and counts.
    EXPECT_EQ(Slot(m, 1, 1, 4), "3 1-1-1");

    // PP 1 with an empty rating text: no measure, record still counts the PPs behind it.
    b.horseWith(1, 3, std::vector<PPText>{p2, p1, p3});
    RerunRatings(m);
    EXPECT_EQ(Slot(m, 1, 3, 5), "[Z-99]");
    EXPECT_EQ(Slot(m, 1, 3, 4), "3 1-1-1");

    // An empty Early text ends only the Early series.
    PPText e = Fig("100%");
    e.early = "";
    b.horseWith(1, 4, std::vector<PPText>{e, Fig("100%")});
    RerunRatings(m);
    EXPECT_EQ(Slot(m, 1, 4, 6), "[Z-99]");
    EXPECT_NE(Slot(m, 1, 4, 5), "[Z-99]");
    EXPECT_NE(Slot(m, 1, 4, 7), "[Z-99]");
}

TEST(RatingRun, EmptyTrackEndsBothWalks)
{
    Module1 m;
    CardBuilder b(m.Data);
    PPText gap = Fig("100%");
    gap.track = "";
    b.race(1).horseWith(1, 1, std::vector<PPText>{Fig("100%"), gap, Fig("50%"), Fig("50%")});
    double v[kMaxRatedPP];
    EXPECT_EQ(ValueSeries(m.Data, 1, 1, 3, v), 1);
    RerunRatings(m);
    EXPECT_EQ(Slot(m, 1, 1, 4), "1 0-0-0");
}

TEST(RatingRun, OnlyPPsOneTo84)
{
    Module1 m;
    CardBuilder b(m.Data);
    b.race(1);
    b.horse(1, 1);
    for (int p = 1; p <= 90; ++p) {
        PPText t = Fig("100%");
        t.pos = Pos(p <= 84 ? "4" : "1");
        b.pp(1, 1, p, t);
    }
    // Horse 2: PPs 1..84 without figure, 85..90 with: no measure at all.
    b.horse(1, 2);
    for (int p = 1; p <= 90; ++p)
        b.pp(1, 2, p, Fig(p <= 84 ? "----" : "90%"));
    double v[kMaxRatedPP + 10];
    EXPECT_EQ(ValueSeries(m.Data, 1, 1, 3, v), 84);
    EXPECT_EQ(ValueSeries(m.Data, 1, 2, 3, v), 0);
    RerunRatings(m);
    EXPECT_EQ(Slot(m, 1, 1, 4), "84 0-0-0"); // the wins of PPs 85..90 are not seen
    EXPECT_EQ(Slot(m, 1, 1, 5), "[A-1]");
    EXPECT_EQ(Slot(m, 1, 2, 5), "[Z-99]");
    EXPECT_EQ(Slot(m, 1, 2, 4), "0 0-0-0");

    // A full 100-PP horse is no different.
    for (int p = 91; p <= 100; ++p)
        b.pp(1, 1, p, Fig("100%"));
    RerunRatings(m);
    EXPECT_EQ(Slot(m, 1, 1, 4), "84 0-0-0");
}

TEST(RatingRun, FinishPositions)
{
    const struct
    {
        const char *text;
        int place;
    } cases[] = {
        {"1\xC2\xBA 120 (3)", 1},
        {"01\xC2\xBA", 1},
        {"2\xC2\xBA", 2},
        {"03\xC2\xBA", 3},          // a leading zero on a counted place
        {"3\xC2\xBA 1\xC2\xBA", 3}, // the first "º"
        {"1.0\xC2\xBA", 1},
        {"4\xC2\xBA", 0},
        {"10\xC2\xBA", 0}, // two digits, not the first
        {"0\xC2\xBA", 0},
        {" 1\xC2\xBA", 0},
        {"1 \xC2\xBA", 0},
        {"\xC2\xBA", 0},
        {"x\xC2\xBA", 0},
        {"1", 0},     // no "º"
        {"1\xBA", 0}, // a lone Windows-1252 byte is not "º"
        {"1o", 0},
        {"", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FinishPlace(c.text), c.place) << c.text;
}

TEST(RatingRun, RecordCounts)
{
    Module1 m;
    CardBuilder b(m.Data);
    std::vector<PPText> pps;
    for (const char *pos : {"1", "01", "2", "3", "3", "4", " 1", "", "x", "12"}) {
        PPText t = Fig("100%");
        t.pos = Pos(pos);
        pps.push_back(t);
    }
    PPText noOrdinal = Fig("100%");
    noOrdinal.pos = "1 118";
    pps.push_back(noOrdinal);
    PPText emptyPos = Fig("100%");
    emptyPos.pos = "";
    pps.push_back(emptyPos);
    b.race(1).horseWith(1, 1, pps);
    RerunRatings(m);
    EXPECT_EQ(Slot(m, 1, 1, 4), "12 2-1-2");
    const StartRecord r = HorseRecord(m.Data, 1, 1);
    EXPECT_EQ(r.starts, 12);
    EXPECT_EQ(r.wins, 2);
    EXPECT_EQ(r.seconds, 1);
    EXPECT_EQ(r.thirds, 2);
}

TEST(RatingRun, NonNumberTextsAreMissingFigures)
{
    Module1 m;
    CardBuilder b(m.Data);
    std::vector<PPText> pps;
    for (const char *t :
         {"%", "abc%", "1e400%", "NaN%", "nan%", "inf%", "1,5%", "9 8%", "98%%", "0x10%", "9", ".%", "+-1%"})
        pps.push_back(Fig(t));
    b.race(1).horseWith(1, 1, pps).horseWith(1, 2, {"101%"});
    double v[kMaxRatedPP];
    EXPECT_EQ(ValueSeries(m.Data, 1, 1, 3, v), 0);
    RerunRatings(m);
    for (int s = 5; s <= 7; ++s)
        EXPECT_EQ(Slot(m, 1, 1, s), "[Z-99]");
    // Not "--": each still counts as a start.
    EXPECT_EQ(Slot(m, 1, 1, 4), std::to_string(pps.size()) + " 0-0-0");
    EXPECT_EQ(Slot(m, 1, 2, 5), "[A-1]");

    // Never read as 0: a horse of "abc%" figures does not beat one of 101%.
    b.horseWith(1, 3, {"abc%", "101%"});
    RerunRatings(m);
    EXPECT_EQ(ValueSeries(m.Data, 1, 3, 3, v), 1);
    EXPECT_EQ(v[0], 1.01);
}

TEST(RatingRun, NegativeValues)
{
    Module1 m;
    CardBuilder b(m.Data);
    b.race(1)
        .horseWith(1, 1, {"-5%"})
        .horseWith(1, 2, {"100%"})
        .horseWith(1, 3, {"100%", "-5%", "101%"})
        .horseWith(1, 4, {"-0%"});
    RerunRatings(m);
    // A negative figure is no figure: the horse is rated on its other PPs, or not at all, and
    // the PP still counts as a start.
    EXPECT_EQ(Slot(m, 1, 1, 5), "[Z-99]");
    EXPECT_EQ(Slot(m, 1, 1, 4), "1 0-0-0");
    EXPECT_EQ(Slot(m, 1, 2, 5), "[E-2]"); // behind the "-0%" horse, whose measures are 0
    double v[kMaxRatedPP];
    ASSERT_EQ(ValueSeries(m.Data, 1, 3, 3, v), 2);
    EXPECT_EQ(v[1], 1.01);
    EXPECT_EQ(Slot(m, 1, 3, 5), "[E-3]");
    EXPECT_EQ(Slot(m, 1, 4, 5), "[A-1]");
    EXPECT_EQ(Slot(m, 1, 1, 8), "8");
}

TEST(RatingRun, TwentyOneHorses)
{
    Module1 m;
    CardBuilder b(m.Data);
    b.race(1);
    for (int h = 1; h <= 21; ++h) {
        // Horse 21 best, horse 1 worst, 0.1% apart.
        const std::string fig = std::to_string(100 + (21 - h)) + "." + "0%";
        b.horseWith(1, h, {fig});
    }
    RerunRatings(m);
    for (int h = 1; h <= 21; ++h) {
        const std::string label = Slot(m, 1, h, 5);
        EXPECT_EQ(label.substr(3), std::to_string(22 - h) + "]") << "horse " << h;
        EXPECT_NE(Slot(m, 1, h, 8), "");
    }
    EXPECT_EQ(Slot(m, 1, 21, 5), "[A-1]");
    EXPECT_EQ(Slot(m, 1, 1, 5), "[E-21]");
    // A rank of 21 (not a multiple of 10) is used as it stands.
    EXPECT_EQ(Slot(m, 1, 1, 8), WinPercentFromLabels("[E-21]", "[E-21]", "[E-21]"));
    EXPECT_EQ(Slot(m, 1, 2, 8), WinPercentFromLabels("[E-20]", "[E-20]", "[E-20]"));
}

TEST(RatingRun, RerunIsStable)
{
    Module1 m;
    CardBuilder b(m.Data);
    WorkedRace(b, 1);
    RerunRatings(m);
    const auto once = Snapshot(m, 1);
    RerunRatings(m);
    RerunRatings(m);
    EXPECT_TRUE(Changed(once, Snapshot(m, 1), 1).empty());
}

TEST(RatingRun, FullCard)
{
    Module1 m;
    CardBuilder b(m.Data);
    for (int r = 1; r <= RaceStore::kMaxRace; ++r) {
        b.race(r);
        for (int h = 1; h <= RaceStore::kMaxHorse; ++h) {
            b.horse(r, h);
            for (int p = 1; p <= RaceStore::kMaxPP; ++p) {
                const int k = (r * 7 + h * 13 + p * 31) % 97;
                PPText t;
                t.kel = std::to_string(90 + k % 20) + "." + std::to_string(k % 10) + "%";
                t.early = (k % 9 == 0) ? "----" : std::to_string(95 + k % 11) + "%";
                t.fin = std::to_string(92 + k % 15) + ".5%";
                t.pos = Pos(std::to_string(1 + k % 12));
                t.mark = (k % 23 == 0) ? "F" : "";
                b.pp(r, h, p, t);
            }
        }
    }
    RerunRatings(m);
    // The run reads nine values per horse; the full series give the same labels.
    for (int r = 1; r <= RaceStore::kMaxRace; r += 5) {
        for (int slot = 3; slot <= 5; ++slot) {
            std::vector<std::vector<double>> series;
            for (int h = 1; h <= RaceStore::kMaxHorse; ++h) {
                double v[kMaxRatedPP];
                const int n = ValueSeries(m.Data, r, h, slot, v);
                EXPECT_GT(n, 9);
                series.emplace_back(v, v + n);
            }
            const auto ratings = test::RatedRace(series);
            for (int h = 1; h <= RaceStore::kMaxHorse; ++h) {
                const HorseRating &hr = ratings[h - 1];
                const char letter = hr.cls == 99 ? 'Z' : static_cast<char>(64 + hr.cls);
                const std::string label = std::string("[") + letter + "-" + std::to_string(hr.rank) + "]";
                EXPECT_EQ(Slot(m, r, h, slot + 2), label) << r << "," << h << " slot " << slot;
            }
        }
    }
    for (int r = 1; r <= RaceStore::kMaxRace; ++r) {
        std::vector<bool> seen(22, false);
        for (int h = 1; h <= RaceStore::kMaxHorse; ++h) {
            const std::string label = Slot(m, r, h, 7);
            ASSERT_GE(label.size(), 5u) << r << "," << h;
            const int rank = std::stoi(label.substr(3));
            ASSERT_GE(rank, 1);
            ASSERT_LE(rank, 21);
            EXPECT_FALSE(seen[rank]);
            seen[rank] = true;
            EXPECT_NE(Slot(m, r, h, 8), "");
            const StartRecord rec = HorseRecord(m.Data, r, h);
            EXPECT_LE(rec.starts, 84);
            EXPECT_EQ(Slot(m, r, h, 4), std::to_string(rec.starts) + " " + std::to_string(rec.wins) + "-"
                                            + std::to_string(rec.seconds) + "-" + std::to_string(rec.thirds));
        }
    }
}

} // namespace
} // namespace kel
