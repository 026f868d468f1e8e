#pragma once

#include "store/module1.h"
#include "store/walk.h"

namespace kel {

// The settings mark every PP the store holds, not only the rated ones.
inline constexpr PPEnd kMarkedPPs{kPPTrack, RaceStore::kMaxPP};

template <class Fn>
void ForEachScopeHorse(const Module1 &m, Fn &&fn)
{
    ForEachRace(m.Data, m.CurrentRace,
                [&](int r) { return ForEachHorse(m.Data, r, [&](int h) { return detail::goOn(fn, r, h); }); });
}

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
