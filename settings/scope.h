#pragma once

#include <type_traits>

#include "store/module1.h"

namespace kel {

// The races a command covers: CurrentRace alone, or every race of the card when it is 0.
// Calls fn(race, horse) for each horse of them, in card order. fn may return bool: false stops
// the walk.
template <class Fn>
void ForEachScopeHorse(const Module1 &m, Fn &&fn)
{
    const RaceStore &d = m.Data;
    const int first = m.CurrentRace != 0 ? m.CurrentRace : 1;
    for (int r = first; r >= 1 && r <= RaceStore::kMaxRace && !d(r, 0, 0, 1).empty(); ++r) {
        for (int h = 1; h <= RaceStore::kMaxHorse && !d(r, h, 0, 1).empty(); ++h) {
            if constexpr (std::is_same_v<std::invoke_result_t<Fn &, int, int>, bool>) {
                if (!fn(r, h))
                    return;
            } else {
                fn(r, h);
            }
        }
        if (m.CurrentRace != 0)
            break;
    }
}

// Number of PPs of a horse: they run from PP 1 while PP slot 2 is not empty.
inline int PPCount(const RaceStore &d, int r, int h)
{
    int p = 1;
    while (p <= RaceStore::kMaxPP && !d(r, h, p, 2).empty())
        ++p;
    return p - 1;
}

// True when the scope holds at least one PP.
inline bool ScopeHasPP(const Module1 &m)
{
    bool found = false;
    ForEachScopeHorse(m, [&](int r, int h) {
        found = !m.Data(r, h, 1, 2).empty();
        return !found;
    });
    return found;
}

} // namespace kel
