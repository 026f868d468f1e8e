#pragma once

#include "store/module1.h"

namespace kel {

// "S" on PP 1 (even without PPs) and every PP, over filter marks, then the rating runs of that
// race alone. False, changing nothing, when row (the horse number) is not a horse of the race.
bool ScratchHorse(Module1 &m, int race, int row);

// Without scratchesToo only the filter marks go, with it every mark (PP 1's of a horse without
// PPs too); the scope's filter notes go either way. Runs no engine.
void ClearMarks(Module1 &m, bool scratchesToo);

// "Reset data" answered Yes or No: ClearMarks, then the three rating runs over the scope.
void ResetMarks(Module1 &m, bool scratchesToo);

} // namespace kel
