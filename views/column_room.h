#pragma once

#include <vector>

namespace kel {

// How the columns of a page share the room a grid has beyond its design width, in pixels, so that
// a maximised window shows the texts it cut before. Each text column first gets what its widest
// text lacks (in proportion to that, when the room is short); what is left goes to the text
// columns in equal parts. Other columns get nothing. The shares add up to the room exactly, or
// to 0 without a text column. The grid's own column widths are not touched: they stay the page's.
//   lacking[c]: the pixels column c lacks for its widest text (0 when it fits)
//   text[c]: whether column c is a text column
std::vector<int> ShareRoom(const std::vector<int> &lacking, const std::vector<bool> &text, int room);

} // namespace kel
