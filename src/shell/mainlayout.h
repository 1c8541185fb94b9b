#pragma once

#include <QRect>
#include <QSize>

#include <optional>

// The main window's layout as arithmetic on twips, free of widgets.
//
// Every rectangle is in the window's client coordinates (origin at the top
// left corner of the area below the menu bar, where tbTools sits), while
// `width` and `height` are the window's outer size; the constants 135 and 700
// of the rules stand for the frame between the two.

struct MainLayoutInput
{
    int width = 0;  // W: outer width of the window
    int height = 0; // H: outer height of the window
    int splitterLeft = 0;
    int toolsHeight = 0; // tbTools
    bool bannerShown = true;
    int bannerLabelHeight = 0;    // lblBanner(0)
    int statusHeight = 0;         // sbInfo
    int playerHeight = 0;         // tbPlayer
    int playListOptionsWidth = 0; // the right-docked tbPlayListOptions
    int savePlayListLeft = 0;     // tbTools button tbSavePlayList
    int separatorLeft = 0;        // tbTools placeholder tbSeparator
    int timePlaceLeft = 0;        // tbPlayer placeholder tbTimePlace
    int forceBlankWidth = 0;      // picForceBlank
};

struct MainLayout
{
    // Set when the window is smaller than allowed: resize the window to this
    // outer size and place nothing; the resize that follows lays it out.
    std::optional<QSize> snapTo;

    QRect picBanner;
    QRect lvPlayLists;
    QRect picSep;
    QRect lvSongs;
    QRect tbPlayer;
    int picTimeLeft = 0; // inside tbPlayer
    int playListsColumnWidth = 0;
    int pPlayListsWidth = 0;
    int tbSeparatorWidth = 0;
    QRect picForceBlank;
};

inline constexpr int kSplitterWidth = 75;

// The strip's height: 1.1 times the label's, rounded to whole twips.
int bannerStripHeight(int bannerLabelHeight);

// Lays the window out, or says which size the window must snap to first.
// No extent comes out negative: a list squeezed below nothing gets zero, and
// the placeholder is never narrower than zero.
MainLayout computeMainLayout(const MainLayoutInput &in);

// Where the splitter starts, beside the Save button.
int splitterStartLeft(int savePlayListLeft, int savePlayListWidth);

// The splitter's new left edge when the mouse, `mouseX` twips inside the
// splitter, drags it; nothing when that would leave the allowed range,
// which lies strictly between the Save button + 245 and W - 600.
std::optional<int> splitterDragLeft(int splitterLeft, int mouseX, int savePlayListLeft,
                                    int savePlayListWidth, int windowWidth);

// The View button's step: details (3) goes back to large icons (0), every
// other mode to the next one. A mode out of range starts over at 0.
int nextViewMode(int currentMode);

// A rectangle in twips as pixels at the given resolution.
QRect twipsRectToPixels(const QRect &twips, double dotsPerInch);
