#include "core/twips.h"
#include "library/songlistmodel.h"
#include "playback/playbacksequencer.h"
#include "playback/playeractions.h"
#include "playback/playertoolbar.h"
#include "playback/playmonitor.h"
#include "shell/mainactions.h"
#include "shell/mainwindowlayout.h"
#include "support/frmmainfixture.h"

#include <QAction>
#include <QCoreApplication>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <string>

namespace {

using frmMainPlayerTest = frmMainFixture;

QRect inWindow(const QWidget &widget, const QWidget &window)
{
    return QRect(widget.mapTo(&window, QPoint(0, 0)), widget.size());
}

std::string text(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4")
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .toStdString();
}

// Every player button and the time display lie inside the window and are the
// widget found at their centre; the library list and its scroll bar end above
// the player toolbar.
void expectPlayerControlsReachable(frmMain &window, const std::string &step)
{
    SCOPED_TRACE(step + " at " + std::to_string(window.width()) + "x" +
                 std::to_string(window.height()));
    PlayerToolBar &bar = window.playerToolBar();
    QList<QWidget *> controls;
    for (QAction *action : window.playerActions().buttons())
        controls << bar.widgetForAction(action);
    controls << bar.findChild<QWidget *>(QStringLiteral("picTime"));
    for (QWidget *control : controls) {
        ASSERT_NE(control, nullptr);
        const std::string name =
            control->objectName().isEmpty()
                ? qobject_cast<QToolButton *>(control)->defaultAction()->objectName().toStdString()
                : control->objectName().toStdString();
        EXPECT_TRUE(control->isVisible()) << name;
        const QRect r = inWindow(*control, window);
        EXPECT_TRUE(window.rect().contains(r)) << name << " at " << text(r);
        QWidget *hit = window.childAt(r.center());
        EXPECT_TRUE(hit == control || control->isAncestorOf(hit))
            << name << " is covered by "
            << (hit ? hit->metaObject()->className() + std::string(" ") +
                          hit->objectName().toStdString()
                    : std::string("nothing"));
    }
    const QRect player = inWindow(bar, window);
    auto *list = window.findChild<QTreeView *>(QStringLiteral("lvPlayLists"));
    EXPECT_FALSE(inWindow(*list, window).intersects(player)) << text(inWindow(*list, window));
    const QScrollBar *scroll = list->horizontalScrollBar();
    if (scroll->isVisible()) {
        EXPECT_FALSE(inWindow(*scroll, window).intersects(player));
    }
}

// Shrinks the shown window to its minimum in several steps, width first or
// height first, checking the player controls after every step.
void shrinkToMinimum(frmMain &window, bool widthFirst, const std::string &setting)
{
    const QSize start(1000, 700);
    window.resize(start);
    QCoreApplication::processEvents();
    expectPlayerControlsReachable(window, setting + ", start");
    const int steps = 4;
    for (int pass = 0; pass < 2; ++pass) {
        const bool width = (pass == 0) == widthFirst;
        for (int step = 1; step <= steps; ++step) {
            QSize size = window.size();
            if (width)
                size.setWidth(start.width() - (start.width() - 1) * step / steps);
            else
                size.setHeight(start.height() - (start.height() - 1) * step / steps);
            window.resize(size);
            QCoreApplication::processEvents();
            expectPlayerControlsReachable(window, setting + (width ? ", narrower " : ", lower ") +
                                                      std::to_string(step));
        }
    }
}

TEST_F(frmMainPlayerTest, ThePlayerControlsStayReachableDownToTheSmallestWindow)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), threeSongs);
    auto window = start();
    window->tmrHack_Timer();
    const MainActions &a = window->mainActions();
    for (int setting = 0; setting < 4; ++setting) {
        const bool banner = setting < 2;
        const bool labels = setting % 2 == 0;
        if (a.mnuViewBanner->isChecked() != banner)
            a.mnuViewBanner->trigger();
        if (a.mnuViewTextLabels->isChecked() != labels)
            a.mnuViewTextLabels->trigger();
        QCoreApplication::processEvents();
        const std::string name =
            std::string(banner ? "banner" : "no banner") + (labels ? ", labels" : ", no labels");
        shrinkToMinimum(*window, true, name);
        shrinkToMinimum(*window, false, name);
        // Straight from a roomy window to the smallest.
        window->resize(1000, 700);
        QCoreApplication::processEvents();
        window->resize(1, 1);
        QCoreApplication::processEvents();
        expectPlayerControlsReachable(*window, name + ", in one step");
    }
}

TEST_F(frmMainPlayerTest, TheTimeDisplayKeepsItsDesignSize)
{
    auto window = start();
    window->resize(1000, 700);
    QCoreApplication::processEvents();
    const QWidget *picTime =
        window->playerToolBar().findChild<QWidget *>(QStringLiteral("picTime"));
    ASSERT_NE(picTime, nullptr);
    const double dpi = window->playerToolBar().logicalDpiX();
    const QSize design(twipsToPixels(1860, dpi), twipsToPixels(540, dpi));
    EXPECT_EQ(picTime->size(), design);
    window->resize(1600, 700);
    QCoreApplication::processEvents();
    EXPECT_EQ(picTime->size(), design);
    EXPECT_EQ(window->playerToolBar().timePlace()->width(), twipsToPixels(2000, dpi));
}

TEST_F(frmMainPlayerTest, ClickingStopWithoutAPlayerOnlyWarns)
{
    auto window = startWithoutPlayer();
    window->tmrHack_Timer(); // shows Stop pressed
    ASSERT_FALSE(window->PlayerLinked());
    const size_t warnings = dialogs.messages.size();
    const PlayerActions &actions = window->playerActions();
    ASSERT_TRUE(actions.tbStop->isChecked());

    // A real click on the button's face, not on its drop-down arrow.
    QWidget *stop = window->playerToolBar().widgetForAction(actions.tbStop);
    QTest::mouseClick(stop, Qt::LeftButton, {}, QPoint(4, stop->height() / 2));
    EXPECT_EQ(dialogs.messages.size(), warnings + 1);
    EXPECT_TRUE(actions.tbStop->isChecked());

    QWidget *play = window->playerToolBar().widgetForAction(actions.tbPlay);
    QTest::mouseClick(play, Qt::LeftButton);
    EXPECT_EQ(dialogs.messages.size(), warnings + 2);
    EXPECT_TRUE(actions.tbStop->isChecked());
    EXPECT_FALSE(actions.tbPlay->isChecked());
}

TEST_F(frmMainPlayerTest, TheCaptionReturnsToVornWhenPlaybackEndsWhileMinimized)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), threeSongs);
    auto window = start();
    SongListModel &songs = window->songs();
    ASSERT_EQ(songs.rowCount(), 3);
    link->lengthSeconds = 200;
    window->playerActions().tbPlay->trigger();
    window->playerActions().tbNext->trigger();
    window->playerActions().tbNext->trigger(); // the last row plays
    ASSERT_EQ(songs.CurrentSong(), 3);
    link->positionMs = 5000;
    window->showMinimized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window->isMinimized());
    window->monitor().tmrMonitor_Timer();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Three - VORN"));

    link->positionMs = 0; // the song and the list end
    window->monitor().tmrMonitor_Timer();
    EXPECT_FALSE(window->sequencer().tmrMonitor()->isActive());
    window->showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("VORN"));
}

} // namespace
