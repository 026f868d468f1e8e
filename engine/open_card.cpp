#include "engine/open_card.h"

#include "engine/ratings.h"

namespace kel {

namespace {
LoadReport rate(Module1 &m, LoadReport report)
{
    m.loaded = true;
    m.CurrentRace = 0;
    ComputeRatings(m, 3);
    ComputeRatings(m, 4);
    ComputeRatings(m, 5);
    return report;
}
} // namespace

LoadReport OpenCard(Module1 &m, std::string_view bytes)
{
    return rate(m, LoadCard(bytes, m.Data));
}

LoadReport OpenCard(Module1 &m, TextBuffer &&bytes)
{
    return rate(m, LoadCard(std::move(bytes), m.Data));
}

} // namespace kel
