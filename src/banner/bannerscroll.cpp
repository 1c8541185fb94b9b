#include "bannerscroll.h"

#include <algorithm>

BannerPositions scrollBannerStep(int left0, int textWidth, int stripWidth)
{
    BannerPositions p;
    p.width0 = std::max(textWidth, stripWidth);
    p.left0 = left0 - kBannerScrollStep;
    p.left1 = p.left0 + p.width0 + kBannerGap;
    if (p.left1 <= 0) {
        p.left0 = 0;
        p.left1 = p.width0;
    }
    return p;
}
