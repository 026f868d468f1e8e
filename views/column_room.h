#pragma once

#include <vector>

namespace kel {

// The room beyond a grid's design width, in pixels, so that a maximised window shows the texts it
// cut: each text column first gets what it lacks (lacking[c]; in proportion when the room is
// short), the rest in equal parts. The grid's own widths stay the page's.
std::vector<int> ShareRoom(const std::vector<int> &lacking, const std::vector<bool> &text, int room);

} // namespace kel
