#pragma once

#include <QtGlobal>

// Window geometry is stored in twips: 1440 to the inch, so 15 to a pixel at
// 96 dots per inch. Conversions use the screen's logical resolution.
inline constexpr double kTwipsPerInch = 1440.0;

int twipsToPixels(double twips, double dotsPerInch);
int pixelsToTwips(int pixels, double dotsPerInch);
