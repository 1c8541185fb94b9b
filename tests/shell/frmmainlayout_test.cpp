#include "banner/bannerstrip.h"
#include "library/songlistactions.h"
#include "library/songlistview.h"
#include "playback/playeractions.h"
#include "playback/playertoolbar.h"
#include "playback/playmonitor.h"
#include "shell/mainactions.h"
#include "shell/mainlayout.h"
#include "shell/mainwindowlayout.h"
#include "support/frmmainfixture.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QStatusBar>
#include <QToolButton>
#include <QTableView>
#include <QTreeView>

namespace {

using frmMainLayoutTest = frmMainFixture;

QStringList captions(const frmMain &window)
{
    QStringList all;
    for (QAction *action : window.mainActions().toolButtons())
        all << action->text();
    for (QAction *action : window.playerActions().buttons())
        all << action->text();
    return all;
}

TEST_F(frmMainLayoutTest, TextLabelsOffEmptiesAllSixteenCaptions)
{
    auto window = start();
    const QStringList on = captions(*window);
    ASSERT_EQ(on.size(), 16);
    EXPECT_EQ(on.first(), QStringLiteral("New"));
    EXPECT_EQ(on.last(), QStringLiteral("Pref"));
    const int listTop = window->findChild<QTreeView *>("lvPlayLists")->y();

    window->mnuViewTextLabels_Click();
    for (const QString &caption : captions(*window))
        EXPECT_TRUE(caption.isEmpty());
    // The top toolbar got lower, and the lists moved up with it.
    EXPECT_LT(window->findChild<QTreeView *>("lvPlayLists")->y(), listTop);

    window->mnuViewTextLabels_Click();
    EXPECT_EQ(captions(*window), on);
}

TEST_F(frmMainLayoutTest, TheViewButtonStepsThroughTheFourModes)
{
    auto window = start();
    EXPECT_EQ(window->songView().viewMode(), lvwReport);
    QList<int> modes;
    for (int i = 0; i < 5; ++i) {
        window->mainActions().tbView->trigger();
        modes << window->songView().viewMode();
        EXPECT_EQ(window->mainActions().checkedViewMode(), modes.last());
    }
    EXPECT_EQ(modes, (QList<int>{lvwIcon, lvwSmallIcon, lvwList, lvwReport, lvwIcon}));
    window->mainActions().mnuViewMode[lvwList]->trigger();
    EXPECT_EQ(window->songView().viewMode(), lvwList);
}

TEST_F(frmMainLayoutTest, AColumnsWidthAndPositionSurviveARestart)
{
    {
        auto window = start();
        QHeaderView *header = window->songView().detailsView()->horizontalHeader();
        header->resizeSection(chArtist, 210);
        header->moveSection(header->visualIndex(chFile), 0);
        ASSERT_TRUE(closeWindow(*window));
    }
    reopenSettings();
    auto again = start();
    QHeaderView *header = again->songView().detailsView()->horizontalHeader();
    EXPECT_EQ(header->sectionSize(chArtist), 210);
    EXPECT_EQ(header->visualIndex(chFile), 0);
    EXPECT_EQ(header->logicalIndex(1), static_cast<int>(chTitle));
}

TEST_F(frmMainLayoutTest, TheListsMoveUpWhenTheBannerIsHiddenAndATooLowWindowGrowsForIt)
{
    // A large banner font, so that the lowest window without the banner is
    // too low to hold it.
    settings->SaveSetting("Preferences", "Banner_FontSize", "40");
    auto window = start();
    QTreeView *list = window->findChild<QTreeView *>("lvPlayLists");
    const MainActions &actions = window->mainActions();
    ASSERT_TRUE(actions.mnuViewBanner->isChecked());
    EXPECT_TRUE(window->banner().isVisible());
    const int withBanner = list->y();

    actions.mnuViewBanner->trigger();
    EXPECT_FALSE(actions.mnuViewBanner->isChecked());
    EXPECT_FALSE(window->banner().isVisible());
    const int toolsHeight = actions.tbTools->height();
    EXPECT_LT(list->y(), withBanner);
    EXPECT_NEAR(list->y(), toolsHeight + 1, 1); // tbTools + 15 twips

    // Too low to hold the banner and the lists: the window grows first.
    QCoreApplication::processEvents(); // the window's minimum follows the hidden banner
    window->resize(window->width(), 150);
    QCoreApplication::processEvents();
    actions.mnuViewBanner->trigger();
    EXPECT_TRUE(window->banner().isVisible());
    MainWindowLayout &layout = window->windowLayout();
    const int outer =
        layout.toTwips(window->centralWidget()->height() + window->statusBar()->height()) + 700;
    const int strip = bannerStripHeight(layout.toTwips(window->banner().labelHeight()));
    EXPECT_GE(outer, strip + 4000 - 30);
    EXPECT_NEAR(outer, layout.minimumOuterHeight(true) + 1000, 30);
    EXPECT_GT(list->y(), toolsHeight + window->banner().height() - 1);
}

TEST_F(frmMainLayoutTest, TheWindowNeverGetsNarrowerThanTheSplitterAllows)
{
    auto window = start();
    MainWindowLayout &layout = window->windowLayout();
    window->resize(120, window->height());
    QCoreApplication::processEvents();
    const int outerWidth = layout.toTwips(window->centralWidget()->width()) + 135;
    EXPECT_GE(outerWidth, layout.splitterLeft() + 1500 - 15);
    // The player toolbar sits right under the song list.
    const QWidget *songs = &window->songView();
    EXPECT_EQ(window->playerToolBar().y(), songs->y() + songs->height());
}

TEST_F(frmMainLayoutTest, ThePlayListCommandsAreLockedWhilePlayingUntilStop)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), threeSongs);
    auto window = start();
    const MainActions &a = window->mainActions();
    auto *lvPlayLists = window->findChild<QTreeView *>("lvPlayLists");
    const QList<QAction *> locked = {a.tbNewPlayList, a.tbOpenPlayList, a.tbSavePlayList,
                                     a.mnuPL->menuAction()};
    const QList<QAction *> free = {a.tbAdd, a.tbRemove, a.tbView};

    window->playerActions().tbPlay->trigger();
    for (QAction *action : locked)
        EXPECT_FALSE(action->isEnabled()) << action->objectName().toStdString();
    for (QAction *action : free)
        EXPECT_TRUE(action->isEnabled()) << action->objectName().toStdString();
    EXPECT_FALSE(lvPlayLists->isEnabled());

    window->playerActions().tbNext->trigger();
    EXPECT_FALSE(a.tbNewPlayList->isEnabled());

    window->playerActions().tbStop->trigger();
    for (QAction *action : locked)
        EXPECT_TRUE(action->isEnabled()) << action->objectName().toStdString();
    EXPECT_TRUE(lvPlayLists->isEnabled());
}

TEST_F(frmMainLayoutTest, FadeOutAndPlayIsOfferedOnlyWhilePlaying)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), threeSongs);
    auto window = start();
    window->tmrHack_Timer();
    QAction *fadeAndPlay = window->songActions().mnuSongsFadeAndPlay;
    emit window->songView().contextMenuRequested(QPoint(10, 10));
    EXPECT_FALSE(fadeAndPlay->isEnabled());
    window->songActions().mnuSongs->close();

    window->playerActions().tbPlay->trigger();
    emit window->songView().contextMenuRequested(QPoint(10, 10));
    EXPECT_TRUE(fadeAndPlay->isEnabled());
    window->songActions().mnuSongs->close();
}

TEST_F(frmMainLayoutTest, TheSignLabelSwitchesToTheRemainingTime)
{
    auto window = start();
    EXPECT_FALSE(window->monitor().ShowRemainingTime);
    window->lblSign_Click();
    EXPECT_TRUE(window->monitor().ShowRemainingTime);
    window->lblSign_Click();
    EXPECT_FALSE(window->monitor().ShowRemainingTime);
}

} // namespace

namespace {

TEST_F(frmMainLayoutTest, TheSplitterFollowsTheMouseWithinItsLimits)
{
    auto window = start();
    MainWindowLayout &layout = window->windowLayout();
    QWidget *picSep = layout.picSep();
    QTreeView *list = window->findChild<QTreeView *>("lvPlayLists");
    auto mouse = [&](QEvent::Type type, int x, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(x, 5), picSep->mapToGlobal(QPointF(x, 5)),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                          Qt::NoModifier);
        QApplication::sendEvent(picSep, &event);
    };

    const int start = layout.splitterLeft();
    mouse(QEvent::MouseButtonPress, 2, Qt::LeftButton);
    EXPECT_TRUE(layout.SplitterDragging);
    mouse(QEvent::MouseMove, 40, Qt::LeftButton);
    EXPECT_NEAR(layout.splitterLeft(), start + layout.toTwips(40), 15);
    EXPECT_EQ(list->width(), picSep->x());

    // Beyond the right limit (W - 600) or the left one nothing moves.
    const int moved = layout.splitterLeft();
    mouse(QEvent::MouseMove, window->width(), Qt::LeftButton);
    EXPECT_EQ(layout.splitterLeft(), moved);
    mouse(QEvent::MouseMove, -picSep->x(), Qt::LeftButton);
    EXPECT_EQ(layout.splitterLeft(), moved);

    mouse(QEvent::MouseButtonRelease, 0, Qt::NoButton);
    EXPECT_FALSE(layout.SplitterDragging);
    mouse(QEvent::MouseMove, -20, Qt::NoButton);
    EXPECT_EQ(layout.splitterLeft(), moved);
}

} // namespace
