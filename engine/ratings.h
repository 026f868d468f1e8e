#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "engine/measures.h"
#include "store/module1.h"
#include "store/walk.h"

namespace kel {

// The labels of one kind for CurrentRace, or the whole card when it is 0. ratingSlot 3: Qualy
// (horse slot 5) and the record (4); 4: Early (6); 5: Final (7) and "% W" (8).
void ComputeRatings(Module1 &m, int16_t ratingSlot);

// 3, 4 and 5 in that order ("% W" reads all three labels): what every change of marks runs.
void RerunRatings(Module1 &m);

struct HorseRating
{
    int cls = 99;
    int rank = 99;
};

inline constexpr int kMaxRaceHorses = RaceStore::kMaxHorse;
// The engine's walks stop when p + 15 >= 100.
inline constexpr int kMaxRatedPP = 84;
inline constexpr PPEnd kRatedPPs{kPPTrack, kMaxRatedPP};
inline constexpr int kFigureValues = 9;

// out[i] rates series[i] (PP 1 first); no heap use for up to kMaxRaceHorses horses.
void RateRace(std::span<const std::span<const double>> series, std::span<HorseRating> out);

std::string WinPercent(const RaceStore &data, int race, int horse);

// Read by position: the letter is the 2nd character, the rank the 4th up to the one before the
// last. "n/a" for a text shorter than "[A-1]", a letter past A..Z, a rank of other than plain
// digits, or a product outside 16 bits.
std::string WinPercentFromLabels(std::string_view qualy, std::string_view early, std::string_view final);

// The score table alone: score S, the products PQ, PE, PF after the tenfold scaling, ranks NQ, NE.
std::string WinScore(int S, int PQ, int PE, int PF, int NQ, int NE);

int RoundHalfEven(int a, int b);

struct StartRecord
{
    int starts = 0;
    int wins = 0;
    int seconds = 0;
    int thirds = 0;
};
StartRecord HorseRecord(const RaceStore &data, int race, int horse);

// 1, 2 or 3 from a position text such as "2º"; 0 for anything else.
int FinishPlace(std::string_view posText);

// At most kMaxRatedPP values into out; returns how many.
int ValueSeries(const RaceStore &data, int race, int horse, int ratingSlot, double *out);

} // namespace kel
