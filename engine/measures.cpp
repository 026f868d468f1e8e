#include "engine/measures.h"

#include <cmath>
#include <vector>

#include "engine/ratings.h"

namespace kel {

namespace {

constexpr double kThird = 1.0 / 3.0;

// Strict comparisons: a candidate of 10 or more (the starting places) never enters.
void insertTop(double (&b)[4], double c)
{
    if (c < b[0]) {
        b[3] = b[2];
        b[2] = b[1];
        b[1] = b[0];
        b[0] = c;
    } else if (c < b[1]) {
        b[3] = b[2];
        b[2] = b[1];
        b[1] = c;
    } else if (c < b[2]) {
        b[3] = b[2];
        b[2] = c;
    } else if (c < b[3]) {
        b[3] = c;
    }
}

double shortComposite(const Figures &f)
{
    return std::pow((f.root * f.first) * f.pairProduct, kThird);
}

double longComposite(const Figures &f, double t)
{
    if (t == 0)
        return shortComposite(f);
    return std::pow((((f.first + t) / 2) * f.root) * f.pairProduct, kThird);
}

} // namespace

Figures HorseFigures(std::span<const double> x)
{
    Figures f;
    const int n = static_cast<int>(x.size());
    f.n = n;
    if (n < 1)
        return f;

    f.first = x[0];

    double min3 = x[0];
    for (int k = 1; k < n && k < 3; ++k)
        if (x[k] < min3)
            min3 = x[k];
    f.root = std::sqrt(min3);

    double min6 = x[0];
    for (int k = 1; k < n && k < 6; ++k)
        if (x[k] < min6)
            min6 = x[k];
    f.bestSix = min6;

    if (n >= 2) {
        double m = 0;
        for (int k = 2; k <= n && k <= 4; ++k)
            m = (x[k - 1] + (k - 2) * m) / (k - 1);
        const double cap = f.root + 0.03;
        if (m > cap)
            m = cap;
        f.middleMean = m;
        const double x1 = x[0];
        const double x2 = x[1];
        f.pairProduct = (x1 < x2 ? x1 : x2) * (m < x2 ? m : x2);
    } else {
        f.pairProduct = x[0] * x[0];
    }

    if (n >= 6) {
        insertTop(f.top, f.bestSix);
        for (int k = 0; k < n && k < 9; ++k)
            insertTop(f.top, x[k]);
    }
    return f;
}

double CompositeMeasure(const Figures &f)
{
    if (f.n < 1)
        return kNoMeasure;
    if (!f.hasTopFour())
        return shortComposite(f);
    const double *b = f.top;
    const double t = (((b[0] + b[1]) + b[2]) + b[3]) / 4;
    return longComposite(f, t);
}

double RootMeasure(const Figures &f)
{
    return f.n < 1 ? kNoMeasure : f.root;
}

double BestSixMeasure(const Figures &f)
{
    if (f.n < 1)
        return kNoMeasure;
    if (!f.hasTopFour())
        return f.bestSix;
    const double *b = f.top;
    const double blended = ((((2 * b[0]) + b[1]) + b[2]) + b[3]) / 5;
    return blended != 0 ? blended : f.bestSix;
}

double GradedCompositeMeasure(const Figures &f)
{
    if (f.n < 1)
        return kNoMeasure;
    if (!f.hasTopFour())
        return shortComposite(f);
    const double *b = f.top;
    const double t = (((b[0] + 1.003 * b[1]) + 1.0075 * b[2]) + 1.015 * b[3]) / 4;
    return longComposite(f, t);
}

Measures HorseMeasures(const Figures &f)
{
    Measures m;
    if (f.n < 1)
        return m;
    const double c = CompositeMeasure(f);
    const double r = RootMeasure(f);
    const double s = BestSixMeasure(f);
    const double g = GradedCompositeMeasure(f);
    if (std::isnan(c) || std::isnan(r) || std::isnan(s) || std::isnan(g))
        return m;
    m.composite = c;
    m.root = r;
    m.bestSix = s;
    m.graded = g;
    return m;
}

double RankMeasure(const double *m, int n, int *rank)
{
    if (n < 1)
        return kNoMeasure;
    double best = m[0];
    for (int i = 0; i < n; ++i)
        rank[i] = IsNoMeasure(m[i]) ? kNoRank : 1;
    for (int j = 1; j < n; ++j) {
        for (int k = 0; k < j; ++k) {
            if (m[j] < best)
                best = m[j];
            if (IsNoMeasure(m[j]) || IsNoMeasure(m[k]))
                continue;
            if (m[j] > m[k])
                ++rank[j];
            else
                ++rank[k];
        }
    }
    return best;
}

int ClassOf(double m, double best)
{
    if (IsNoMeasure(m))
        return kNoClass;
    if (m < best + 0.005)
        return 1;
    if (m < best + 0.0125)
        return 2;
    if (m < best + 0.02)
        return 3;
    if (m < best + 0.0325)
        return 4;
    return 5;
}

namespace {

void rateRaceInto(std::span<const std::span<const double>> series, HorseRating *out, Measures *meas, double *m,
                  int *rank)
{
    const int n = static_cast<int>(series.size());
    for (int i = 0; i < n; ++i)
        meas[i] = HorseMeasures(HorseFigures(series[i]));

    // The worst of the three classes: 99 for a horse without measure.
    for (int i = 0; i < n; ++i)
        out[i].cls = 0;
    double Measures::*const classed[] = {&Measures::composite, &Measures::root, &Measures::bestSix};
    for (double Measures::*which : classed) {
        for (int i = 0; i < n; ++i)
            m[i] = meas[i].*which;
        const double best = RankMeasure(m, n, rank);
        for (int i = 0; i < n; ++i) {
            const int c = ClassOf(m[i], best);
            if (c > out[i].cls)
                out[i].cls = c;
        }
    }

    for (int i = 0; i < n; ++i)
        m[i] = meas[i].graded;
    RankMeasure(m, n, rank);
    for (int i = 0; i < n; ++i)
        out[i].rank = rank[i];
}

} // namespace

void RateRace(std::span<const std::span<const double>> series, std::span<HorseRating> out)
{
    const std::size_t n = series.size() < out.size() ? series.size() : out.size();
    series = series.first(n);
    if (n <= static_cast<std::size_t>(kMaxRaceHorses)) {
        Measures meas[kMaxRaceHorses];
        double m[kMaxRaceHorses];
        int rank[kMaxRaceHorses];
        rateRaceInto(series, out.data(), meas, m, rank);
        return;
    }
    std::vector<Measures> meas(n);
    std::vector<double> m(n);
    std::vector<int> rank(n);
    rateRaceInto(series, out.data(), meas.data(), m.data(), rank.data());
}

} // namespace kel
