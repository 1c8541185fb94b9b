// The sequencer and the monitor driving the real mpv (without a sound card:
// --ao=null plays in real time). The monitor's ticks are called by the test;
// every wait has a deadline.
#include "library/playlistlibrarymodel.h"
#include "library/songlistmodel.h"
#include "playback/mpvipc.h"
#include "playback/mpvlink.h"
#include "playback/playbacksequencer.h"
#include "playback/playeractions.h"
#include "playback/playmonitor.h"
#include "support/audiofiles.h"
#include "support/playerprocesses.h"
#include "support/playlistfiles.h"
#include "support/recordingdisplay.h"
#include "support/scripteddialogs.h"
#include "support/nullaudiompv.h"

#include <QAction>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QItemSelectionModel>
#include <QJsonArray>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <csignal>
#include <functional>

namespace {

class PlaybackEndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!NullAudioMpv::installed())
            GTEST_SKIP() << "mpv is not installed";
        library.addEntry({QStringLiteral("Three"), QString(), QString()});
        link = std::make_unique<MpvLink>(dir.filePath(QStringLiteral("mpv.sock")));
        sequencer = std::make_unique<PlaybackSequencer>(*link, songs, selection, library, actions,
                                                        display, dialogs);
        PlaybackSequencer::Hooks hooks;
        hooks.processEvents = [] { QCoreApplication::processEvents(); };
        sequencer->setHooks(hooks);
        monitor = std::make_unique<PlayMonitor>(*sequencer, songs, display);
        ASSERT_TRUE(sequencer->linkPlayer());
    }

    void TearDown() override
    {
        if (link)
            link->CloseWinamp();
    }

    void addSongs(int count, double seconds)
    {
        for (int i = 1; i <= count; ++i) {
            const QString file = writeWavFile(dir.path(), QStringLiteral("song%1.wav").arg(i),
                                              seconds, WavContent::Tone);
            songs.appendRow(songRow(QStringLiteral("Song %1").arg(i), {}, {}, file));
        }
    }

    // Ticks the monitor every 100 ms, as its timer would while it runs, until
    // `done` or the deadline; records each row that starts playing.
    bool tickUntil(const std::function<bool()> &done, int timeoutMs)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!deadline.hasExpired()) {
            if (done())
                return true;
            wait(100);
            if (sequencer->tmrMonitor()->isActive()) {
                monitor->tmrMonitor_Timer();
                if (started.isEmpty() || started.last() != songs.CurrentSong())
                    started << songs.CurrentSong();
            }
        }
        return done();
    }

    static void wait(int ms)
    {
        QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(5);
        }
    }

    void click(QAction *button) { sequencer->tbPlayer_ButtonClick(button->objectName()); }
    // The file the player holds, asked on a connection of its own.
    QString playerPath() const
    {
        MpvIpc probe(link->socketPath());
        return probe.request(QJsonArray{QStringLiteral("get_property"), QStringLiteral("path")})
            .data.toString();
    }
    void reportInto(QStringList &reports)
    {
        PlaybackSequencer::Hooks hooks;
        hooks.processEvents = [] { QCoreApplication::processEvents(); };
        hooks.reportTrouble = [&reports](const QString &text) { reports << text; };
        sequencer->setHooks(hooks);
    }
    bool stopped() const { return !sequencer->tmrMonitor()->isActive(); }

    QTemporaryDir dir;
    QObject owner;
    PlayerActions actions = PlayerActions::create(&owner);
    SongListModel songs;
    QItemSelectionModel selection{&songs};
    PlayListLibraryModel library;
    RecordingDisplay display;
    ScriptedDialogs dialogs;
    std::unique_ptr<MpvLink> link;
    std::unique_ptr<PlaybackSequencer> sequencer;
    std::unique_ptr<PlayMonitor> monitor;
    QList<int> started;

private:
    NullAudioMpv m_nullAudio;
};

TEST_F(PlaybackEndToEndTest, ThreeSongsPlayInOrderAndPlaybackStopsAfterTheLast)
{
    addSongs(3, 0.8);
    click(actions.tbPlay);
    started << songs.CurrentSong();
    ASSERT_TRUE(tickUntil([this] { return stopped(); }, 30000));
    EXPECT_EQ(started, (QList<int>{1, 2, 3}));
    EXPECT_EQ(songs.CurrentSong(), 3);
    EXPECT_EQ(link->WinampIsPlaying(), PlayerLink::kStopped);
}

TEST_F(PlaybackEndToEndTest, WithRepeatTheListWrapsToTheFirstSong)
{
    addSongs(2, 0.8);
    actions.tbRepeat->setChecked(true);
    click(actions.tbPlay);
    started << songs.CurrentSong();
    ASSERT_TRUE(tickUntil([this] { return started.size() >= 3; }, 30000));
    EXPECT_EQ(started.mid(0, 3), (QList<int>{1, 2, 1}));
    click(actions.tbStop);
    EXPECT_TRUE(stopped());
}

TEST_F(PlaybackEndToEndTest, PauseHoldsThePosition)
{
    addSongs(1, 5.0);
    click(actions.tbPlay);
    ASSERT_TRUE(tickUntil([this] { return link->WinampGetPosition() > 400; }, 10000));
    click(actions.tbPause);
    wait(200);
    const int held = link->WinampGetPosition();
    tickUntil([] { return false; }, 600); // the monitor keeps ticking while paused
    EXPECT_NEAR(link->WinampGetPosition(), held, 50);
    EXPECT_EQ(link->WinampIsPlaying(), PlayerLink::kPaused);
    EXPECT_FALSE(stopped()); // no end of song while paused
    click(actions.tbPlay);
    ASSERT_TRUE(tickUntil([&] { return link->WinampGetPosition() > held + 200; }, 10000));
}

TEST_F(PlaybackEndToEndTest, FadeOutAndStopReturnsOnlyAfterTheFade)
{
    addSongs(1, 6.0);
    click(actions.tbPlay);
    ASSERT_TRUE(tickUntil([this] { return link->WinampGetPosition() > 200; }, 10000));
    QElapsedTimer clock;
    clock.start();
    sequencer->tbPlayer_ButtonMenuClick(actions.tbbFadeOut->objectName());
    EXPECT_GE(clock.elapsed(), 1800);
    EXPECT_LT(clock.elapsed(), 6000);
    EXPECT_TRUE(stopped());
    EXPECT_EQ(link->WinampIsPlaying(), PlayerLink::kStopped);
    EXPECT_EQ(songs.row(0).tag(), QStringLiteral("*"));
}

TEST_F(PlaybackEndToEndTest, APlayerKilledAgainAndAgainIsBroughtBackAndTheMusicGoesOn)
{
    QStringList reports;
    PlaybackSequencer::Hooks hooks;
    hooks.processEvents = [] { QCoreApplication::processEvents(); };
    hooks.reportTrouble = [&](const QString &text) { reports << text; };
    sequencer->setHooks(hooks);
    addSongs(4, 30.0);
    click(actions.tbPlay);

    // Each kill comes as soon as the player plays again, so the three fall
    // within a few seconds; the restarts run on their own timer meanwhile.
    QElapsedTimer sinceFirstKill;
    for (int song = 1; song <= 3; ++song) {
        ASSERT_TRUE(tickUntil(
            [&] {
                return songs.CurrentSong() == song && link->FindWinamp() &&
                       link->WinampGetPosition() > 200;
            },
            15000))
            << "song " << song;
        MpvIpc probe(link->socketPath());
        const qint64 pid =
            probe.request(QJsonArray{QStringLiteral("get_property"), QStringLiteral("pid")})
                .data.toInteger();
        ASSERT_GT(pid, 0);
        if (song == 1)
            sinceFirstKill.start();
        ::kill(static_cast<pid_t>(pid), SIGKILL);
    }
    const qint64 killSpan = sinceFirstKill.elapsed();
    EXPECT_LT(killSpan, 10'000) << "three deaths within ten seconds";

    // The music goes on with the row after the one that played at each death.
    ASSERT_TRUE(tickUntil(
        [&] {
            return songs.CurrentSong() == 4 && link->FindWinamp() &&
                   link->WinampGetPosition() > 200;
        },
        15000));
    RecordProperty("killSpanMs", static_cast<int>(killSpan));
    EXPECT_EQ(started, (QList<int>{1, 2, 3, 4}));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(sequencer->PlayerLinked());
    EXPECT_EQ(reports.size(), 6); // each death and each return
    EXPECT_TRUE(reports.first().startsWith(QStringLiteral("mpv stopped unexpectedly")));
    click(actions.tbStop);
    EXPECT_TRUE(stopped());
}

// A VORN started again after a crash finds the player the old one left
// playing; it shows nothing playing, so linking stops that player (the same
// process: no second player starts).
TEST_F(PlaybackEndToEndTest, APlayerLeftPlayingByAnEarlierVornIsStoppedWhenTheNextOneLinksIt)
{
    addSongs(1, 30.0);
    click(actions.tbPlay);
    ASSERT_TRUE(tickUntil([this] { return link->WinampGetPosition() > 200; }, 10000));
    const qint64 player = link->startedPlayerPid();
    ASSERT_GT(player, 0);

    MpvLink nextLink(link->socketPath());
    QObject nextOwner;
    PlayerActions nextActions = PlayerActions::create(&nextOwner);
    SongListModel nextSongs;
    QItemSelectionModel nextSelection{&nextSongs};
    PlayListLibraryModel nextLibrary;
    RecordingDisplay nextDisplay;
    ScriptedDialogs nextDialogs;
    PlaybackSequencer next(nextLink, nextSongs, nextSelection, nextLibrary, nextActions,
                           nextDisplay, nextDialogs);
    nextActions.tbStop->setChecked(true);
    // The start-up's way: the player is launched, the lists load, then the
    // link is finished.
    next.beginLinkingPlayer();
    ASSERT_TRUE(next.finishLinkingPlayer());

    EXPECT_EQ(nextLink.WinampIsPlaying(), PlayerLink::kStopped);
    EXPECT_LE(nextLink.WinampGetPosition(), 0);
    MpvIpc probe(nextLink.socketPath());
    EXPECT_EQ(probe.request(QJsonArray{QStringLiteral("get_property"), QStringLiteral("pid")})
                  .data.toInteger(),
              player);
    EXPECT_EQ(ownPlayers(), QList<qint64>{player});
    EXPECT_TRUE(nextDialogs.messages.empty());
}

// A player that stalls mid-song (SIGSTOP) is ended by its process id and the
// music resumes with the next song through a fresh player within a few
// seconds; when the stalled one wakes up, there is still only one player.
TEST_F(PlaybackEndToEndTest, AStalledPlayerIsReplacedAndTheMusicResumesWithOnePlayerOnly)
{
    addSongs(2, 8.0);
    click(actions.tbPlay);
    ASSERT_TRUE(tickUntil([this] { return link->WinampGetPosition() > 200; }, 10000));
    const qint64 stalled = link->startedPlayerPid();
    ASSERT_GT(stalled, 0);
    ::kill(static_cast<pid_t>(stalled), SIGSTOP);

    // The stall is noticed when one request goes unanswered; the fresh player
    // then has its own start time. Both bounds are the link's promises.
    constexpr int kReplacedWithinMs = MpvIpc::kRequestTimeoutMs + MpvLink::kStartTimeoutMs;
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(tickUntil(
        [&] {
            return link->startedPlayerPid() != stalled && link->WinampGetPosition() > 200 &&
                   link->WinampIsPlaying() == PlayerLink::kPlaying;
        },
        kReplacedWithinMs));
    EXPECT_LT(clock.elapsed(), kReplacedWithinMs);
    ::kill(static_cast<pid_t>(stalled), SIGCONT);
    EXPECT_FALSE(processAlive(stalled));
    EXPECT_EQ(ownPlayers(), QList<qint64>{link->startedPlayerPid()});
    EXPECT_EQ(songs.CurrentSong(), 2);
    EXPECT_TRUE(dialogs.messages.empty());
    click(actions.tbStop);
}

// Next pressed while the player is stalled restarts it, and the restart
// carries the command out once: the song after the one that played plays,
// not the one after that.
TEST_F(PlaybackEndToEndTest, NextOnAStalledPlayerPlaysTheSongAfterTheOneThatPlayed)
{
    QStringList reports;
    reportInto(reports);
    addSongs(3, 8.0);
    click(actions.tbPlay);
    ASSERT_TRUE(tickUntil([this] { return link->WinampGetPosition() > 200; }, 10000));
    const qint64 stalled = link->startedPlayerPid();
    ASSERT_GT(stalled, 0);
    ::kill(static_cast<pid_t>(stalled), SIGSTOP);

    click(actions.tbNext);
    ASSERT_TRUE(tickUntil(
        [&] {
            return link->startedPlayerPid() != stalled && link->WinampGetPosition() > 200 &&
                   link->WinampIsPlaying() == PlayerLink::kPlaying;
        },
        MpvIpc::kRequestTimeoutMs * 2 + MpvLink::kStartTimeoutMs + 2000));
    ::kill(static_cast<pid_t>(stalled), SIGCONT);
    EXPECT_EQ(songs.CurrentSong(), 2);
    EXPECT_EQ(playerPath(), songs.row(1).field(chFile));
    EXPECT_EQ(reports.value(1), QStringLiteral("mpv started again; playing the song asked for"));
    EXPECT_FALSE(processAlive(stalled));
    click(actions.tbStop);
}

// Entries that name no regular file are skipped like missing files, with a
// note in the log; the player is never given them.
TEST_F(PlaybackEndToEndTest, AFolderAndAFifoAreSkippedAndNeverReachThePlayer)
{
    QStringList reports;
    reportInto(reports);
    addSongs(1, 0.8);
    const QString folder = dir.filePath(QStringLiteral("album.mp3"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_FALSE(writeWavFile(folder, QStringLiteral("inside.wav"), 0.8).isEmpty());
    const QString fifo = dir.filePath(QStringLiteral("fifo.wav"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    songs.appendRow(songRow(QStringLiteral("Folder"), {}, {}, folder));
    songs.appendRow(songRow(QStringLiteral("Fifo"), {}, {}, fifo));
    const QString last =
        writeWavFile(dir.path(), QStringLiteral("last.wav"), 0.8, WavContent::Tone);
    songs.appendRow(songRow(QStringLiteral("Last"), {}, {}, last));

    QStringList given;
    click(actions.tbPlay);
    ASSERT_TRUE(tickUntil(
        [&] {
            const QString path = playerPath();
            if (!path.isEmpty() && !given.contains(path))
                given << path;
            return stopped();
        },
        15000));
    EXPECT_EQ(started, (QList<int>{1, 2, 3, 4}));
    EXPECT_EQ(given, (QStringList{songs.row(0).field(chFile), last}));
    EXPECT_EQ(reports, (QStringList{QStringLiteral("Skipped %1: not a regular file").arg(folder),
                                    QStringLiteral("Skipped %1: not a regular file").arg(fifo)}));
}

} // namespace
