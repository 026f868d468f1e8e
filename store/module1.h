#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "store/race_store.h"

namespace kel {

// The settings of the latest "Go!" over a race since its marks were cleared (empty: none), as the
// status line shows them, and how many "Go!" with other settings marked it before that one.
struct FilterNote
{
    std::string settings;
    int earlier = 0;
};

// The program's shared state, owned by the window (or the report tool) and passed down.
struct Module1
{
    RaceStore Data;
    bool loaded = false;
    std::string cardPath;
    // 0 = no race chosen: commands then cover the whole card.
    int16_t CurrentRace = 0;
    int16_t CurrentHorse = 0;
    // 1 race list, 2 horses of CurrentRace, 3 PPs of CurrentHorse, 0 before the first load.
    int16_t ViewPage = 0;
    std::array<FilterNote, RaceStore::kMaxRace + 1> filterNotes{};
};

} // namespace kel
