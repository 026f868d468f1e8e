#pragma once

#include <string>

#include "store/module1.h"
#include "store/number_text.h"
#include "store/result.h"

namespace kel {

// Why race N cannot be printed or changed: "race 9 is not on the card (it lists 2 races)".
inline std::string RaceNotOnCard(int race, int listed)
{
    return "race " + DecimalText(race) + " is not on the card (it lists " + DecimalText(listed)
           + (listed == 1 ? " race)" : " races)");
}

// On letter paper, as the "Print" button would on the race list: every race (race 0) or race N
// alone, cardName as the race list shows it. Needs a Qt GUI application; nothing is left under
// pdfPath when it fails.
Result<void> WritePdfReport(Module1 &m, const std::string &cardName, const std::string &pdfPath, int ppCount, int race);

} // namespace kel
