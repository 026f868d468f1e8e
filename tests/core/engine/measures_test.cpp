// Figures, measures, ranking and classes.

#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "engine/measures.h"
#include "engine/ratings.h"
#include "rated_race.h"

namespace kel {
namespace {

constexpr double kTol = 5e-7; // "to six decimals"

Figures Fig(std::vector<double> v)
{
    return HorseFigures(v);
}

// ---------------------------------------------------------------------------------------------
// Figures of one horse

TEST(HorseFigures, WorkedHorse)
{
    const Figures f = Fig({1.02, 0.99, 1.01, 1.00, 1.03, 0.98, 1.05});
    EXPECT_EQ(f.n, 7);
    EXPECT_DOUBLE_EQ(f.first, 1.02);
    EXPECT_NEAR(f.root, 0.994987, kTol);
    EXPECT_DOUBLE_EQ(f.bestSix, 0.98);
    EXPECT_NEAR(f.middleMean, 1.00, kTol);
    EXPECT_NEAR(f.pairProduct, 0.9801, kTol); // the middle mean 1.00 is not below x2 = 0.99
    EXPECT_DOUBLE_EQ(f.top[0], 0.98);
    EXPECT_DOUBLE_EQ(f.top[1], 0.98);
    EXPECT_DOUBLE_EQ(f.top[2], 0.99);
    EXPECT_DOUBLE_EQ(f.top[3], 1.00);

    EXPECT_NEAR(CompositeMeasure(f), 0.992898, kTol);
    EXPECT_NEAR(RootMeasure(f), 0.994987, kTol);
    EXPECT_NEAR(BestSixMeasure(f), 0.986, kTol);
    EXPECT_NEAR(GradedCompositeMeasure(f), 0.993942, kTol);
}

TEST(HorseFigures, EmptySeriesHasNoMeasure)
{
    const Figures f = Fig({});
    EXPECT_EQ(f.n, 0);
    EXPECT_EQ(CompositeMeasure(f), kNoMeasure);
    EXPECT_EQ(RootMeasure(f), kNoMeasure);
    EXPECT_EQ(BestSixMeasure(f), kNoMeasure);
    EXPECT_EQ(GradedCompositeMeasure(f), kNoMeasure);
    const Measures m = HorseMeasures(f);
    EXPECT_EQ(m.composite, kNoMeasure);
    EXPECT_EQ(m.graded, kNoMeasure);
}

TEST(HorseFigures, OneValue)
{
    const double v = 1.02;
    const Figures f = Fig({v});
    EXPECT_DOUBLE_EQ(f.pairProduct, v * v);
    const double expected = std::pow((std::sqrt(v) * v) * (v * v), 1.0 / 3.0);
    EXPECT_EQ(CompositeMeasure(f), expected);
    EXPECT_EQ(GradedCompositeMeasure(f), expected);
    EXPECT_EQ(RootMeasure(f), std::sqrt(v));
    EXPECT_EQ(BestSixMeasure(f), v);

    const auto r = test::RatedRace({{v}});
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].cls, 1);
    EXPECT_EQ(r[0].rank, 1);
}

TEST(HorseFigures, MiddleMeanIsCapped)
{
    const Figures f = Fig({1.00, 1.10, 1.10, 1.10});
    EXPECT_DOUBLE_EQ(f.root, 1.0);
    EXPECT_DOUBLE_EQ(f.middleMean, 1.0 + 0.03);
    EXPECT_DOUBLE_EQ(f.pairProduct, 1.00 * (1.0 + 0.03));
}

TEST(HorseFigures, RunningMeanFormula)
{
    // m = x2; m = (x3 + m) / 2; m = (x4 + 2m) / 3, exactly in that order.
    const double x2 = 1.01, x3 = 1.02, x4 = 1.04;
    double m = x2;
    m = (x3 + 1 * m) / 2;
    m = (x4 + 2 * m) / 3;
    const Figures f = Fig({1.0, x2, x3, x4, 2.0});
    EXPECT_EQ(f.middleMean, m);
    // Only x2..x4 take part.
    EXPECT_EQ(Fig({1.0, x2, x3, x4, 0.5, 0.5, 0.5}).middleMean, m);
}

TEST(HorseFigures, PairProductUsesMiddleMeanWhenBelowX2)
{
    const Figures f = Fig({1.00, 1.04, 1.00, 1.01});
    const double mm = ((1.00 + 1.04) / 2 * 2 + 1.01) / 3; // not the exact order, just the range
    EXPECT_NEAR(f.middleMean, mm, 1e-12);
    EXPECT_LT(f.middleMean, 1.04);
    EXPECT_EQ(f.pairProduct, 1.00 * f.middleMean);
}

TEST(HorseFigures, TopFourRepeatsBestValue)
{
    const Figures f = Fig({1.00, 1.02, 1.03, 1.04, 1.05, 1.06});
    EXPECT_DOUBLE_EQ(f.top[0], 1.00);
    EXPECT_DOUBLE_EQ(f.top[1], 1.00);
    EXPECT_DOUBLE_EQ(f.top[2], 1.02);
    EXPECT_DOUBLE_EQ(f.top[3], 1.03);
}

TEST(HorseFigures, TopFourOnlyFromSixValuesOn)
{
    const Figures five = Fig({1.00, 1.02, 1.03, 1.04, 1.05});
    EXPECT_FALSE(five.hasTopFour());
    // With five values the short forms apply.
    EXPECT_EQ(BestSixMeasure(five), 1.00);
    EXPECT_EQ(CompositeMeasure(five), std::pow((five.root * five.first) * five.pairProduct, 1.0 / 3.0));
}

TEST(HorseFigures, TopFourLooksAtNineValuesAndDropsTenOrMore)
{
    // x10 = 0.5 is not a candidate; values of 10 or more never enter.
    const Figures f = Fig({12, 11, 10, 10.5, 1.01, 1.02, 10, 10, 1.03, 0.5});
    EXPECT_DOUBLE_EQ(f.bestSix, 1.01);
    EXPECT_DOUBLE_EQ(f.top[0], 1.01);
    EXPECT_DOUBLE_EQ(f.top[1], 1.01);
    EXPECT_DOUBLE_EQ(f.top[2], 1.02);
    EXPECT_DOUBLE_EQ(f.top[3], 1.03);

    const Figures g = Fig({12, 11, 10, 10.5, 1.01, 10});
    EXPECT_DOUBLE_EQ(g.top[2], 10); // the starting place stays
    EXPECT_DOUBLE_EQ(g.top[3], 10);
}

TEST(HorseFigures, ZeroTKeepsShortComposite)
{
    // Top four -0.25, -0.25, 0.25, 0.25: T = 0 exactly, so the short form is kept.
    const Figures f = Fig({1.0, 1.0, 1.0, -0.25, 0.25, 0.25});
    ASSERT_DOUBLE_EQ(f.top[0], -0.25);
    ASSERT_DOUBLE_EQ(f.top[1], -0.25);
    ASSERT_DOUBLE_EQ(f.top[2], 0.25);
    ASSERT_DOUBLE_EQ(f.top[3], 0.25);
    const double shortForm = std::pow((f.root * f.first) * f.pairProduct, 1.0 / 3.0);
    EXPECT_EQ(CompositeMeasure(f), shortForm);
    // The graded T is not 0, so the graded composite takes the long form.
    EXPECT_NE(GradedCompositeMeasure(f), shortForm);
}

TEST(HorseFigures, ZeroBlendKeepsBestOfSix)
{
    // (((2 * -0.25) + -0.25) + 0.375) + 0.375 = 0 exactly: the best of six stays.
    const Figures f = Fig({1.0, 1.0, 1.0, -0.25, 0.375, 0.375});
    ASSERT_DOUBLE_EQ(f.top[2], 0.375);
    EXPECT_EQ(BestSixMeasure(f), -0.25);
}

// ---------------------------------------------------------------------------------------------
// Worked race

TEST(RateRace, WorkedRace)
{
    const std::vector<std::vector<double>> series = {
        {1.02, 0.99, 1.01, 1.00, 1.03, 0.98, 1.05}, {1.00, 1.01}, {0.97}, {}, {1.04, 1.06, 1.02},
    };
    const double composite[] = {0.992898, 1.003322, 0.965088, kNoMeasure, 1.043422};
    const double root[] = {0.994987, 1.0, 0.984886, kNoMeasure, 1.009950};
    const double bestSix[] = {0.986, 1.0, 0.97, kNoMeasure, 1.02};
    const double graded[] = {0.993942, 1.003322, 0.965088, kNoMeasure, 1.043422};
    double mc[5], mr[5], ms[5], mg[5];
    for (int i = 0; i < 5; ++i) {
        const Measures m = HorseMeasures(HorseFigures(series[i]));
        mc[i] = m.composite;
        mr[i] = m.root;
        ms[i] = m.bestSix;
        mg[i] = m.graded;
        EXPECT_NEAR(m.composite, composite[i], kTol) << "horse " << i + 1;
        EXPECT_NEAR(m.root, root[i], kTol) << "horse " << i + 1;
        EXPECT_NEAR(m.bestSix, bestSix[i], kTol) << "horse " << i + 1;
        EXPECT_NEAR(m.graded, graded[i], kTol) << "horse " << i + 1;
    }

    const Figures h5 = HorseFigures(series[4]);
    EXPECT_NEAR(h5.middleMean, 1.039950, kTol);
    EXPECT_NEAR(h5.pairProduct, 1.081549, kTol);

    auto classes = [](const double *m) {
        int rank[5];
        const double best = RankMeasure(m, 5, rank);
        std::vector<int> c;
        for (int i = 0; i < 5; ++i)
            c.push_back(ClassOf(m[i], best));
        return c;
    };
    EXPECT_EQ(classes(mc), (std::vector<int>{4, 5, 1, 99, 5}));
    EXPECT_EQ(classes(mr), (std::vector<int>{2, 3, 1, 99, 4}));
    EXPECT_EQ(classes(ms), (std::vector<int>{3, 4, 1, 99, 5}));
    int gradedRank[5];
    RankMeasure(mg, 5, gradedRank);
    EXPECT_EQ(std::vector<int>(gradedRank, gradedRank + 5), (std::vector<int>{2, 3, 1, 99, 4}));

    const auto r = test::RatedRace(series);
    ASSERT_EQ(r.size(), 5u);
    const int cls[] = {4, 5, 1, 99, 5};
    const int rank[] = {2, 3, 1, 99, 4};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(r[i].cls, cls[i]) << "horse " << i + 1;
        EXPECT_EQ(r[i].rank, rank[i]) << "horse " << i + 1;
    }
}

// ---------------------------------------------------------------------------------------------
// Ranking

TEST(RankMeasure, LaterHorseRanksAheadOnTies)
{
    double m[] = {1.0, 1.0};
    int rank[2];
    EXPECT_EQ(RankMeasure(m, 2, rank), 1.0);
    EXPECT_EQ(rank[0], 2);
    EXPECT_EQ(rank[1], 1);

    double three[] = {1.0, 0.9, 1.0, 1.0};
    int r4[4];
    RankMeasure(three, 4, r4);
    EXPECT_EQ(r4[1], 1);
    EXPECT_EQ(r4[3], 2);
    EXPECT_EQ(r4[2], 3);
    EXPECT_EQ(r4[0], 4);
}

TEST(RankMeasure, NoMeasureKeepsRank99AndCountsForBest)
{
    double m[] = {kNoMeasure, 1.02, kNoMeasure, 1.01};
    int rank[4];
    EXPECT_EQ(RankMeasure(m, 4, rank), 1.01);
    EXPECT_EQ(rank[0], 99);
    EXPECT_EQ(rank[1], 2);
    EXPECT_EQ(rank[2], 99);
    EXPECT_EQ(rank[3], 1);

    double none[] = {kNoMeasure, kNoMeasure};
    EXPECT_EQ(RankMeasure(none, 2, rank), kNoMeasure);
    EXPECT_EQ(rank[0], 99);
    EXPECT_EQ(rank[1], 99);
}

TEST(RankMeasure, RankFormula)
{
    // rank = 1 + horses with a smaller measure + later horses with an equal one.
    const double m[] = {1.03, 1.01, 1.02, 1.01, kNoMeasure, 1.03, 0.99, 1.02};
    const int n = 8;
    int rank[n];
    RankMeasure(m, n, rank);
    for (int i = 0; i < n; ++i) {
        if (m[i] == kNoMeasure) {
            EXPECT_EQ(rank[i], 99);
            continue;
        }
        int expected = 1;
        for (int k = 0; k < n; ++k) {
            if (m[k] == kNoMeasure)
                continue;
            if (m[k] < m[i] || (m[k] == m[i] && k > i))
                ++expected;
        }
        EXPECT_EQ(rank[i], expected) << "horse " << i + 1;
    }
}

TEST(RateRace, TieOnGradedCompositeLaterHorseAhead)
{
    const auto r = test::RatedRace({{1.01, 1.02}, {1.01, 1.02}});
    EXPECT_EQ(r[0].rank, 2);
    EXPECT_EQ(r[1].rank, 1);
    EXPECT_EQ(r[0].cls, 1);
    EXPECT_EQ(r[1].cls, 1);
}

TEST(RateRace, NoHorseWithMeasure)
{
    const auto r = test::RatedRace({{}, {}, {}});
    for (const HorseRating &h : r) {
        EXPECT_EQ(h.cls, 99);
        EXPECT_EQ(h.rank, 99);
    }
    EXPECT_TRUE(test::RatedRace({}).empty());
}

TEST(RateRace, MeasureExactly99IsNoMeasure)
{
    // Root measure sqrt(9801) = 99 exactly: the horse has no root measure, so class 99.
    const auto r = test::RatedRace({{9801}, {1.0}});
    EXPECT_EQ(r[0].cls, 99);
    EXPECT_EQ(r[1].cls, 1);
    // Its graded composite is not 99, so it is still ranked.
    EXPECT_EQ(r[0].rank, 2);
    EXPECT_EQ(r[1].rank, 1);

    double m[] = {99.0, 1.0};
    int rank[2];
    RankMeasure(m, 2, rank);
    EXPECT_EQ(rank[0], 99);
    EXPECT_EQ(rank[1], 1);
}

TEST(RateRace, TwentyOneHorses)
{
    std::vector<std::vector<double>> series;
    for (int h = 0; h < 21; ++h)
        series.push_back({1.0 + 0.001 * (20 - h)}); // horse 21 best
    const auto r = test::RatedRace(series);
    ASSERT_EQ(r.size(), 21u);
    for (int h = 0; h < 21; ++h)
        EXPECT_EQ(r[h].rank, 21 - h);
}

TEST(RateRace, MoreThanTwentyOneHorsesStillWorks)
{
    std::vector<std::vector<double>> series(30, std::vector<double>{1.0});
    const auto r = test::RatedRace(series);
    ASSERT_EQ(r.size(), 30u);
    EXPECT_EQ(r[29].rank, 1);
    EXPECT_EQ(r[0].rank, 30);
}

// ---------------------------------------------------------------------------------------------
// Classes

TEST(ClassOf, StrictThresholds)
{
    const double best = 0.97;
    const double steps[] = {0.005, 0.0125, 0.02, 0.0325};
    for (int i = 0; i < 4; ++i) {
        const double at = best + steps[i]; // exactly the bound as the test computes it
        EXPECT_EQ(ClassOf(at, best), i + 2) << "at best + " << steps[i];
        EXPECT_EQ(ClassOf(std::nextafter(at, 0.0), best), i + 1) << "just below best + " << steps[i];
    }
    EXPECT_EQ(ClassOf(best, best), 1);
    EXPECT_EQ(ClassOf(5.0, best), 5);
    EXPECT_EQ(ClassOf(kNoMeasure, best), 99);
    EXPECT_EQ(ClassOf(kNoMeasure, kNoMeasure), 99);
}

// Finds a value d such that the best-six measure of {1, 1, d, d, d, d} (top four 1, 1, 1, d:
// ((((2 * 1) + 1) + 1) + d) / 5) is exactly target.
double blendValueFor(double target)
{
    double d = 5 * target - 4;
    for (int step = 0; step < 64; ++step) {
        const double got = BestSixMeasure(HorseFigures(std::vector<double>{1, 1, d, d, d, d}));
        if (got == target)
            return d;
        d = got < target ? std::nextafter(d, 2.0) : std::nextafter(d, 0.0);
    }
    return std::numeric_limits<double>::quiet_NaN();
}

TEST(RateRace, BestPlus0005IsClassTwoThroughTheRace)
{
    // Horse 1: all measures 1. Horse 2: composite and root class 1, best-six measure exactly
    // best + 0.005, so the worst of the three classes is 2 ("B").
    const double bound = 1.0 + 0.005;
    const double d = blendValueFor(bound);
    ASSERT_FALSE(std::isnan(d));
    const std::vector<double> h1 = {1, 1, 1, 1, 1, 1};
    const std::vector<double> h2 = {1, 1, d, d, d, d};
    const Measures m1 = HorseMeasures(HorseFigures(h1));
    const Measures m2 = HorseMeasures(HorseFigures(h2));
    ASSERT_EQ(m1.composite, 1.0);
    ASSERT_EQ(m1.root, 1.0);
    ASSERT_EQ(m1.bestSix, 1.0);
    ASSERT_EQ(m2.bestSix, bound);
    ASSERT_LT(m2.composite, 1.0 + 0.005);
    ASSERT_EQ(m2.root, 1.0);

    auto r = test::RatedRace({h1, h2});
    EXPECT_EQ(r[0].cls, 1);
    EXPECT_EQ(r[1].cls, 2);

    // One step below the bound: class 1.
    const double below = std::nextafter(bound, 0.0);
    const double d2 = blendValueFor(below);
    ASSERT_FALSE(std::isnan(d2));
    r = test::RatedRace({h1, {1, 1, d2, d2, d2, d2}});
    EXPECT_EQ(r[1].cls, 1);
}

TEST(RateRace, ClassIsWorstOfThree)
{
    // Horse 2 is within 0.005 on the composite and root measures, but its best-six measure is
    // 0.015 behind (class 3): letter "C".
    const double d = blendValueFor(1.015);
    ASSERT_FALSE(std::isnan(d));
    const std::vector<double> h1 = {1, 1, 1, 1, 1, 1};
    const std::vector<double> h2 = {1, 1, d, d, d, d};
    const Measures m2 = HorseMeasures(HorseFigures(h2));
    ASSERT_LT(m2.composite, 1.005);
    ASSERT_LT(m2.root, 1.005);
    const auto r = test::RatedRace({h1, h2});
    EXPECT_EQ(r[1].cls, 3);
}

// ---------------------------------------------------------------------------------------------
// Negative values: NaN never reaches a comparison.

TEST(HorseMeasures, NegativeValueUnderRootMeansNoMeasure)
{
    const Figures f = HorseFigures(std::vector<double>{-0.05});
    EXPECT_TRUE(std::isnan(RootMeasure(f)));
    EXPECT_TRUE(std::isnan(CompositeMeasure(f)));
    const Measures m = HorseMeasures(f);
    EXPECT_EQ(m.composite, kNoMeasure);
    EXPECT_EQ(m.root, kNoMeasure);
    EXPECT_EQ(m.bestSix, kNoMeasure); // the whole horse is without measure
    EXPECT_EQ(m.graded, kNoMeasure);

    const auto r = test::RatedRace({{1.02}, {-0.05}, {1.00, -0.5}, {1.01}});
    EXPECT_EQ(r[0].cls, 2); // as in a race of horses 1 and 4 alone
    EXPECT_EQ(r[0].rank, 2);
    EXPECT_EQ(r[1].cls, 99);
    EXPECT_EQ(r[1].rank, 99);
    EXPECT_EQ(r[2].cls, 99);
    EXPECT_EQ(r[2].rank, 99);
    EXPECT_EQ(r[3].cls, 1);
    EXPECT_EQ(r[3].rank, 1);
}

TEST(HorseMeasures, NegativeLaterValueThatLeavesNumbersIsRated)
{
    // A negative value past x3 leaves the roots real: the horse keeps its measures.
    const std::vector<double> s = {1.0, 1.0, 1.0, -0.25, 0.375, 0.375};
    const Measures m = HorseMeasures(HorseFigures(s));
    EXPECT_FALSE(std::isnan(m.composite));
    EXPECT_EQ(m.bestSix, -0.25);
    const auto r = test::RatedRace({{1.0}, s});
    EXPECT_NE(r[1].rank, 99);
}

} // namespace
} // namespace kel
