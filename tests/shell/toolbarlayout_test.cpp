// The top toolbar keeps the layout the start-up gave it: closing the
// preferences lays the window out again, and nothing of it moves.
#include "playback/playeractions.h"
#include "preferences/frmpreferences.h"
#include "shell/mainactions.h"
#include "shell/mainwindowlayout.h"
#include "support/frmmainfixture.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

using TopToolbar = frmMainFixture;

// Where the buttons of the top toolbar and the splitter are.
QList<int> toolbarPlaces(frmMain &window)
{
    const MainActions &a = window.mainActions();
    QList<int> places;
    for (QAction *action : a.toolButtons())
        places << a.buttonFor(action)->x();
    places << a.tbSeparator->width() << window.windowLayout().splitterLeft();
    return places;
}

TEST_F(TopToolbar, ClosingThePreferencesMovesNoButtonWithOrWithoutTextLabels)
{
    for (const char *labels : {"1", "0"}) {
        settings->SaveSetting("Preferences", "TextLabels", QLatin1String(labels));
        auto window = makeWindow();
        // The start-up timer fires under the splash, before the window shows.
        window->tmrInit_Timer();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QCoreApplication::processEvents();
        const QList<int> atStart = toolbarPlaces(*window);

        QTimer::singleShot(0, window.get(), [] {
            if (auto *dialog = qobject_cast<frmPreferences *>(QApplication::activeModalWidget()))
                QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")),
                                  Qt::LeftButton);
        });
        window->playerActions().tbPreferences->trigger();
        QCoreApplication::processEvents();
        EXPECT_EQ(toolbarPlaces(*window), atStart) << "text labels " << labels;
        // The splitter stands beside Save, as the start-up puts it.
        const MainActions &a = window->mainActions();
        const QToolButton *save = a.buttonFor(a.tbSavePlayList);
        EXPECT_EQ(window->windowLayout().splitterLeft(),
                  window->windowLayout().toTwips(save->x()) +
                      window->windowLayout().toTwips(save->width()) + 550);
        EXPECT_TRUE(closeWindow(*window));
        reopenSettings();
    }
}

} // namespace
