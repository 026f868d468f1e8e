#include "engine/open_card.h"

#include "engine/ratings.h"

namespace kel {

namespace {

template <class Load>
LoadReport open(Module1 &m, Load load)
{
    Module1 next;
    LoadReport report = load(next.Data);
    next.loaded = true;
    next.CurrentRace = 0;
    ComputeRatings(next, 3);
    ComputeRatings(next, 4);
    ComputeRatings(next, 5);
    m.Data = std::move(next.Data);
    m.loaded = true;
    m.CurrentRace = 0;
    m.filterNotes = {};
    return report;
}

} // namespace

LoadReport OpenCard(Module1 &m, std::string_view bytes, RecordLines *lines)
{
    return open(m, [&](RaceStore &store) { return LoadCard(bytes, store, lines); });
}

LoadReport OpenCard(Module1 &m, TextBuffer &&bytes, RecordLines *lines)
{
    return open(m, [&](RaceStore &store) { return LoadCard(std::move(bytes), store, lines); });
}

} // namespace kel
