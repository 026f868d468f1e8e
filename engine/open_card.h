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

} // namespace kel
