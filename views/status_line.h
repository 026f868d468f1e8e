#pragma once

#include <string>
#include <string_view>

#include "store/module1.h"
#include "views/grid_model.h"

namespace kel {

// The window's status line, made from the store, its marks and the grid alone, so that every
// front end shows the same words. It has two parts, recomputed apart: the marks walk the scope's
// PPs, while only the current row changes as the user moves through the grid.

// The card, then what the marks of the scope (CurrentRace, or the whole card) leave out, and
// what the latest "Go!" over it asked for: "gulfstrm.kel · Filter since 09/01/24 on race 2:
// 14 PPs left out · 1 scratched · Reset data clears them". "No card open" without a card.
std::string StatusMarks(const Module1 &m);

// The grid's current row or cell in full: on the race list the race Enter opens; on the horses
// page the horse S acts on and the row's texts ("S scratches: 5 Royal Blue Note · Record: 83
// 14-13-24 · ..."); on the PP page the current cell under its header. Empty where there is none,
// and without a card.
std::string StatusCurrent(const Module1 &m, const GridModel &g);

// Between the pieces of a part.
inline constexpr std::string_view kStatusSeparator = " \u00b7 ";

} // namespace kel
