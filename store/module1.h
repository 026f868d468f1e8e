#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "store/race_store.h"

namespace kel {

// What the filter marks of a race come from: the settings of the latest "Go!" over the race since
// its marks were last cleared, in the words the status line shows, and how many "Go!" with other
// settings marked it before that one. Empty settings: no "Go!" since.
struct FilterNote
{
    std::string settings;
    int earlier = 0;
};

// The program's shared state: the store and the three globals that say what is shown.
// One object, owned by the window (or the report tool) and passed down.
struct Module1
{
    RaceStore Data;
    // False until the first card is opened: nothing reads the store before that.
    bool loaded = false;
    // The file the card was read from (its bytes as the file system has them).
    std::string cardPath;
    // 0 = no race chosen: commands then cover the whole card.
    int16_t CurrentRace = 0;
    int16_t CurrentHorse = 0;
    // 1 race list, 2 horses of CurrentRace, 3 PPs of CurrentHorse, 0 before the first load.
    int16_t ViewPage = 0;
    // By race number; a new card starts with none.
    std::array<FilterNote, RaceStore::kMaxRace + 1> filterNotes{};
};

} // namespace kel
