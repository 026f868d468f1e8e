#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/module1.h"

namespace kel {

// Writes the labels of one rating kind into every horse of CurrentRace, or of the whole card
// when CurrentRace is 0. ratingSlot 3: Qualy (horse slot 5) and the record (slot 4);
// 4: Early (slot 6); 5: Final (slot 7) and "% W" (slot 8).
void ComputeRatings(Module1 &m, int16_t ratingSlot);

// ComputeRatings with 3, 4 and 5, in that order: what every command that changes marks runs.
void RerunRatings(Module1 &m);

// Class (1..5, or 99 for no measure) and race rank (1..n, or 99) of one horse.
struct HorseRating
{
    int cls = 99;
    int rank = 99;
};

// Ranks and classes the horses of one race from their value series (PP 1 first).
std::vector<HorseRating> RateRace(const std::vector<std::vector<double>> &series);

// "% W" of a horse from its labels in horse slots 5, 6 and 7: a whole number as text, or "n/a".
std::string WinPercent(const RaceStore &data, int race, int horse);

} // namespace kel
