#pragma once

#include <string>

#include "store/module1.h"

namespace kel {

// Writes the race report of the loaded card to a PDF file, as the "Print" button would on the
// race list: every race (race 0) or race N alone, with the first ppCount PPs of each horse
// (none when ppCount is 0 or less). cardName is the file name the race list shows. Creates the
// Qt application when there is none, on the offscreen platform when there is no display.
// Returns 0, or 1 with the reason in error.
int WritePdfReport(Module1 &m, const std::string &cardName, const std::string &pdfPath, int ppCount, int race,
                   std::string &error);

} // namespace kel
