#pragma once

#include <string>
#include <string_view>

#include "store/loader.h"
#include "store/module1.h"

namespace kel {

// A new card, CurrentRace 0 and the three rating runs. The card before is replaced only at the
// end, never by an open that runs out of memory (std::bad_alloc, which the caller reports).
LoadReport OpenCard(Module1 &m, std::string_view bytes, RecordLines *lines = nullptr);
LoadReport OpenCard(Module1 &m, TextBuffer &&bytes, RecordLines *lines = nullptr);

// A card loaded and rated apart from the one on show, put on show later by OpenCard: the browser
// page prepares the card selected in its file frame while the user moves to "Open".
struct PreparedCard
{
    RaceStore Data;
    LoadReport report;
};
PreparedCard PrepareCard(TextBuffer &&bytes, RecordLines *lines = nullptr);
LoadReport OpenCard(Module1 &m, PreparedCard &&card);

} // namespace kel
