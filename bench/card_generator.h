#pragma once

#include <cstdint>
#include <string>

namespace kel {

// How big a generated card is. Counts are clamped to what the store holds.
struct CardShape
{
    static constexpr int kMaxRaces = 41;
    static constexpr int kMaxHorses = 21;
    static constexpr int kMaxPPs = 100;

    int races = kMaxRaces;
    int horses = kMaxHorses; // per race
    int pps = kMaxPPs;       // per horse
    // Exact counts when false. When true, races keep the count but each race has 0 to `horses`
    // horses (rarely none) and each horse 0 to `pps` PPs, first-time starters included.
    bool ragged = false;
};

// A random, valid race card in the file's own bytes: Windows-1252 text, CR LF line ends, "º"
// as 0xBA. The same seed and shape give the same bytes on every platform (own generator, integer
// arithmetic only). Besides ordinary PPs it holds what real cards hold now and then: PPs without
// the early figure field or with "----", P records, every track-condition code ("F" and "f"
// alike), quoted fields, horses whose PPs carry no figure, distances in furlongs, miles and
// miles-and-yards, purses in K and M, PP lines with 16 or 17 fields and races where two horses
// have the same figures.
std::string GenerateCard(uint64_t seed, const CardShape &shape);

} // namespace kel
