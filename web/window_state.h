#pragma once

#include <string>
#include <string_view>

#include "store/module1.h"
#include "views/memory_form.h"

namespace kel {

// What the window shows, for a page to draw: the page, every control by its name, the focus and
// the grid MSF whole. drawn: the cells and captions cut as the window draws them; else whole, for
// the checks.
std::string WindowStateJson(const Module1 &m, const MemoryForm &f, bool drawn = false);

// UTF-8 kept as it is; quotes, backslashes and control characters escaped.
void AppendJsonString(std::string &out, std::string_view text);

} // namespace kel
