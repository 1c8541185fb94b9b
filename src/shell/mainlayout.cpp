#include "mainlayout.h"

#include "core/twips.h"

#include <algorithm>
#include <cmath>

namespace {

// Frame allowances between the outer size and the client area.
constexpr int kFrameWidth = 135;
constexpr int kFrameHeight = 700;

constexpr int kMinimumSongAreaWidth = 1500;
constexpr int kMinimumListAreaHeight = 3000;

int atLeastZero(int extent)
{
    return std::max(extent, 0);
}

} // namespace

int bannerStripHeight(int bannerLabelHeight)
{
    return static_cast<int>(std::lround(1.1 * bannerLabelHeight));
}

MainLayout computeMainLayout(const MainLayoutInput &in)
{
    MainLayout out;

    const int minimumWidth = in.splitterLeft + kMinimumSongAreaWidth;
    if (minimumWidth > in.width) {
        out.snapTo = QSize(minimumWidth, in.height);
        return out;
    }
    const int bannerHeight = bannerStripHeight(in.bannerLabelHeight);
    const int minimumHeight =
        in.bannerShown ? bannerHeight + kMinimumListAreaHeight : kMinimumListAreaHeight;
    if (in.height < minimumHeight) {
        out.snapTo = QSize(in.width, minimumHeight);
        return out;
    }

    out.picBanner =
        QRect(0, in.toolsHeight + 15, atLeastZero(in.width - kFrameWidth - in.playListOptionsWidth),
              bannerHeight);

    const int listTop = in.bannerShown ? in.toolsHeight + 25 + bannerHeight : in.toolsHeight + 15;
    const int listHeight = atLeastZero(in.height - in.statusHeight - listTop - kFrameHeight);

    out.lvPlayLists = QRect(0, listTop, atLeastZero(in.splitterLeft), listHeight);
    out.picSep = QRect(in.splitterLeft, listTop, kSplitterWidth, listHeight);

    const int songsLeft = in.splitterLeft + kSplitterWidth;
    out.lvSongs = QRect(songsLeft, listTop,
                        atLeastZero(in.width - songsLeft - kFrameWidth - in.playListOptionsWidth),
                        atLeastZero(listHeight - in.playerHeight));
    out.tbPlayer = QRect(0, listTop + out.lvSongs.height(), in.width, in.playerHeight);
    out.picTimeLeft = in.timePlaceLeft + 70;

    out.playListsColumnWidth = atLeastZero(out.lvPlayLists.width() - 75);
    out.pPlayListsWidth = out.lvPlayLists.width() + 35;

    out.tbSeparatorWidth = atLeastZero(in.splitterLeft - in.savePlayListLeft - 1000);
    const double blankLeft =
        in.separatorLeft + out.tbSeparatorWidth / 2.0 - in.forceBlankWidth / 2.0;
    out.picForceBlank =
        QRect(static_cast<int>(std::lround(blankLeft)), 0, in.forceBlankWidth, in.toolsHeight);
    return out;
}

int splitterStartLeft(int savePlayListLeft, int savePlayListWidth)
{
    return savePlayListLeft + savePlayListWidth + 550;
}

std::optional<int> splitterDragLeft(int splitterLeft, int mouseX, int savePlayListLeft,
                                    int savePlayListWidth, int windowWidth)
{
    const int proposed = splitterLeft + mouseX;
    if (proposed > savePlayListLeft + savePlayListWidth + 245 && proposed < windowWidth - 600)
        return proposed;
    return std::nullopt;
}

int nextViewMode(int currentMode)
{
    if (currentMode < 0 || currentMode >= 3)
        return 0;
    return currentMode + 1;
}

QRect twipsRectToPixels(const QRect &twips, double dotsPerInch)
{
    const int left = twipsToPixels(twips.x(), dotsPerInch);
    const int top = twipsToPixels(twips.y(), dotsPerInch);
    // Edges are converted, not extents, so neighbours that touch in twips
    // still touch in pixels.
    const int right = twipsToPixels(static_cast<double>(twips.x()) + twips.width(), dotsPerInch);
    const int bottom = twipsToPixels(static_cast<double>(twips.y()) + twips.height(), dotsPerInch);
    return QRect(left, top, right - left, bottom - top);
}
