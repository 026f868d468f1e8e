#pragma once

#include <string>
#include <string_view>

#include "store/module1.h"
#include "views/grid_model.h"

namespace kel {

// From the store and the grid alone, so that every front end shows the same words; two parts, as
// the marks walk the scope's PPs while only the current row changes as the user moves.

// "gulfstrm.kel · Filter since 09/01/24 on race 2: 14 PPs left out · 1 scratched · Reset data
// clears them"; "No card open" without a card.
std::string StatusMarks(const Module1 &m);

// The current row or cell in full ("S scratches: 5 Royal Blue Note · Record: 83 14-13-24 · ..."
// on the horses page); empty where there is none.
std::string StatusCurrent(const Module1 &m, const GridModel &g);

inline constexpr std::string_view kStatusSeparator = " \u00b7 ";

} // namespace kel
