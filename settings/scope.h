#pragma once

#include "store/module1.h"
#include "store/walk.h"

namespace kel {

// The settings' walk over a horse's PPs (scratches, the filter, reset): up to the first PP
// whose PP slot 2 is empty, every PP the store holds at the latest.
inline constexpr PPEnd kMarkedPPs{kPPTrack, RaceStore::kMaxPP};

// The races a command covers: CurrentRace alone, or every race of the card when it is 0.
// Calls fn(race, horse) for each horse of them, in card order. fn may return bool: false stops
// the walk.
template <class Fn>
void ForEachScopeHorse(const Module1 &m, Fn &&fn)
{
    ForEachRace(m.Data, m.CurrentRace,
                [&](int r) { return ForEachHorse(m.Data, r, [&](int h) { return detail::goOn(fn, r, h); }); });
}

// True when the scope holds at least one PP.
inline bool ScopeHasPP(const Module1 &m)
{
    bool found = false;
    ForEachScopeHorse(m, [&](int r, int h) {
        found = !m.Data(r, h, 1, kMarkedPPs.keySlot).empty();
        return !found;
    });
    return found;
}

} // namespace kel
