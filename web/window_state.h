#pragma once

#include <string>
#include <string_view>

#include "store/module1.h"
#include "views/memory_form.h"

namespace kel {

// What the window shows, as JSON for a page to draw: the page (ViewPage, CurrentRace,
// CurrentHorse), every control by its name with its caption, text, value and whether it is
// shown, the focus, and the grid MSF whole (rows, columns, fixed rows, current cell, column
// widths and alignments, row heights and every cell's text).
// drawn: the cells and captions as the window draws them (DisplayText), for a page to show; else
// whole, for the checks.
std::string WindowStateJson(const Module1 &m, const MemoryForm &f, bool drawn = false);

// text as a JSON string, quotes included, appended to out. Texts are UTF-8 and kept so;
// quotes, backslashes and control characters are escaped.
void AppendJsonString(std::string &out, std::string_view text);

} // namespace kel
