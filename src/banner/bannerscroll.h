#pragma once

// The scrolling arithmetic of the banner, in twips. Two labels carry the same
// text; the second trails the first by a gap, and the pair jumps back once
// the second reaches the strip's left edge, so the text flows without a break.

inline constexpr int kBannerScrollStep = 150; // twips per tick
inline constexpr int kBannerGap = 1000;       // twips between the two copies
inline constexpr int kBannerTickMs = 100;

struct BannerPositions
{
    int left0 = 0;  // lblBanner(0)
    int width0 = 0; // lblBanner(0), never narrower than the strip
    int left1 = 0;  // lblBanner(1)

    bool operator==(const BannerPositions &) const = default;
};

// One tick: the first label takes its text's width (at least the strip's),
// moves one step left, the second follows it at the gap; when the second has
// reached the left edge the first goes back to 0 and the second to the first's
// width (the next tick restores the gap).
BannerPositions scrollBannerStep(int left0, int textWidth, int stripWidth);
