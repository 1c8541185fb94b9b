// Choosing, in the preferences, a player program that is driven another way
// moves VORN to a new player at once; the music carries on as it was.
#include "library/songlistmodel.h"
#include "playback/forwardingplayerlink.h"
#include "playback/mpvlink.h"
#include "playback/playbacksequencer.h"
#include "playback/playeractions.h"
#include "playback/playersettings.h"
#include "preferences/frmpreferences.h"
#include "support/audiofiles.h"
#include "support/frmmainfixture.h"
#include "support/playerprocesses.h"
#include "support/recordingplayerfactory.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class PlayerChange : public frmMainFixture
{
protected:
    // An executable file in the temporary folder running `body`.
    QString program(const char *name, const QByteArray &body = QByteArray())
    {
        const QString file = path(QLatin1String(name));
        QFile out(file);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("#!/bin/sh\n" + body);
        out.close();
        out.setPermissions(out.permissions() | QFileDevice::ExeOwner);
        return file;
    }

    // Presses Pref, types `player` into the dialog's path and leaves it with
    // OK (or Escape); true when the dialog was seen.
    static bool choosePlayer(frmMain &window, const QString &player, bool ok = true)
    {
        bool seen = false;
        QTimer::singleShot(0, &window, [&seen, player, ok] {
            auto *dialog = qobject_cast<frmPreferences *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            seen = true;
            auto *path = dialog->findChild<QLineEdit *>(QStringLiteral("txtWAPath"));
            path->selectAll();
            QTest::keyClick(path, Qt::Key_Delete);
            QTest::keyClicks(path, player);
            if (ok)
                QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")),
                                  Qt::LeftButton);
            else
                QTest::keyClick(dialog, Qt::Key_Escape);
        });
        window.playerActions().tbPreferences->trigger();
        return seen;
    }

    std::unique_ptr<frmMain> startWithSongs()
    {
        writeBytes(path(QStringLiteral("Rock.sdf")), threeSongs);
        auto window = start();
        window->playerLink().setFactory(made.factory());
        made.watch(*link);
        EXPECT_EQ(window->songs().rowCount(), 3);
        return window;
    }

    static bool playingState(frmMain &window)
    {
        const PlayerActions &a = window.playerActions();
        return a.tbPlay->isChecked() && !a.tbStop->isChecked() && !a.tbPause->isChecked() &&
               a.tbNext->isEnabled() && window.sequencer().tmrMonitor()->isActive();
    }

    RecordingPlayerFactory made;
};

TEST_F(PlayerChange, MusicThatPlayedGoesOnWithTheSameRowThroughTheNewPlayer)
{
    auto window = startWithSongs();
    const PlayerActions &a = window->playerActions();
    a.tbPlay->trigger();
    a.tbNext->trigger();
    ASSERT_EQ(window->songs().CurrentSong(), 2);
    const QString winamp = program("winamp");

    ASSERT_TRUE(choosePlayer(*window, winamp));
    link = nullptr; // the first player is gone

    EXPECT_EQ(settings->value(PlayerSettings::kWinamp), winamp);
    ASSERT_EQ(made.logsAtEnd.size(), 1u);
    EXPECT_EQ(made.logsAtEnd[0].last(), QStringLiteral("close"));
    ASSERT_EQ(made.paths, std::vector<QString>{winamp});
    FakePlayerLink *next = made.made[0];
    EXPECT_EQ(next->starts, 1);
    EXPECT_EQ(next->lastStartPath, winamp);
    EXPECT_EQ(next->played, QStringList{QStringLiteral("/m/2.mp3")});
    EXPECT_EQ(next->state, PlayerLink::kPlaying);
    EXPECT_TRUE(window->PlayerLinked());
    EXPECT_EQ(window->songs().CurrentSong(), 2);
    EXPECT_TRUE(playingState(*window));
    EXPECT_EQ(window->playerLink().playerName(), QStringLiteral("player 1"));

    // The new player is the one the buttons drive from now on.
    a.tbNext->trigger();
    EXPECT_EQ(next->played, QStringList({QStringLiteral("/m/2.mp3"), QStringLiteral("/m/3.mid")}));

    // And back to a player of the first kind: again a new link, again at once.
    ASSERT_TRUE(choosePlayer(*window, program("myplayer")));
    ASSERT_EQ(made.logsAtEnd.size(), 2u);
    EXPECT_EQ(made.logsAtEnd[1].last(), QStringLiteral("close"));
    ASSERT_EQ(made.made.size(), 2u);
    EXPECT_EQ(made.made[1]->played, QStringList{QStringLiteral("/m/3.mid")});
    EXPECT_TRUE(playingState(*window));
}

TEST_F(PlayerChange, StoppedMusicStaysStoppedAndPausedMusicStaysPaused)
{
    auto window = startWithSongs();
    const PlayerActions &a = window->playerActions();
    window->tmrHack_Timer();
    a.tbPlay->trigger();
    a.tbStop->trigger();
    ASSERT_TRUE(a.tbStop->isChecked());

    ASSERT_TRUE(choosePlayer(*window, program("winamp")));
    ASSERT_EQ(made.made.size(), 1u);
    FakePlayerLink *next = made.made[0];
    EXPECT_EQ(next->starts, 1);
    EXPECT_TRUE(next->played.isEmpty());
    EXPECT_TRUE(window->PlayerLinked());
    EXPECT_TRUE(a.tbStop->isChecked());
    EXPECT_FALSE(a.tbPlay->isChecked());
    EXPECT_FALSE(window->sequencer().tmrMonitor()->isActive());

    a.tbPlay->trigger();
    a.tbPause->trigger();
    ASSERT_EQ(next->state, PlayerLink::kPaused);
    ASSERT_TRUE(choosePlayer(*window, program("mpv")));
    ASSERT_EQ(made.made.size(), 2u);
    FakePlayerLink *third = made.made[1];
    EXPECT_EQ(third->played, QStringList{QStringLiteral("/m/1.mp3")});
    EXPECT_EQ(third->state, PlayerLink::kPaused);
    EXPECT_TRUE(a.tbPause->isChecked());
    EXPECT_FALSE(a.tbPlay->isChecked());
    EXPECT_FALSE(a.tbStop->isChecked());
    // A second Pause plays on in the new player.
    a.tbPause->trigger();
    EXPECT_EQ(third->state, PlayerLink::kPlaying);
}

TEST_F(PlayerChange, APathOfTheSameKindOrACancelKeepsThePlayerInUse)
{
    auto window = startWithSongs();
    window->playerActions().tbPlay->trigger();
    const int starts = link->starts;

    ASSERT_TRUE(choosePlayer(*window, program("myplayer")));
    ASSERT_TRUE(choosePlayer(*window, program("winamp"), false));
    EXPECT_TRUE(made.paths.empty());
    EXPECT_TRUE(made.logsAtEnd.empty());
    EXPECT_FALSE(link->log.contains(QStringLiteral("close")));
    EXPECT_EQ(link->starts, starts);
    EXPECT_EQ(link->played, QStringList{QStringLiteral("/m/1.mp3")});
    EXPECT_TRUE(playingState(*window));
}

TEST_F(PlayerChange, WithoutAPlayerTheNewKindIsLinkedAtOnce)
{
    auto window = startWithoutPlayer();
    ASSERT_FALSE(window->PlayerLinked());
    window->playerLink().setFactory(made.factory());
    const std::size_t messages = dialogs.messages.size();

    const QString winamp = program("WINAMP.EXE");
    ASSERT_TRUE(choosePlayer(*window, winamp));
    ASSERT_EQ(made.paths, std::vector<QString>{winamp});
    EXPECT_EQ(made.made[0]->lastStartPath, winamp);
    EXPECT_TRUE(window->PlayerLinked());
    EXPECT_EQ(dialogs.messages.size(), messages);
}

TEST_F(PlayerChange, ANewPlayerThatWillNotStartIsTriedAgainWhileMusicPlays)
{
    auto window = startWithSongs();
    window->playerActions().tbPlay->trigger();
    made.prepare = [](FakePlayerLink &player) {
        player.present = false;
        player.startSucceeds = false;
    };
    const std::size_t messages = dialogs.messages.size();

    ASSERT_TRUE(choosePlayer(*window, program("winamp")));
    ASSERT_EQ(made.made.size(), 1u);
    FakePlayerLink *next = made.made[0];
    EXPECT_FALSE(window->PlayerLinked());
    EXPECT_TRUE(window->sequencer().tmrRestart()->isActive());
    EXPECT_FALSE(window->sequencer().tmrMonitor()->isActive());
    EXPECT_TRUE(window->statusBar()->currentMessage().contains(QStringLiteral("player 1")));
    EXPECT_EQ(dialogs.messages.size(), messages); // nobody may be watching

    next->startSucceeds = true;
    window->sequencer().tmrRestart_Timer();
    EXPECT_TRUE(window->PlayerLinked());
    EXPECT_EQ(next->played, QStringList{QStringLiteral("/m/2.mp3")});
    EXPECT_TRUE(playingState(*window));
}

// The real mpv: the first player ends, the one started through the new path
// plays the same song, and no other player of ours is left.
class PlayerChangeWithMpv : public PlayerChange
{
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("mpv")).isEmpty())
            GTEST_SKIP() << "mpv is not installed";
        m_oldOptions = qgetenv("VORN_MPV_OPTIONS");
        m_oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        m_hadRuntime = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
        qputenv("VORN_MPV_OPTIONS", "--ao=null");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    }
    void TearDown() override
    {
        qputenv("VORN_MPV_OPTIONS", m_oldOptions);
        if (m_hadRuntime)
            qputenv("XDG_RUNTIME_DIR", m_oldRuntime);
        else
            qunsetenv("XDG_RUNTIME_DIR");
    }

    static QString playing(MpvLink &player)
    {
        MpvIpc probe(player.socketPath());
        return probe.request(QJsonArray{QStringLiteral("get_property"), QStringLiteral("path")})
            .data.toString();
    }

private:
    QTemporaryDir m_runtime;
    QByteArray m_oldOptions;
    QByteArray m_oldRuntime;
    bool m_hadRuntime = false;
};

TEST_F(PlayerChangeWithMpv, TheOldPlayerEndsAndTheNewOnePlaysTheSameSong)
{
    const QString song = writeWavFile(dir.path(), QStringLiteral("long.wav"), 30, WavContent::Tone);
    writeBytes(path(QStringLiteral("Rock.sdf")),
               storedLine({"Long", "", "", "", "00:30", song.toUtf8().constData()}));
    auto window =
        std::make_unique<frmMain>(dir.path(), *settings, dialogs, std::make_unique<MpvLink>());
    window->show();
    window->tmrInit_Timer();
    ASSERT_TRUE(window->PlayerLinked());
    window->playerActions().tbPlay->trigger();
    auto &first = dynamic_cast<MpvLink &>(window->playerLink().current());
    const qint64 firstPid = first.startedPlayerPid();
    ASSERT_NE(firstPid, 0);
    EXPECT_EQ(playing(first), song);

    // A program named like Winamp that is mpv underneath: on this system the
    // platform's factory drives it as mpv, but it is a player of another kind.
    const QString winamp = program("winamp", "exec mpv \"$@\"\n");
    ASSERT_TRUE(choosePlayer(*window, winamp));

    // The first link is gone with its player: the new player is told from it
    // by its process id, never by the address of the freed link.
    auto &second = dynamic_cast<MpvLink &>(window->playerLink().current());
    const qint64 secondPid = second.startedPlayerPid();
    ASSERT_NE(secondPid, 0);
    EXPECT_NE(secondPid, firstPid);
    EXPECT_FALSE(processAlive(firstPid));
    // The new location's check runs a program of its own until it answers.
    ASSERT_TRUE(checked(*window));
    EXPECT_EQ(ownPlayers(), QList<qint64>{secondPid});
    EXPECT_EQ(playing(second), song);
    EXPECT_EQ(second.WinampIsPlaying(), PlayerLink::kPlaying);
    EXPECT_TRUE(window->playerActions().tbPlay->isChecked());

    ASSERT_TRUE(closeWindow(*window));
    EXPECT_TRUE(ownPlayers().isEmpty());
}

} // namespace
