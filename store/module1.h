#pragma once

#include <cstdint>
#include <string>

#include "store/race_store.h"

namespace kel {

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
};

} // namespace kel
