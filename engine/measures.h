#pragma once

#include <span>

namespace kel {

// Pure arithmetic in doubles; lower is better throughout.

// A measure that is exactly 99 counts as none too.
inline constexpr double kNoMeasure = 99.0;
inline constexpr int kNoClass = 99;
inline constexpr int kNoRank = 99;

// From the value series x1..xn (PP 1 first). Each figure exists only when the series is long
// enough; only x1..x9 are ever looked at.
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

// kNoMeasure for an empty series; NaN where a negative value meets a root, which HorseMeasures
// turns into no measure for the whole horse.
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

// All four or none: a NaN never reaches a comparison, and a horse takes part in every ranking
// or in none.
Measures HorseMeasures(const Figures &f);

inline bool IsNoMeasure(double m)
{
    return m == kNoMeasure;
}

// rank = 1 + the horses with a smaller measure + the later horses with an equal one. Returns the
// race minimum of m, kNoMeasure included. No NaN.
double RankMeasure(const double *m, int n, int *rank);

int ClassOf(double m, double best);

} // namespace kel
