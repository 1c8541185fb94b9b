#include "shell/mainlayout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A window of the default size with text labels on and the banner shown.
MainLayoutInput typicalWindow()
{
    MainLayoutInput in;
    in.width = 8500;
    in.height = 5500;
    in.splitterLeft = 3000;
    in.toolsHeight = 600;
    in.bannerShown = true;
    in.bannerLabelHeight = 300; // a strip of 330
    in.statusHeight = 300;
    in.playerHeight = 600;
    in.playListOptionsWidth = 450;
    in.savePlayListLeft = 1200;
    in.separatorLeft = 1700;
    in.timePlaceLeft = 4000;
    in.forceBlankWidth = 60;
    return in;
}

TEST(MainLayout, PlacesEveryControlOfATypicalWindow)
{
    const MainLayout out = computeMainLayout(typicalWindow());
    ASSERT_FALSE(out.snapTo.has_value());
    EXPECT_EQ(out.picBanner, QRect(0, 615, 7915, 330));
    EXPECT_EQ(out.lvPlayLists, QRect(0, 955, 3000, 3545));
    EXPECT_EQ(out.picSep, QRect(3000, 955, 75, 3545));
    EXPECT_EQ(out.lvSongs, QRect(3075, 955, 4840, 2945));
    EXPECT_EQ(out.tbPlayer, QRect(0, 3900, 8500, 600));
    EXPECT_EQ(out.picTimeLeft, 4070);
    EXPECT_EQ(out.playListsColumnWidth, 2925);
    EXPECT_EQ(out.pPlayListsWidth, 3035);
    EXPECT_EQ(out.tbSeparatorWidth, 800);
    EXPECT_EQ(out.picForceBlank, QRect(2070, 0, 60, 600));
}

struct SizeCase
{
    const char *name;
    int width;
    int height;
    bool bannerShown;
    std::optional<QSize> snapTo;
};

TEST(MainLayout, KeepsTheWindowAboveItsMinimumSize)
{
    // Splitter at 3000 and a banner strip of 330: at least 4500 wide, and
    // 3330 high with the banner, 3000 without.
    const std::vector<SizeCase> cases{
        {"one twip too narrow", 4499, 5500, true, QSize(4500, 5500)},
        {"much too narrow", 1000, 5500, true, QSize(4500, 5500)},
        {"exactly the minimum width", 4500, 5500, true, std::nullopt},
        {"too narrow and too low: width first", 4000, 1000, true, QSize(4500, 1000)},
        {"too low with banner", 8500, 3329, true, QSize(8500, 3330)},
        {"exactly the minimum with banner", 8500, 3330, true, std::nullopt},
        {"too low without banner", 8500, 2999, false, QSize(8500, 3000)},
        {"exactly the minimum without banner", 8500, 3000, false, std::nullopt},
        {"low but enough without banner", 8500, 3100, false, std::nullopt},
    };
    for (const SizeCase &c : cases) {
        SCOPED_TRACE(c.name);
        MainLayoutInput in = typicalWindow();
        in.width = c.width;
        in.height = c.height;
        in.bannerShown = c.bannerShown;
        const MainLayout out = computeMainLayout(in);
        EXPECT_EQ(out.snapTo, c.snapTo);
        if (!c.snapTo) {
            EXPECT_EQ(out.tbPlayer.width(), c.width);
        }
    }
}

TEST(MainLayout, HidingTheBannerMovesBothListsUpUnderTheToolbar)
{
    MainLayoutInput in = typicalWindow();
    in.bannerShown = false;
    const MainLayout hidden = computeMainLayout(in);
    EXPECT_EQ(hidden.lvPlayLists.top(), 615);
    EXPECT_EQ(hidden.lvSongs.top(), 615);
    EXPECT_EQ(hidden.picSep.top(), 615);

    in.bannerShown = true;
    const MainLayout shown = computeMainLayout(in);
    EXPECT_EQ(shown.lvPlayLists.top(), 955);
    EXPECT_EQ(shown.lvSongs.top(), 955);
    // The lists keep their lower edge; they only grow upwards.
    EXPECT_EQ(hidden.lvPlayLists.bottom(), shown.lvPlayLists.bottom());
}

TEST(MainLayout, LowerToolbarsMoveTheListsUp)
{
    MainLayoutInput in = typicalWindow();
    const MainLayout withCaptions = computeMainLayout(in);
    in.toolsHeight = 400;
    const MainLayout withoutCaptions = computeMainLayout(in);
    EXPECT_EQ(withoutCaptions.lvSongs.top(), withCaptions.lvSongs.top() - 200);
    EXPECT_EQ(withoutCaptions.picBanner.top(), withCaptions.picBanner.top() - 200);
}

TEST(MainLayout, PutsThePlayerToolbarRightUnderTheSongList)
{
    for (const int height : {3330, 5500, 9000}) {
        for (const int playerHeight : {400, 600}) {
            MainLayoutInput in = typicalWindow();
            in.height = height;
            in.playerHeight = playerHeight;
            const MainLayout out = computeMainLayout(in);
            EXPECT_EQ(out.tbPlayer.top(), out.lvSongs.bottom() + 1);
            EXPECT_EQ(out.tbPlayer.bottom(), out.lvPlayLists.bottom());
            EXPECT_EQ(out.tbPlayer.left(), 0);
        }
    }
}

TEST(MainLayout, ThePlaceholderIsNeverNarrowerThanZero)
{
    MainLayoutInput in = typicalWindow();
    in.splitterLeft = 2000; // 2000 - 1200 - 1000 = -200
    const MainLayout out = computeMainLayout(in);
    EXPECT_EQ(out.tbSeparatorWidth, 0);
    EXPECT_EQ(out.picForceBlank, QRect(1670, 0, 60, 600));
}

TEST(MainLayout, ASqueezedSongListDoesNotPushThePlayerToolbarUp)
{
    MainLayoutInput in = typicalWindow();
    in.bannerShown = false;
    in.height = 3000;
    in.toolsHeight = 1200;
    in.playerHeight = 1200; // taller than the list area of 785
    const MainLayout out = computeMainLayout(in);
    EXPECT_EQ(out.lvSongs.height(), 0);
    EXPECT_EQ(out.tbPlayer.top(), out.lvSongs.top());
}

struct DragCase
{
    int mouseX;
    std::optional<int> left;
};

TEST(MainLayout, SplitterDragStaysStrictlyInsideItsLimits)
{
    // Save button at 1200, 600 wide: the splitter must stay right of 2045
    // and left of 8500 - 600 = 7900.
    const std::vector<DragCase> cases{
        {-955, std::nullopt}, {-954, 2046},         {0, 3000},
        {4899, 7899},         {4900, std::nullopt}, {9000, std::nullopt},
    };
    for (const DragCase &c : cases) {
        SCOPED_TRACE(c.mouseX);
        EXPECT_EQ(splitterDragLeft(3000, c.mouseX, 1200, 600, 8500), c.left);
    }
}

TEST(MainLayout, SplitterStartsBesideTheSaveButton)
{
    EXPECT_EQ(splitterStartLeft(1200, 600), 2350);
    EXPECT_EQ(splitterStartLeft(900, 450), 1900);
}

TEST(MainLayout, ViewButtonCyclesFromDetails)
{
    int mode = 3;
    std::vector<int> seen;
    for (int click = 0; click < 5; ++click) {
        mode = nextViewMode(mode);
        seen.push_back(mode);
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 0}));
    EXPECT_EQ(nextViewMode(7), 0);
    EXPECT_EQ(nextViewMode(-1), 0);
}

TEST(MainLayout, NeighboursThatTouchInTwipsTouchInPixels)
{
    const MainLayout out = computeMainLayout(typicalWindow());
    for (const double dpi : {96.0, 120.0, 144.0}) {
        SCOPED_TRACE(dpi);
        const QRect list = twipsRectToPixels(out.lvPlayLists, dpi);
        const QRect sep = twipsRectToPixels(out.picSep, dpi);
        const QRect songs = twipsRectToPixels(out.lvSongs, dpi);
        const QRect player = twipsRectToPixels(out.tbPlayer, dpi);
        EXPECT_EQ(sep.left(), list.right() + 1);
        EXPECT_EQ(songs.left(), sep.right() + 1);
        EXPECT_EQ(player.top(), songs.bottom() + 1);
    }
    EXPECT_EQ(twipsRectToPixels(QRect(1500, 300, 3000, 150), 96.0), QRect(100, 20, 200, 10));
}

} // namespace
