#pragma once

#include <QObject>

#include <functional>

class BannerStrip;
class PlayerToolBar;
class QLabel;
class QMainWindow;
class QStatusBar;
class QToolBar;
class QTreeView;
class QWidget;
struct MainActions;

// Places the main window's controls by code at every size change
// (Form_Resize), keeps the window from getting too small, and owns the
// vertical splitter picSep between the two lists and the blank bar
// picForceBlank over the top toolbar's placeholder. The arithmetic is
// mainlayout.h's; this class measures the controls and applies its result.
class MainWindowLayout : public QObject
{
    Q_OBJECT

public:
    struct Controls
    {
        QMainWindow *window = nullptr;
        // Holds tbTools at its top and every other placed control.
        QWidget *central = nullptr;
        const MainActions *actions = nullptr;
        BannerStrip *banner = nullptr;
        QTreeView *lvPlayLists = nullptr;
        QWidget *lvSongs = nullptr;
        PlayerToolBar *tbPlayer = nullptr;
        QToolBar *tbPlayListOptions = nullptr;
        QStatusBar *sbInfo = nullptr;
        QLabel *pPlayLists = nullptr;
        // The View menu's Player Banner check mark.
        std::function<bool()> bannerShown;
    };

    explicit MainWindowLayout(Controls controls, QObject *parent = nullptr);

    void Form_Resize();
    // Puts the splitter beside the Save button (start-up); in a window not
    // shown yet, once it shows.
    void placeSplitterAtStart();

    int splitterLeft() const { return m_splitterLeft; } // twips
    // The lowest the window may be, as an outer height in twips.
    int minimumOuterHeight(bool bannerShown) const;
    QWidget *picSep() const { return m_picSep; }
    QWidget *picForceBlank() const { return m_picForceBlank; }
    bool SplitterDragging = false;

    // Twips of this window's screen.
    int toTwips(int pixels) const;
    int toPixels(int twips) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    double dotsPerInch() const;

    Controls m_c;
    QWidget *m_picSep;
    QWidget *m_picForceBlank;
    int m_splitterLeft = 3000;
    bool m_inResize = false;
    bool m_splitterAtShow = false;
};
