#pragma once

#include <cstdint>
#include <string_view>
#include <type_traits>
#include <utility>

#include "store/race_store.h"
#include "store/slots.h"

namespace kel {

// Each list runs from 1 up to its first entry whose key slot is empty, to the store's capacity at
// the latest. The walks hide how the store keeps its records; a callback that returns bool stops
// its walk by returning false.

class PPRef
{
public:
    PPRef(const RaceStore &store, int pp, int32_t record) : m_store(&store), m_record(record), m_pp(pp) {}

    int number() const { return m_pp; }
    [[gnu::always_inline]] std::string_view operator[](int slot) const { return m_store->cell(m_record, slot); }
    // Prefetches slot s `ahead` PPs on: a walk over many PPs would otherwise wait on each text.
    void prefetchAhead(int ahead, int s) const { m_store->prefetch(m_record + ahead, s); }

private:
    const RaceStore *m_store;
    int32_t m_record;
    int m_pp;
};

struct PPEnd
{
    int keySlot;
    int last;
};

namespace detail {
template <class Fn, class... Args>
bool goOn(Fn &fn, Args &&...args)
{
    if constexpr (std::is_same_v<std::invoke_result_t<Fn &, Args...>, bool>)
        return fn(std::forward<Args>(args)...);
    else
        return fn(std::forward<Args>(args)...), true;
}
} // namespace detail

// `race` alone if it is on the card, or every race when it is 0; false when fn stopped the walk.
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

template <class Fn>
bool ForEachHorse(const RaceStore &d, int r, Fn &&fn)
{
    for (int h = 1; h <= RaceStore::kMaxHorse && !d(r, h, 0, kKeySlot).empty(); ++h)
        if (!detail::goOn(fn, h))
            return false;
    return true;
}

inline int RaceCount(const RaceStore &d)
{
    int n = 0;
    ForEachRace(d, 0, [&](int) { ++n; });
    return n;
}

inline int HorseCount(const RaceStore &d, int r)
{
    int n = 0;
    ForEachHorse(d, r, [&](int) { ++n; });
    return n;
}

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

inline void PrefetchPPs(const RaceStore &d, int r, int h, int count, int s)
{
    for (int p = 1; p <= count; ++p)
        d.prefetch(d.find(r, h, p), s);
}

} // namespace kel
