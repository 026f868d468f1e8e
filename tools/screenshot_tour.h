#pragma once

#include <QString>

namespace kel {

class KEL_Soft;

// Walks the window through one card as a user would (File, Open, pick the card, open a race, a
// horse, back, Settings, "Go!" with a later date, maximised, smaller) and saves a picture of each
// stop into outDir. For the documentation.
// Returns false with the reason on stderr when a step cannot be made.
bool runScreenshotTour(KEL_Soft &window, const QString &card, const QString &outDir, int race, int horse);

} // namespace kel
