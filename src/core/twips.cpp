#include "twips.h"

#include <cmath>

int twipsToPixels(double twips, double dotsPerInch)
{
    if (!std::isfinite(twips) || dotsPerInch <= 0.0)
        return 0;
    const double pixels = std::round(twips * dotsPerInch / kTwipsPerInch);
    return static_cast<int>(qBound(-1.0e6, pixels, 1.0e6));
}

int pixelsToTwips(int pixels, double dotsPerInch)
{
    if (dotsPerInch <= 0.0)
        return 0;
    return static_cast<int>(std::round(pixels * kTwipsPerInch / dotsPerInch));
}
