#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "engine/measures.h"
#include "store/module1.h"
#include "store/walk.h"

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

// The horses of one race the engine rates: the store's 21 (the working tables hold 21).
inline constexpr int kMaxRaceHorses = RaceStore::kMaxHorse;
// The engine looks at PPs 1 to 84 of a horse: its walks stop when p + 15 >= 100.
inline constexpr int kMaxRatedPP = 84;
// The rating engine's walk over a horse's PPs (the value series and the record): up to the
// first PP whose PP slot 2 is empty, PP kMaxRatedPP at the latest.
inline constexpr PPEnd kRatedPPs{kPPTrack, kMaxRatedPP};
// The horse figures read x1..x9 of a value series and nothing after.
inline constexpr int kFigureValues = 9;

// Ranks and classes the horses of one race from their value series (PP 1 first): series[i] is
// horse i + 1, and out[i] receives its rating (min(series.size(), out.size()) horses are rated).
// Without heap use for up to kMaxRaceHorses horses.
void RateRace(std::span<const std::span<const double>> series, std::span<HorseRating> out);

// "% W" of a horse from its labels in horse slots 5, 6 and 7: a whole number as text, or "n/a".
std::string WinPercent(const RaceStore &data, int race, int horse);

// WinPercent from the three label texts (Qualy, Early, Final). The labels are read by position
// (letter = 2nd character, rank = 4th character up to the one before the last). A text that is
// not such a label (shorter than "[A-1]", a letter other than A..Z, a rank that is not a whole
// number of plain digits, or a product outside 16 bits) gives "n/a".
std::string WinPercentFromLabels(std::string_view qualy, std::string_view early, std::string_view final);

// The score table of the win percentage on its own: the result for score S, the products PQ, PE,
// PF after the scaling of tenfold ranks, and the Qualy and Early ranks NQ, NE.
std::string WinScore(int S, int PQ, int PE, int PF, int NQ, int NE);

// Half-to-even rounding of a / b for the scaled 16-bit products (PQ / 80, PE / 90).
int RoundHalfEven(int a, int b);

// The record of a horse: starts, wins, seconds and thirds from its usable PPs.
struct StartRecord
{
    int starts = 0;
    int wins = 0;
    int seconds = 0;
    int thirds = 0;
};
StartRecord HorseRecord(const RaceStore &data, int race, int horse);

// The finishing position of a PP slot 6 text: 1, 2 or 3 for a win, second or third, 0 for
// anything else (no "º", an empty or non-numeric text in front of it, or another number).
int FinishPlace(std::string_view posText);

// The value series of a horse for one rating slot (3, 4 or 5), as the rating run builds it.
// Writes at most kMaxRatedPP values into out and returns how many.
int ValueSeries(const RaceStore &data, int race, int horse, int ratingSlot, double *out);

} // namespace kel
