#pragma once

#include <string>
#include <string_view>

#include "store/loader.h"
#include "store/module1.h"

namespace kel {

// The load of the open command once the file is read: a new card from the bytes, CurrentRace 0
// and the three rating runs. The card before is replaced only at the end, never by a refused
// open nor by one that runs out of memory (std::bad_alloc, which the caller reports).
// With lines, the line of each record filed (see LoadCard).
LoadReport OpenCard(Module1 &m, std::string_view bytes, RecordLines *lines = nullptr);
// The same, the store's text written over the bytes (see LoadCard).
LoadReport OpenCard(Module1 &m, TextBuffer &&bytes, RecordLines *lines = nullptr);

} // namespace kel
