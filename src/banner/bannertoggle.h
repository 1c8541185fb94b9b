#pragma once

#include <optional>

// Turning the banner on in a window too low to hold it and the lists: the
// height the window must get first, or nothing when it can stay as it is.
// The window is too low while strip height + 3000 is not below its height.
std::optional<int> windowHeightForBanner(bool bannerNowOn, int stripHeight, int windowHeight);
