#include "engine/open_card.h"

#include "engine/ratings.h"

namespace kel {

LoadReport OpenCard(Module1 &m, std::string_view bytes)
{
    LoadReport report = LoadCard(bytes, m.Data);
    m.loaded = true;
    m.CurrentRace = 0;
    ComputeRatings(m, 3);
    ComputeRatings(m, 4);
    ComputeRatings(m, 5);
    return report;
}

} // namespace kel
