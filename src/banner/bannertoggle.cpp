#include "bannertoggle.h"

std::optional<int> windowHeightForBanner(bool bannerNowOn, int stripHeight, int windowHeight)
{
    if (bannerNowOn && stripHeight + 3000 >= windowHeight)
        return stripHeight + 4000;
    return std::nullopt;
}
