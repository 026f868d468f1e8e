#pragma once

#include <span>
#include <vector>

#include "engine/ratings.h"

namespace kel::test {

// RateRace over series written as vectors, one per horse.
inline std::vector<HorseRating> RatedRace(const std::vector<std::vector<double>> &series)
{
    const std::vector<std::span<const double>> views(series.begin(), series.end());
    std::vector<HorseRating> out(series.size());
    RateRace(views, out);
    return out;
}

} // namespace kel::test
