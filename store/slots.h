#pragma once

#include <string_view>

#include "store/race_store.h"

namespace kel {

// The slots read by what they hold; the others are only shown, by number. Races and horses end
// at the first record without a key.
inline constexpr int kKeySlot = 1;

inline constexpr int kHorseName = 2;
inline constexpr int kHorseRecord = 4; // starts, wins, seconds, thirds: the Qualy run writes it
inline constexpr int kHorseQualy = 5;  // the rating labels
inline constexpr int kHorseEarly = 6;
inline constexpr int kHorseFinal = 7;
inline constexpr int kHorseWinPercent = 8;

inline constexpr int kPPMark = 0; // kScratchMark, kFilterMark or empty
inline constexpr int kPPDate = 1;
inline constexpr int kPPTrack = 2;
inline constexpr int kPPKel = 3; // the three figures, rated in this order
inline constexpr int kPPEarlyKel = 4;
inline constexpr int kPPFinalKel = 5;
inline constexpr int kPPPosition = 6;
inline constexpr int kPPDistance = 7;
inline constexpr int kPPCondition = 9;
inline constexpr int kPPPurse = 10;

inline constexpr std::string_view kScratchMark = "S";
inline constexpr std::string_view kFilterMark = "F";

// PP 1 carries the mark even for a horse without PPs.
inline bool IsScratched(const RaceStore &d, int r, int h)
{
    return d(r, h, 1, kPPMark) == kScratchMark;
}

} // namespace kel
