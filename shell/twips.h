#pragma once

#include <cmath>

namespace kel {

// The window's layout is given in twips (1/1440 inch); the screen's logical DPI turns it into
// pixels, so the window keeps its proportions on a high-DPI screen.
inline int twipsToPx(double twips, double dpi)
{
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

inline int pxToTwips(double px, double dpi)
{
    return dpi > 0 ? static_cast<int>(std::lround(px * 1440.0 / dpi)) : 0;
}

} // namespace kel
