#include "engine/open_card.h"

#include <utility>

#include "engine/ratings.h"

namespace kel {

namespace {

template <class Load>
PreparedCard prepare(Load load)
{
    Module1 next;
    LoadReport report = load(next.Data);
    next.loaded = true;
    next.CurrentRace = 0;
    ComputeRatings(next, 3);
    ComputeRatings(next, 4);
    ComputeRatings(next, 5);
    return {std::move(next.Data), std::move(report)};
}

} // namespace

LoadReport OpenCard(Module1 &m, std::string_view bytes, RecordLines *lines)
{
    return OpenCard(m, prepare([&](RaceStore &store) { return LoadCard(bytes, store, lines); }));
}

LoadReport OpenCard(Module1 &m, TextBuffer &&bytes, RecordLines *lines)
{
    return OpenCard(m, PrepareCard(std::move(bytes), lines));
}

// Out of line: the browser page's Asyncify instruments its caller, which must not take the load and
// the ratings with it.
[[gnu::noinline]] PreparedCard PrepareCard(TextBuffer &&bytes, RecordLines *lines)
{
    return prepare([&](RaceStore &store) { return LoadCard(std::move(bytes), store, lines); });
}

LoadReport OpenCard(Module1 &m, PreparedCard &&card)
{
    m.Data = std::move(card.Data);
    m.loaded = true;
    m.CurrentRace = 0;
    m.filterNotes = {};
    return std::move(card.report);
}

} // namespace kel
