#pragma once

#include <span>

namespace kel {

// Figures and measures of one horse, ranking and classes of one race. Pure arithmetic
// in doubles; lower is better throughout.

// "No measure" as every ranking and class test carries it. A measure that is exactly 99 is
// treated the same way.
inline constexpr double kNoMeasure = 99.0;
// Class of a horse without measure (written as the letter "Z").
inline constexpr int kNoClass = 99;
// Rank of a horse without measure.
inline constexpr int kNoRank = 99;

// The horse figures from its value series x1..xn (PP 1 first). Each exists only when the series
// is long enough; only x1..x9 are ever looked at.
struct Figures
{
    int n = 0;                        // length of the series
    double first = 0;                 // x1                                   (n >= 1)
    double root = 0;                  // sqrt of the smallest of x1..x3       (n >= 1)
    double bestSix = 0;               // the smallest of x1..x6               (n >= 1)
    double middleMean = 0;            // running mean of x2..x4, capped       (n >= 2)
    double pairProduct = 0;           // min(x1, x2) * min-ish(middle, x2)    (n >= 1)
    double top[4] = {10, 10, 10, 10}; // b1 <= b2 <= b3 <= b4       (n >= 6)

    bool hasTopFour() const { return n >= 6; }
};

Figures HorseFigures(std::span<const double> series);

// The four measures of one horse. kNoMeasure when the series is empty; a result that is not a
// number (a negative value under a root or a cube root) is returned as NaN here and turned into
// "no measure" for the whole horse by HorseMeasures.
double CompositeMeasure(const Figures &f);
double RootMeasure(const Figures &f);
double BestSixMeasure(const Figures &f);
double GradedCompositeMeasure(const Figures &f);

struct Measures
{
    double composite = kNoMeasure;
    double root = kNoMeasure;
    double bestSix = kNoMeasure;
    double graded = kNoMeasure;
};

// All four measures. A horse with an empty series, or one of whose four measures is NaN (which
// only a negative value can cause), has no measure at all: all four are kNoMeasure. So a NaN
// never reaches a comparison, and a horse either takes part in every ranking or in none.
Measures HorseMeasures(const Figures &f);

inline bool IsNoMeasure(double m)
{
    return m == kNoMeasure;
}

// Ranks one measure over horses 0..n-1 of a race (m[i], kNoMeasure for none), in the pairwise
// order: rank = 1 + the horses with a smaller measure + the later horses with an
// equal one; kNoRank for a horse without measure. Returns best, the race minimum of m
// (kNoMeasure included). The measures must not be NaN.
double RankMeasure(const double *m, int n, int *rank);

// Class 1..5 of a measure given the race's best, by the strict thresholds best + 0.005,
// + 0.0125, + 0.02, + 0.0325; kNoClass for no measure.
int ClassOf(double m, double best);

} // namespace kel
