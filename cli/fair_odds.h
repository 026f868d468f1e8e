#pragma once

#include <string>
#include <vector>

#include "store/race_store.h"

namespace kel {

// A horse's part of its race's "% W" and the odds that part is worth, each with one decimal;
// both empty for a scratched horse or one whose "% W" is no number.
struct FairOdds
{
    std::string share;    // 100 x W / (the sum of W over the race's counted horses)
    std::string fairOdds; // sum / W - 1: 100 / share - 1 on the share before rounding
};

// One entry per horse of race r, horse 1 first. Rounded half to even from the exact
// fractions (the whole numbers of "% W" make every value a fraction of two integers).
std::vector<FairOdds> RaceFairOdds(const RaceStore &d, int r);

} // namespace kel
