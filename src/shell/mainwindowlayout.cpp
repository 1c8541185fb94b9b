#include "mainwindowlayout.h"

#include "screenfit.h"

#include "banner/bannerstrip.h"
#include "core/twips.h"
#include "mainactions.h"
#include "mainlayout.h"
#include "playback/playertoolbar.h"

#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include <algorithm>

MainWindowLayout::MainWindowLayout(Controls controls, QObject *parent)
    : QObject(parent)
    , m_c(std::move(controls))
    , m_picSep(new QWidget(m_c.central))
    , m_picForceBlank(new QWidget(m_c.actions->tbTools))
{
    m_picSep->setObjectName(QStringLiteral("picSep"));
    m_picSep->setCursor(Qt::SplitHCursor);
    m_picSep->installEventFilter(this);
    m_picForceBlank->setObjectName(QStringLiteral("picForceBlank"));
    m_picForceBlank->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_c.central->installEventFilter(this);
    m_c.window->installEventFilter(this);
}

double MainWindowLayout::dotsPerInch() const
{
    const QScreen *screen = m_c.window->screen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

int MainWindowLayout::toTwips(int pixels) const
{
    return pixelsToTwips(pixels, dotsPerInch());
}

int MainWindowLayout::toPixels(int twips) const
{
    return twipsToPixels(twips, dotsPerInch());
}

void MainWindowLayout::placeSplitterAtStart()
{
    // A hidden window's controls have not been laid out yet: the Save button
    // is not where it will be. The splitter is placed when the window shows.
    if (!m_c.window->isVisible()) {
        m_splitterAtShow = true;
        return;
    }
    m_splitterAtShow = false;
    const QToolButton *save = m_c.actions->buttonFor(m_c.actions->tbSavePlayList);
    if (!save)
        return;
    m_splitterLeft = splitterStartLeft(toTwips(save->x()), toTwips(save->width()));
    Form_Resize();
}

void MainWindowLayout::Form_Resize()
{
    // Minimizing the main window minimizes the mixer window: comes with the
    // mixer window.
    // A hidden window's controls keep stale sizes until it shows; laid out by
    // them, the window would grow at every start. Showing lays it out.
    if (m_inResize || m_c.window->isMinimized() || !m_c.window->isVisible())
        return;
    m_inResize = true;

    QToolBar *tools = m_c.actions->tbTools;
    tools->setGeometry(0, 0, m_c.central->width(), tools->sizeHint().height());
    const QToolButton *save = m_c.actions->buttonFor(m_c.actions->tbSavePlayList);

    // The window's client area below the menu bar is the central widget and
    // the status bar; W and H are given as the outer size the rules expect.
    MainLayoutInput in;
    in.width = toTwips(m_c.central->width()) + 135;
    in.height = toTwips(m_c.central->height() + m_c.sbInfo->height()) + 700;
    in.splitterLeft = m_splitterLeft;
    in.toolsHeight = toTwips(tools->height());
    in.bannerShown = m_c.bannerShown();
    in.bannerLabelHeight = toTwips(m_c.banner->labelHeight());
    in.statusHeight = toTwips(m_c.sbInfo->height());
    in.playerHeight = toTwips(m_c.tbPlayer->sizeHint().height());
    in.playListOptionsWidth = toTwips(m_c.tbPlayListOptions->sizeHint().width());
    in.savePlayListLeft = save ? toTwips(save->x()) : 0;
    in.separatorLeft = toTwips(m_c.actions->tbSeparator->x());
    in.timePlaceLeft = toTwips(m_c.tbPlayer->timePlace()->x());
    in.forceBlankWidth = 60;

    // The same minimum as a size hint, so that the window system does not let
    // the window get smaller in the first place.
    // The player toolbar spans the whole width: the window is never too
    // narrow for all of its buttons and the time display.
    m_c.central->setMinimumSize(
        std::max(toPixels(m_splitterLeft + 1500 - 135), m_c.tbPlayer->sizeHint().width()),
        toPixels(minimumOuterHeight(in.bannerShown) - 700) - m_c.sbInfo->height());

    MainLayout layout = computeMainLayout(in);
    if (layout.snapTo) {
        const QSize grow(toPixels(layout.snapTo->width() - in.width),
                         toPixels(layout.snapTo->height() - in.height));
        const QSize before = m_c.window->size();
        m_inResize = false;
        m_c.window->resize(before + grow.expandedTo(QSize(0, 0)));
        if (m_c.window->size() != before)
            return; // that resize has laid the window out
        // Less than a pixel short, or a window that would not grow: no resize
        // follows, so lay out here as if the window had its minimum size.
        m_inResize = true;
        in.width = std::max(in.width, layout.snapTo->width());
        in.height = std::max(in.height, layout.snapTo->height());
        layout = computeMainLayout(in);
        if (layout.snapTo) {
            in.width = std::max(in.width, layout.snapTo->width());
            in.height = std::max(in.height, layout.snapTo->height());
            layout = computeMainLayout(in);
        }
    }

    const double dpi = dotsPerInch();
    m_c.banner->setGeometry(twipsRectToPixels(layout.picBanner, dpi));
    m_c.lvSongs->setGeometry(twipsRectToPixels(layout.lvSongs, dpi));
    QRect player = twipsRectToPixels(layout.tbPlayer, dpi);
    player.setWidth(m_c.central->width());
    player.setHeight(m_c.tbPlayer->sizeHint().height());
    m_c.tbPlayer->setGeometry(player);
    m_c.tbPlayer->raise();
    // The player toolbar covers the lower part of the library list and the
    // splitter; they end where it begins, so that no row or scroll bar of the
    // list shows through it or hides under it.
    QRect playLists = twipsRectToPixels(layout.lvPlayLists, dpi);
    playLists.setBottom(std::min(playLists.bottom(), player.top() - 1));
    m_c.lvPlayLists->setGeometry(playLists);
    QRect splitter = twipsRectToPixels(layout.picSep, dpi);
    splitter.setBottom(std::min(splitter.bottom(), player.top() - 1));
    m_picSep->setGeometry(splitter);

    const int optionsWidth = m_c.tbPlayListOptions->sizeHint().width();
    m_c.tbPlayListOptions->setGeometry(m_c.central->width() - optionsWidth, tools->height(),
                                       optionsWidth, std::max(0, player.top() - tools->height()));

    m_c.lvPlayLists->header()->resizeSection(0, toPixels(layout.playListsColumnWidth));
    m_c.pPlayLists->setFixedWidth(toPixels(layout.pPlayListsWidth));
    m_c.actions->tbSeparator->setFixedWidth(toPixels(layout.tbSeparatorWidth));
    m_picForceBlank->setGeometry(twipsRectToPixels(layout.picForceBlank, dpi));
    m_picForceBlank->raise();
    m_inResize = false;
}

int MainWindowLayout::minimumOuterHeight(bool bannerShown) const
{
    const int strip = bannerShown ? bannerStripHeight(toTwips(m_c.banner->labelHeight())) : 0;
    // Our toolbars are taller than the rule's 3000 twips foresee; keep room
    // for them, the player toolbar and two rows of the lists as well.
    const int controls = m_c.actions->tbTools->sizeHint().height() +
                         m_c.tbPlayer->sizeHint().height() +
                         2 * m_c.lvPlayLists->fontMetrics().height() + 8 + m_c.sbInfo->height();
    return std::max(strip + 3000, strip + toTwips(controls) + 700);
}

bool MainWindowLayout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_c.central && event->type() == QEvent::Resize) {
        Form_Resize();
        return false;
    }
    if (watched == m_c.window && event->type() == QEvent::Show) {
        if (m_splitterAtShow)
            placeSplitterAtStart();
        else
            Form_Resize();
        // The controls laid out at the show may make the window wider than
        // the place it was given allows: once their layout is done, it comes
        // inside the screen, where the next start will put it too.
        QMetaObject::invokeMethod(
            m_c.window, [window = m_c.window] { fitIntoScreen(window); }, Qt::QueuedConnection);
        return false;
    }
    if (watched == m_c.window && event->type() == QEvent::Resize) {
        // A window system without size hints (or a user's tool) may make the
        // window smaller than its controls allow: snap it back once the
        // resize is over.
        const QSize minimum = m_c.window->minimumSizeHint();
        const QSize size = m_c.window->size();
        if (!m_c.window->isMinimized() &&
            (size.width() < minimum.width() || size.height() < minimum.height())) {
            QMetaObject::invokeMethod(
                m_c.window,
                [window = m_c.window] {
                    window->resize(window->size().expandedTo(window->minimumSizeHint()));
                    // Grown past the screen's edge, it comes back inside, as
                    // a stored place is fitted at the next start.
                    fitIntoScreen(window);
                },
                Qt::QueuedConnection);
        }
        return false;
    }
    if (watched != m_picSep)
        return false;

    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            SplitterDragging = true;
        return true;
    case QEvent::MouseMove: {
        if (!SplitterDragging)
            return false;
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QToolButton *save = m_c.actions->buttonFor(m_c.actions->tbSavePlayList);
        const std::optional<int> left = splitterDragLeft(
            m_splitterLeft, toTwips(mouse->position().toPoint().x()), save ? toTwips(save->x()) : 0,
            save ? toTwips(save->width()) : 0, toTwips(m_c.central->width()) + 135);
        if (left) {
            m_splitterLeft = *left;
            Form_Resize();
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
        SplitterDragging = false;
        return true;
    default:
        return false;
    }
}
