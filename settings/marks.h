#pragma once

#include "store/module1.h"

namespace kel {

// The S key on the horses page of race `race`, grid row `row` (= horse number): "S" on PP 1
// (even for a horse without PPs) and on every PP, replacing filter marks; then the three
// rating runs for that race alone. False, with nothing changed, when the row is not a horse of
// the race.
bool ScratchHorse(Module1 &m, int race, int row);

// Clears the marks of the scope (CurrentRace, or the whole card when it is 0). With
// scratchesToo every mark goes, including PP 1's mark of a horse without PPs; without it only
// the filter marks go; the filter notes of the scope's races go either way. Runs no engine.
void ClearMarks(Module1 &m, bool scratchesToo);

// "Reset data" answered Yes or No: ClearMarks, then the three rating runs over the scope.
void ResetMarks(Module1 &m, bool scratchesToo);

} // namespace kel
