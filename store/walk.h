#pragma once

#include <cstdint>
#include <string_view>
#include <type_traits>
#include <utility>

#include "store/race_store.h"
#include "store/slots.h"

namespace kel {

// The walks over the card: the races of a scope, the horses of a race, the PPs of a horse. Each
// list runs from 1 up to its first entry whose key slot is empty, and to the store's capacity
// at the latest. The walks hide how the store keeps its records; a callback that returns bool
// stops its walk by returning false.

// A PP as a walk hands it out: its number, and its slots read without a lookup each.
class PPRef
{
public:
    PPRef(const RaceStore &store, int pp, int32_t record) : m_store(&store), m_record(record), m_pp(pp) {}

    int number() const { return m_pp; }
    std::string_view operator[](int slot) const { return m_store->cell(m_record, slot); }
    // Asks the processor for slot s of the PP `ahead` places on, whose text is about to be read:
    // a walk over many PPs would otherwise wait for each text in turn.
    void prefetchAhead(int ahead, int s) const { m_store->prefetch(m_record + ahead, s); }

private:
    const RaceStore *m_store;
    int32_t m_record;
    int m_pp;
};

// Where a walk over a horse's PPs ends: before the first PP whose key slot is empty, and after
// PP `last` at the latest. Each walker names its own (the rating engine's, the pages', the
// marks').
struct PPEnd
{
    int keySlot;
    int last;
};

namespace detail {
// Calls fn; false when it returns false.
template <class Fn, class... Args>
bool goOn(Fn &fn, Args &&...args)
{
    if constexpr (std::is_same_v<std::invoke_result_t<Fn &, Args...>, bool>)
        return fn(std::forward<Args>(args)...);
    else
        return fn(std::forward<Args>(args)...), true;
}
} // namespace detail

// fn(r) for each race of a scope: `race` alone when it is not 0, otherwise every race of the card
// from race 1; up to the first race whose race slot 1 is empty either way. Returns false when
// fn stopped the walk.
template <class Fn>
bool ForEachRace(const RaceStore &d, int race, Fn &&fn)
{
    for (int r = race != 0 ? race : 1; r >= 1 && r <= RaceStore::kMaxRace && !d(r, 0, 0, kKeySlot).empty(); ++r) {
        if (!detail::goOn(fn, r))
            return false;
        if (race != 0)
            break;
    }
    return true;
}

// fn(h) for each horse of race r: up to the first whose horse slot 1 is empty.
template <class Fn>
bool ForEachHorse(const RaceStore &d, int r, Fn &&fn)
{
    for (int h = 1; h <= RaceStore::kMaxHorse && !d(r, h, 0, kKeySlot).empty(); ++h)
        if (!detail::goOn(fn, h))
            return false;
    return true;
}

// The number of races of the card, as ForEachRace walks them.
inline int RaceCount(const RaceStore &d)
{
    int n = 0;
    ForEachRace(d, 0, [&](int) { ++n; });
    return n;
}

// The number of horses of race r, as ForEachHorse walks them.
inline int HorseCount(const RaceStore &d, int r)
{
    int n = 0;
    ForEachHorse(d, r, [&](int) { ++n; });
    return n;
}

// fn(PPRef) for each PP of horse (r, h) up to `end`.
template <class Fn>
bool ForEachPP(const RaceStore &d, int r, int h, PPEnd end, Fn &&fn)
{
    for (int p = 1; p <= end.last; ++p) {
        const int32_t record = d.find(r, h, p);
        if (record < 0 || d.cell(record, end.keySlot).empty())
            break;
        if (!detail::goOn(fn, PPRef(d, p, record)))
            return false;
    }
    return true;
}

// fn(s, text) for slots 1, 2, ... of record (r, h, p) up to the first empty one, slot `last`
// at the latest: how a record is shown.
template <class Fn>
void ForEachSlot(const RaceStore &d, int r, int h, int p, int last, Fn &&fn)
{
    const int32_t record = d.find(r, h, p);
    for (int s = 1; record >= 0 && s <= last; ++s) {
        const std::string_view text = d.cell(record, s);
        if (text.empty())
            break;
        fn(s, text);
    }
}

// Asks the processor for slot s of PPs 1 to count of horse (r, h), ahead of a walk over them.
inline void PrefetchPPs(const RaceStore &d, int r, int h, int count, int s)
{
    for (int p = 1; p <= count; ++p)
        d.prefetch(d.find(r, h, p), s);
}

} // namespace kel
