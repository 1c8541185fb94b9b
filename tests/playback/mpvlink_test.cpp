#include "playback/mpvipc.h"
#include "playback/mpvlink.h"
#include "playback/mpvsocketpath.h"
#include "support/audiofiles.h"
#include "support/fakempvlistener.h"
#include "support/playerprocesses.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Sets an environment variable for the lifetime of the object.
class ScopedEnvironment
{
public:
    ScopedEnvironment(const char *name, const QByteArray &value)
        : m_name(name)
        , m_old(qgetenv(name))
        , m_hadOld(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ScopedEnvironment(const char *name, std::nullopt_t)
        : m_name(name)
        , m_old(qgetenv(name))
        , m_hadOld(qEnvironmentVariableIsSet(name))
    {
        qunsetenv(name);
    }
    ~ScopedEnvironment()
    {
        if (m_hadOld)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }
    ScopedEnvironment(const ScopedEnvironment &) = delete;
    ScopedEnvironment &operator=(const ScopedEnvironment &) = delete;

private:
    const char *m_name;
    QByteArray m_old;
    bool m_hadOld;
};

// Runs the event loop for `ms`.
void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Polls `condition` every 20 ms for at most `timeoutMs`.
bool waitUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        spin(20);
    }
    return true;
}

class MpvLinkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("mpv")).isEmpty())
            GTEST_SKIP() << "mpv is not installed";
        ASSERT_TRUE(dir.isValid());
        socket = dir.filePath(QStringLiteral("mpv.sock"));
        link = std::make_unique<MpvLink>(socket);
    }

    void TearDown() override
    {
        if (link)
            link->CloseWinamp();
#ifdef Q_OS_UNIX
        for (const qint64 pid : startedPids) {
            if (processAlive(pid))
                ::kill(static_cast<pid_t>(pid), SIGKILL);
        }
#endif
    }

    bool startPlayer()
    {
        if (!link->StartWinamp(QString()))
            return false;
        startedPids.push_back(playerPid());
        return true;
    }

    // Asks the player directly, on a connection of its own.
    QJsonValue property(const char *name)
    {
        MpvIpc probe(socket);
        return probe.request(QJsonArray{QStringLiteral("get_property"), QString::fromUtf8(name)})
            .data;
    }

    bool hasProperty(const char *name)
    {
        MpvIpc probe(socket);
        return probe.request(QJsonArray{QStringLiteral("get_property"), QString::fromUtf8(name)})
            .answered();
    }

    qint64 playerPid()
    {
        return property("pid").toInteger();
    }

    QString song(double seconds, const char *name = "song.wav")
    {
        return writeWavFile(dir.path(), QString::fromUtf8(name), seconds, WavContent::Tone);
    }

    void play(const QString &file)
    {
        link->WinampClearList();
        link->WinampAddFile(file);
        link->WinampStartPlay();
    }

    QTemporaryDir dir;
    ScopedEnvironment options{"VORN_MPV_OPTIONS", QByteArrayLiteral("--ao=null")};
    QString socket;
    std::unique_ptr<MpvLink> link;
    std::vector<qint64> startedPids;
};

TEST_F(MpvLinkTest, StartsThePlayerAndPlaysAFile)
{
    ASSERT_TRUE(startPlayer());
    EXPECT_TRUE(link->FindWinamp());
    EXPECT_EQ(link->WinampIsPlaying(), PlayerLink::kStopped);
    EXPECT_EQ(link->WinampGetPosition(), 0);

    play(song(3.0));
    EXPECT_EQ(link->WinampIsPlaying(), PlayerLink::kPlaying);
    const int first = link->WinampGetPosition();
    EXPECT_GT(first, 0);
    EXPECT_TRUE(waitUntil([&] { return link->WinampGetLength() == 3; }, 10000));
    EXPECT_TRUE(waitUntil([&] { return link->WinampGetPosition() >= first + 300; }, 10000));
    EXPECT_EQ(property("playlist-count").toInt(), 1);
}

TEST_F(MpvLinkTest, PauseHoldsThePositionAndPlayResumes)
{
    ASSERT_TRUE(startPlayer());
    play(song(3.0));
    ASSERT_TRUE(waitUntil([&] { return link->WinampGetPosition() >= 200; }, 10000));

    link->WinampClearList();
    link->WinampPauseButton();
    EXPECT_EQ(link->WinampIsPlaying(), PlayerLink::kPaused);
    const int held = link->WinampGetPosition();
    spin(300);
    EXPECT_EQ(link->WinampGetPosition(), held);

    link->WinampPlayButton();
    EXPECT_EQ(link->WinampIsPlaying(), PlayerLink::kPlaying);
    EXPECT_TRUE(waitUntil([&] { return link->WinampGetPosition() > held + 100; }, 10000));

    link->WinampPauseButton();
    link->WinampPauseButton();
    EXPECT_EQ(link->WinampIsPlaying(), PlayerLink::kPlaying);
}

TEST_F(MpvLinkTest, StopLeavesThePlayerIdle)
{
    ASSERT_TRUE(startPlayer());
    play(song(3.0));
    link->WinampPauseButton();
    link->WinampStopButton();
    EXPECT_EQ(link->WinampIsPlaying(), PlayerLink::kStopped);
    EXPECT_EQ(link->WinampGetPosition(), 0);
    EXPECT_EQ(link->WinampGetLength(), 0);

    // The next song starts playing although the last one was paused.
    play(song(3.0, "next.wav"));
    EXPECT_EQ(link->WinampIsPlaying(), PlayerLink::kPlaying);
}

TEST_F(MpvLinkTest, EndOfTheSongReadsAsPositionZero)
{
    ASSERT_TRUE(startPlayer());
    play(song(0.4));
    EXPECT_TRUE(waitUntil([&] { return link->WinampGetPosition() == 0; }, 10000));
    EXPECT_EQ(link->WinampIsPlaying(), PlayerLink::kStopped);
    EXPECT_EQ(link->WinampGetLength(), 0);
    // mpv holds the song at its end instead of closing it: closing waits for
    // the sound to play out, and mpv answers no query meanwhile.
    EXPECT_TRUE(hasProperty("path"));
    EXPECT_TRUE(property("eof-reached").toBool());

    // Play starts the ended song again.
    link->WinampPlayButton();
    EXPECT_EQ(link->WinampIsPlaying(), PlayerLink::kPlaying);
    EXPECT_TRUE(waitUntil([&] { return link->WinampGetPosition() >= 100; }, 10000));
}

// mpv reads eof-reached while the end of the sound still plays; a pause the
// user makes then is a pause, not the end.
TEST_F(MpvLinkTest, APauseInTheLastMomentOfASongIsAPause)
{
    ASSERT_TRUE(startPlayer());
    play(song(1.0));
    ASSERT_TRUE(waitUntil([&] { return property("eof-reached").toBool(); }, 10000));
    ASSERT_FALSE(property("pause").toBool()) << "the song ended before the pause";
    link->WinampPauseButton();
    EXPECT_EQ(link->WinampIsPlaying(), PlayerLink::kPaused);
    EXPECT_GT(link->WinampGetPosition(), 0);

    link->WinampPlayButton();
    EXPECT_TRUE(waitUntil([&] { return link->WinampGetPosition() == 0; }, 10000));
    EXPECT_EQ(link->WinampIsPlaying(), PlayerLink::kStopped);
}

TEST_F(MpvLinkTest, FileThatCannotPlayReadsAsEnded)
{
    ASSERT_TRUE(startPlayer());
    play(dir.filePath(QStringLiteral("missing.wav")));
    EXPECT_EQ(link->WinampGetPosition(), 0);
    EXPECT_EQ(link->WinampIsPlaying(), PlayerLink::kStopped);
}

#ifdef Q_OS_UNIX
// A FIFO (which once stood in for a slowly loading file) is no file the
// player may open: it is refused as a missing file is, and the player never
// opens it, so a writer finds no reader.
TEST_F(MpvLinkTest, AFifoIsRefusedAndNeverOpenedByThePlayer)
{
    ASSERT_TRUE(startPlayer());
    const QString pipe = dir.filePath(QStringLiteral("slow.wav"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    play(pipe);
    EXPECT_EQ(link->WinampGetPosition(), 0);
    EXPECT_EQ(link->WinampIsPlaying(), PlayerLink::kStopped);
    spin(300);
    const int writer = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
    EXPECT_EQ(writer, -1) << "the player opened the FIFO";
    if (writer >= 0)
        ::close(writer);
}
#endif

TEST_F(MpvLinkTest, FadeOutStopReturnsAfterTheFadeWithTheVolumeRestored)
{
    ASSERT_TRUE(startPlayer());
    for (int i = 0; i < 10; ++i)
        link->WinampVolumeDown();
    play(song(6.0));
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(100);

    QElapsedTimer clock;
    clock.start();
    link->WinampFadeOutStop();
    const qint64 elapsed = clock.elapsed();

    EXPECT_GE(elapsed, 1900);
    EXPECT_LT(elapsed, 6000);
    EXPECT_GE(ticks, 10) << "the application kept handling its events during the fade";
    EXPECT_EQ(link->WinampIsPlaying(), PlayerLink::kStopped);
    EXPECT_EQ(link->WinampGetPosition(), 0);
    EXPECT_DOUBLE_EQ(property("volume").toDouble(), 80.0);
}

TEST_F(MpvLinkTest, FadeOutOfAPausedSongStopsAtOnce)
{
    ASSERT_TRUE(startPlayer());
    play(song(3.0));
    link->WinampPauseButton();
    QElapsedTimer clock;
    clock.start();
    link->WinampFadeOutStop();
    EXPECT_LT(clock.elapsed(), 1500);
    EXPECT_EQ(link->WinampIsPlaying(), PlayerLink::kStopped);
}

TEST_F(MpvLinkTest, VolumeStepsByTwoWithinZeroToHundred)
{
    ASSERT_TRUE(startPlayer());
    ASSERT_DOUBLE_EQ(property("volume").toDouble(), 100.0);
    link->WinampVolumeUp();
    EXPECT_DOUBLE_EQ(property("volume").toDouble(), 100.0);
    link->WinampVolumeDown();
    EXPECT_DOUBLE_EQ(property("volume").toDouble(), 98.0);
    for (int i = 0; i < 60; ++i)
        link->WinampVolumeDown();
    EXPECT_DOUBLE_EQ(property("volume").toDouble(), 0.0);
    link->WinampVolumeUp();
    EXPECT_DOUBLE_EQ(property("volume").toDouble(), 2.0);
}

TEST_F(MpvLinkTest, LevelStepsByOneAndAHalfDecibelWithinItsRange)
{
    ASSERT_TRUE(startPlayer());
    link->WinampLevelUp();
    EXPECT_DOUBLE_EQ(link->outputLevel(), 1.5);
    for (int i = 0; i < 10; ++i)
        link->WinampLevelUp();
    EXPECT_DOUBLE_EQ(link->outputLevel(), 12.0);
    for (int i = 0; i < 30; ++i)
        link->WinampLevelDown();
    EXPECT_DOUBLE_EQ(link->outputLevel(), -24.0);

    play(song(3.0));
    link->WinampLevelUp();
    EXPECT_DOUBLE_EQ(link->outputLevel(), -22.5);

    // The level set while a song played holds for the next one.
    play(song(3.0, "next.wav"));
    const QJsonArray filters = property("af").toArray();
    ASSERT_EQ(filters.size(), 1);
    EXPECT_EQ(filters[0].toObject()[QLatin1String("label")].toString(),
              QStringLiteral("vornlevel"));
    EXPECT_EQ(filters[0]
                  .toObject()[QLatin1String("params")]
                  .toObject()[QLatin1String("volume")]
                  .toString(),
              QStringLiteral("-22.5dB"));
}

TEST_F(MpvLinkTest, RunningPlayerIsUsedInsteadOfStartingAnother)
{
    ASSERT_TRUE(startPlayer());
    const qint64 pid = playerPid();
    MpvLink other(socket);
    EXPECT_TRUE(other.StartWinamp(QStringLiteral("/nonexistent/mpv")));
    EXPECT_EQ(playerPid(), pid);
}

TEST_F(MpvLinkTest, CloseMakesThePlayerExit)
{
    ASSERT_TRUE(startPlayer());
    const qint64 pid = playerPid();
    ASSERT_GT(pid, 0);
    link->CloseWinamp();
    EXPECT_TRUE(waitUntil([&] { return !processAlive(pid); }, 10000));
    EXPECT_FALSE(link->FindWinamp());
}

#ifdef Q_OS_UNIX
TEST_F(MpvLinkTest, KilledPlayerIsGoneAtOnceAndCanBeStartedAgain)
{
    ASSERT_TRUE(startPlayer());
    play(song(3.0));
    const qint64 pid = playerPid();
    ::kill(static_cast<pid_t>(pid), SIGKILL);
    ASSERT_TRUE(waitUntil([&] { return !processAlive(pid); }, 10000));

    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(link->FindWinamp());
    EXPECT_FALSE(link->FindWinamp());
    EXPECT_EQ(link->WinampGetPosition(), 0);
    EXPECT_EQ(link->WinampIsPlaying(), PlayerLink::kStopped);
    EXPECT_EQ(link->WinampGetLength(), 0);
    EXPECT_LT(clock.elapsed(), 1000);

    ASSERT_TRUE(startPlayer());
    EXPECT_NE(playerPid(), pid);
    EXPECT_TRUE(link->FindWinamp());
}

TEST_F(MpvLinkTest, HungPlayerBlocksOnlyForTheBound)
{
    ASSERT_TRUE(startPlayer());
    const qint64 pid = playerPid();
    ::kill(static_cast<pid_t>(pid), SIGSTOP);
    ASSERT_TRUE(waitUntil([&] { return processState(pid) == 'T'; }, 10000));

    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(link->FindWinamp());
    EXPECT_LT(clock.elapsed(), 3000);
    clock.restart();
    EXPECT_EQ(link->WinampGetPosition(), 0);
    EXPECT_LT(clock.elapsed(), 1000) << "after one failure the player gets only a short wait";

    ::kill(static_cast<pid_t>(pid), SIGCONT);
    EXPECT_TRUE(waitUntil([&] { return link->FindWinamp(); }, 10000));
}
#endif

TEST_F(MpvLinkTest, PlayerThatExitsAtOnceIsNotWaitedFor)
{
    ScopedEnvironment badOptions("VORN_MPV_OPTIONS", QByteArrayLiteral("--no-such-option=1"));
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(link->StartWinamp(QString()));
    EXPECT_LT(clock.elapsed(), MpvLink::kStartTimeoutMs);
}

#ifdef Q_OS_UNIX
// Whatever else listens on the socket path, silent, babbling or flooding, is
// never taken for the player: the link starts its own player on a path no one
// holds, plays through it, and ends it when the link goes.
TEST_F(MpvLinkTest, AForeignListenerOnTheSocketPathIsNeverTakenForThePlayer)
{
    const QString file = song(3.0);
    for (const auto behaviour :
         {FakeMpvListener::Behaviour::Silent, FakeMpvListener::Behaviour::Garbage,
          FakeMpvListener::Behaviour::Flood}) {
        SCOPED_TRACE(static_cast<int>(behaviour));
        FakeMpvListener listener(socket, behaviour, 8 << 20);
        ASSERT_TRUE(listener.isListening());
        link = std::make_unique<MpvLink>(socket);

        QElapsedTimer clock;
        clock.start();
        ASSERT_TRUE(link->StartWinamp(QString()));
        EXPECT_LT(clock.elapsed(), 5000);
        EXPECT_FALSE(listener.receivedLines().isEmpty()) << "the listener was asked first";
        EXPECT_NE(link->socketPath(), socket);
        const qint64 pid = link->startedPlayerPid();
        ASSERT_GT(pid, 0);
        play(file);
        EXPECT_EQ(link->WinampIsPlaying(), PlayerLink::kPlaying);
        EXPECT_LE(link->peakBufferedBytes(), MpvIpc::kMaxLineBytes + MpvIpc::kReadChunkBytes);

        link.reset();
        EXPECT_FALSE(processAlive(pid)) << "the link's player ends with the link";
        EXPECT_TRUE(listener.isListening());
    }
    EXPECT_TRUE(ownPlayers().isEmpty());
}

// A player of ours that falls silent is ended by its process id before a new
// one starts: there is never a second player, even after the first wakes up.
TEST_F(MpvLinkTest, AStoppedPlayerIsEndedBeforeAnotherStarts)
{
    ASSERT_TRUE(startPlayer());
    const qint64 stalled = link->startedPlayerPid();
    ASSERT_GT(stalled, 0);
    play(song(3.0));
    ::kill(static_cast<pid_t>(stalled), SIGSTOP);
    ASSERT_TRUE(waitUntil([&] { return processState(stalled) == 'T'; }, 2000));

    EXPECT_EQ(link->WinampGetPosition(), 0);
    EXPECT_FALSE(link->FindWinamp());
    ASSERT_TRUE(link->StartWinamp(QString()));
    ::kill(static_cast<pid_t>(stalled), SIGCONT);
    EXPECT_FALSE(processAlive(stalled));
    EXPECT_EQ(ownPlayers(), QList<qint64>{link->startedPlayerPid()});
    EXPECT_TRUE(link->FindWinamp());
}

// A socket path longer than a socket name may be still reaches the player,
// and starting again and again never leaves a player behind.
TEST_F(MpvLinkTest, ALongSocketPathStillReachesThePlayerAndLeavesNoneBehind)
{
    const QString deep = dir.filePath(QString(60, QLatin1Char('d')) + QLatin1Char('/') +
                                      QString(60, QLatin1Char('e')));
    ASSERT_TRUE(QDir().mkpath(deep));
    const QString longSocket = QDir(deep).filePath(QStringLiteral("mpv.sock"));
    ASSERT_GT(QFile::encodeName(longSocket).size(), kMaxSocketPathBytes);
    link = std::make_unique<MpvLink>(longSocket);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(link->StartWinamp(QString()));
        EXPECT_EQ(ownPlayers().size(), 1);
        link->CloseWinamp();
        EXPECT_TRUE(ownPlayers().isEmpty());
        EXPECT_FALSE(QFile::exists(link->socketPath()));
    }
}

TEST_F(MpvLinkTest, ADestroyedLinkLeavesNoPlayerAndNoSocket)
{
    ASSERT_TRUE(startPlayer());
    const qint64 pid = link->startedPlayerPid();
    ASSERT_GT(pid, 0);
    play(song(3.0));
    link.reset();
    EXPECT_FALSE(processAlive(pid));
    EXPECT_FALSE(QFile::exists(socket));
}

// The player is handed only local regular files: folders, FIFOs, devices,
// sockets, URLs, protocols, EDL and nested play lists make it open nothing,
// and the user's settings and scripts stay out.
TEST_F(MpvLinkTest, OnlyLocalFilesReachThePlayer)
{
    ASSERT_TRUE(startPlayer());
    const QString wav = song(3.0);
    QFile nested(dir.filePath(QStringLiteral("nested.m3u")));
    ASSERT_TRUE(nested.open(QIODevice::WriteOnly));
    nested.write("#EXTM3U\n" + QFile::encodeName(wav) + "\n");
    nested.close();
    QFile edl(dir.filePath(QStringLiteral("cut.mp3")));
    ASSERT_TRUE(edl.open(QIODevice::WriteOnly));
    edl.write("# mpv EDL v0\n" + QFile::encodeName(wav) + ",0,1\n");
    edl.close();

    // Things that exist but are no regular file: a folder holding a song
    // (mpv would play what it holds), a FIFO and a device (mpv would wait on
    // them or read them without end) and a socket.
    const QString folder = dir.filePath(QStringLiteral("album"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::copy(wav, folder + QStringLiteral("/inside.wav")));
    const QString fifo = dir.filePath(QStringLiteral("fifo.mp3"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    const QStringList entries{
        folder,
        fifo,
        QStringLiteral("/dev/zero"),
        link->socketPath(),
        QStringLiteral("http://127.0.0.1:9/song.mp3"),
        QStringLiteral("av://lavfi:sine=frequency=440"),
        QStringLiteral("edl://") + wav + QStringLiteral(",0,1"),
        QStringLiteral("lavf://concat:") + wav + QLatin1Char('|') + wav,
        QStringLiteral("song.wav"),
        nested.fileName(),
        edl.fileName(),
    };
    for (const QString &entry : entries) {
        SCOPED_TRACE(entry.toStdString());
        play(wav);
        ASSERT_EQ(link->WinampIsPlaying(), PlayerLink::kPlaying);
        play(entry);
        EXPECT_TRUE(waitUntil([&] { return link->WinampIsPlaying() == PlayerLink::kStopped; }, 5000));
        EXPECT_EQ(link->WinampGetPosition(), 0);
        EXPECT_TRUE(waitUntil([&] { return !hasProperty("path"); }, 2000)) << "no file is open";
        // A play list that mpv expanded would have put the song in its list.
        for (const QJsonValue &item : property("playlist").toArray())
            EXPECT_NE(item.toObject().value(QLatin1String("filename")).toString(), wav);
    }
    EXPECT_FALSE(property("options/ytdl").toBool());
    EXPECT_FALSE(property("options/load-scripts").toBool());
    EXPECT_FALSE(property("options/config").toBool());
}
#endif

TEST_F(MpvLinkTest, StartsInTwoStepsWithTheCallerWorkingInBetween)
{
    // The first step returns with the player launched, not waited for.
    link->beginStart(QString());
    const qint64 launched = link->startedPlayerPid();
    ASSERT_NE(launched, 0);
    startedPids.push_back(launched);
    EXPECT_TRUE(processAlive(launched));
    ASSERT_TRUE(link->finishStart(QString()));
    EXPECT_EQ(playerPid(), launched);

    // A player that answers already is used again, whatever the path says.
    link->beginStart(QStringLiteral("/nonexistent/mpv"));
    EXPECT_TRUE(link->finishStart(QStringLiteral("/nonexistent/mpv")));
    EXPECT_EQ(playerPid(), launched);
    EXPECT_EQ(ownPlayers(), QList<qint64>{launched});
}

TEST_F(MpvLinkTest, AMissingPlayerFailsTheTwoStepStartAndLeavesNothingRunning)
{
    const QString missing = dir.filePath(QStringLiteral("no-such-player"));
    link->beginStart(missing);
    EXPECT_EQ(link->startedPlayerPid(), 0);
    EXPECT_FALSE(link->finishStart(missing));
    EXPECT_FALSE(link->FindWinamp());
    // Without a first step the second is the whole start.
    EXPECT_FALSE(link->finishStart(missing));
    EXPECT_TRUE(ownPlayers().isEmpty());
}

TEST_F(MpvLinkTest, WithoutPlayerEverythingIsHarmlessAndQuick)
{
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(link->StartWinamp(dir.filePath(QStringLiteral("no-such-player"))));
    EXPECT_FALSE(link->FindWinamp());
    link->WinampClearList();
    link->WinampAddFile(song(1.0));
    link->WinampStartPlay();
    link->WinampPlayButton();
    link->WinampPauseButton();
    link->WinampStopButton();
    link->WinampFadeOutStop();
    link->WinampVolumeUp();
    link->WinampVolumeDown();
    link->WinampLevelUp();
    link->WinampLevelDown();
    EXPECT_EQ(link->WinampIsPlaying(), 0);
    EXPECT_EQ(link->WinampGetPosition(), 0);
    EXPECT_EQ(link->WinampGetLength(), 0);
    EXPECT_DOUBLE_EQ(link->outputLevel(), 0.0);
    link->CloseWinamp();
    EXPECT_LT(clock.elapsed(), 1500);
}

#ifdef Q_OS_UNIX
TEST(MpvLinkSocket, IsPerProgramFolderInTheRuntimeFolderElseInAPrivateTemporaryFolder)
{
    QTemporaryDir runtime;
    QTemporaryDir temp;
    const QString a = QStringLiteral("/srv/music/a");
    const QString b = QStringLiteral("/srv/music/b");
    ScopedEnvironment tmp("TMPDIR", QFile::encodeName(temp.path()));
    {
        ScopedEnvironment xdg("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        EXPECT_EQ(QFileInfo(mpvSocketPathFor(a)).path(), runtime.path());
        EXPECT_NE(mpvSocketPathFor(a), mpvSocketPathFor(b));
        EXPECT_EQ(mpvSocketPathFor(a), mpvSocketPathFor(a + QLatin1Char('/')));
    }
    ScopedEnvironment xdg("XDG_RUNTIME_DIR", std::nullopt);
    const QString path = mpvSocketPathFor(a);
    const QString folder = QFileInfo(path).path();
    EXPECT_EQ(QFileInfo(folder).path(), temp.path());
    EXPECT_NE(mpvSocketPathFor(a), mpvSocketPathFor(b));
    struct stat info;
    ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(info.st_uid, ::getuid());

    // A folder of that name that others may enter is made private first.
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
    EXPECT_EQ(mpvSocketPathFor(a), path);
    ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(MpvLinkSocket, APathTooLongForASocketIsReplacedByAShortPrivateOne)
{
    const QString longPath =
        QStringLiteral("/tmp/") + QString(120, QLatin1Char('d')) + QStringLiteral("/mpv.sock");
    const QString fitted = fitSocketPath(longPath);
    EXPECT_LE(QFile::encodeName(fitted).size(), kMaxSocketPathBytes);
    EXPECT_EQ(fitSocketPath(longPath), fitted) << "the same long path, the same short one";
    EXPECT_NE(fitSocketPath(longPath + QLatin1Char('2')), fitted);
    EXPECT_EQ(fitSocketPath(QStringLiteral("/run/x.sock")), QStringLiteral("/run/x.sock"));
    EXPECT_EQ(MpvLink(longPath).socketPath(), fitted);
}
#endif

#ifdef Q_OS_UNIX
// A peer that streams without line ends is cut off at the line cap: the
// request fails cleanly, and what the link holds stays bounded.
TEST(MpvIpcTest, AnEndlessLineIsCutOffAndWhatIsHeldStaysBounded)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flood.sock"));
    FakeMpvListener listener(path, FakeMpvListener::Behaviour::Flood, 8 << 20);
    ASSERT_TRUE(listener.isListening());
    MpvIpc ipc(path);
    QElapsedTimer clock;
    clock.start();
    const MpvIpc::Reply reply =
        ipc.request(QJsonArray{QStringLiteral("get_property"), QStringLiteral("pid")}, 10000);
    EXPECT_LT(clock.elapsed(), 5000);
    if (reply.answered())
        EXPECT_EQ(reply.data.toInt(), 7);
    else
        EXPECT_EQ(reply.outcome, MpvIpc::Outcome::NoAnswer);
    EXPECT_LE(ipc.peakBufferedBytes(), MpvIpc::kMaxLineBytes + MpvIpc::kReadChunkBytes);
    EXPECT_FALSE(ipc.isConnected()) << "a peer past the cap is dropped";
}

// After a request went unanswered the connection is dropped, so the late
// answer of a slow peer is never read as the answer to the next request.
TEST(MpvIpcTest, AnUnansweredRequestDropsTheConnection)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("silent.sock"));
    FakeMpvListener listener(path, FakeMpvListener::Behaviour::Silent);
    ASSERT_TRUE(listener.isListening());
    MpvIpc ipc(path);
    EXPECT_EQ(
        ipc.request(QJsonArray{QStringLiteral("get_property"), QStringLiteral("pid")}, 300).outcome,
        MpvIpc::Outcome::NoAnswer);
    EXPECT_FALSE(ipc.isConnected());
}
#endif

TEST(MpvLinkName, IsMpv)
{
    EXPECT_EQ(MpvLink(QStringLiteral("/nonexistent/socket")).playerName(), QStringLiteral("mpv"));
}

} // namespace
