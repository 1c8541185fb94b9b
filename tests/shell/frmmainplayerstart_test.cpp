#include "library/playlistlibrarymodel.h"
#include "library/songlistmodel.h"
#include "playback/mpvlink.h"
#include "playback/playeractions.h"
#include "playback/playertoolbar.h"
#include "shell/shellsettings.h"
#include "support/audiofiles.h"
#include "support/frmmainfixture.h"
#include "support/playerprocesses.h"

#include <QAction>
#include <QStandardPaths>
#include <QTest>

#include <memory>

// The start-up with the real player link: the play lists are listed while
// the player comes up, in the order the user always saw.
class frmMainPlayerStartTest : public frmMainFixture
{
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("mpv")).isEmpty())
            GTEST_SKIP() << "mpv is not installed";
        m_options = qgetenv("VORN_MPV_OPTIONS");
        qputenv("VORN_MPV_OPTIONS", "--ao=null");
        writeBytes(path(QStringLiteral("Rock.sdf")), threeSongs);
    }

    void TearDown() override { qputenv("VORN_MPV_OPTIONS", m_options); }

    std::unique_ptr<frmMain> makeMpvWindow()
    {
        auto mpv = std::make_unique<MpvLink>(path(QStringLiteral("mpv.sock")));
        player = mpv.get();
        return std::make_unique<frmMain>(dir.path(), *settings, dialogs, std::move(mpv));
    }

    MpvLink *player = nullptr;

private:
    QByteArray m_options;
};

TEST_F(frmMainPlayerStartTest, TheListsLoadAfterThePlayerIsLaunchedAndItAnswersAtTheEnd)
{
    auto window = makeMpvWindow();
    qint64 launchedWhenListed = 0;
    QObject::connect(&window->songs(), &SongListModel::modelReset,
                     [&] { launchedWhenListed = player->startedPlayerPid(); });
    window->show();
    window->tmrInit_Timer();

    EXPECT_NE(launchedWhenListed, 0);
    EXPECT_TRUE(window->PlayerLinked());
    EXPECT_TRUE(player->FindWinamp());
    EXPECT_EQ(ownPlayers(), QList<qint64>{player->startedPlayerPid()});
    EXPECT_EQ(window->songs().rowCount(), 3);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(closeWindow(*window));
    window.reset();
    EXPECT_TRUE(ownPlayers().isEmpty());
}

TEST_F(frmMainPlayerStartTest, AMissingPlayerIsReportedOnceTheListsAreShown)
{
    settings->save(ShellSettings::kWinamp, path(QStringLiteral("no-such-player")));
    auto window = makeMpvWindow();
    int rowsWhenWarned = -1;
    int listsWhenWarned = -1;
    dialogs.onMessage = [&] {
        rowsWhenWarned = window->songs().rowCount();
        listsWhenWarned = window->library().count();
    };
    window->show();
    window->tmrInit_Timer();

    EXPECT_FALSE(window->PlayerLinked());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Error: mpv Not Found"));
    EXPECT_EQ(listsWhenWarned, 1);
    EXPECT_EQ(rowsWhenWarned, 3);
    EXPECT_TRUE(ownPlayers().isEmpty());

    // Play is refused with the same warning.
    QWidget *play = window->playerToolBar().widgetForAction(window->playerActions().tbPlay);
    QTest::mouseClick(play, Qt::LeftButton);
    EXPECT_EQ(dialogs.messages.size(), 2u);
    dialogs.onMessage = nullptr;
}

// Closing VORN while a song plays ends the player on purpose: the log tells
// of no player that stopped unexpectedly, and no player is started again.
TEST_F(frmMainPlayerStartTest, ClosingWhileASongPlaysLogsNoUnexpectedStop)
{
    const QString song = writeWavFile(dir.path(), QStringLiteral("song.wav"), 30.0);
    writeBytes(path(QStringLiteral("Rock.sdf")),
               storedLine({"Song", "", "", "", "00:30", song.toUtf8().constData()}));
    auto window = makeMpvWindow();
    window->show();
    window->tmrInit_Timer();
    QTest::mouseClick(window->playerToolBar().widgetForAction(window->playerActions().tbPlay),
                      Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player->WinampGetPosition() > 200; }, 10000));

    EXPECT_TRUE(closeWindow(*window));
    // Longer than the monitor's tick and the first restart's wait.
    QTest::qWait(2000);
    QFile log(path(QStringLiteral("VORN.log")));
    const QByteArray logged = log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
    EXPECT_FALSE(logged.contains("unexpectedly")) << logged.constData();
    EXPECT_TRUE(ownPlayers().isEmpty());
    window.reset();
}
