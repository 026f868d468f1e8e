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

// Writes the race report of the loaded card to a PDF file on letter paper, as the "Print"
// button would on the race list: every race (race 0) or race N alone, with the first ppCount
// PPs of each horse (none when ppCount is 0 or less). cardName is the file name the race list
// shows; the PDF's title names it and the races. Needs a Qt GUI application. Nothing is left
// under pdfPath when it fails; the error names the race, or the file and the reason.
Result<void> WritePdfReport(Module1 &m, const std::string &cardName, const std::string &pdfPath, int ppCount, int race);

} // namespace kel
