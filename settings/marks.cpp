#include "settings/marks.h"

#include "engine/ratings.h"
#include "settings/scope.h"

namespace kel {

bool ScratchHorse(Module1 &m, int race, int row)
{
    RaceStore &d = m.Data;
    // Race 0 holds only horse lines that came before any race line: never a race of the card.
    if (race < 1 || row < 1 || row > RaceStore::kMaxHorse || d(race, row, 0, kKeySlot).empty())
        return false;

    d.set(race, row, 1, kPPMark, kScratchMark);
    ForEachPP(d, race, row, kMarkedPPs, [&](const PPRef &pp) { d.set(race, row, pp.number(), kPPMark, kScratchMark); });

    const int16_t shown = m.CurrentRace;
    m.CurrentRace = static_cast<int16_t>(race);
    RerunRatings(m);
    m.CurrentRace = shown;
    return true;
}

void ClearMarks(Module1 &m, bool scratchesToo)
{
    RaceStore &d = m.Data;
    ForEachRace(d, m.CurrentRace, [&](int r) { m.filterNotes[static_cast<std::size_t>(r)] = {}; });
    ForEachScopeHorse(m, [&](int r, int h) {
        if (scratchesToo)
            d.set(r, h, 1, kPPMark, "");
        ForEachPP(d, r, h, kMarkedPPs, [&](const PPRef &pp) {
            if (scratchesToo || pp[kPPMark] != kScratchMark)
                d.set(r, h, pp.number(), kPPMark, "");
        });
    });
}

void ResetMarks(Module1 &m, bool scratchesToo)
{
    ClearMarks(m, scratchesToo);
    RerunRatings(m);
}

} // namespace kel
