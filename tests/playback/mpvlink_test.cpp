#include "playback/mpvipc.h"
#include "playback/mpvlink.h"
#include "support/audiofiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
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
#include <sys/stat.h>
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

// The process state letter of /proc/<pid>/stat; 0 when there is no process.
char processState(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close < 0 || close + 2 >= text.size() ? '?' : text.at(close + 2);
}

bool processAlive(qint64 pid)
{
    const char state = processState(pid);
    return state != 0 && state != 'Z' && state != 'X';
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
    EXPECT_EQ(link->WinampGetLength(), 3);
    EXPECT_EQ(link->WinampIsPlaying(), PlayerLink::kPlaying);
    const int first = link->WinampGetPosition();
    EXPECT_GT(first, 0);
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
}

TEST_F(MpvLinkTest, FileThatCannotPlayReadsAsEnded)
{
    ASSERT_TRUE(startPlayer());
    play(dir.filePath(QStringLiteral("missing.wav")));
    EXPECT_EQ(link->WinampGetPosition(), 0);
    EXPECT_EQ(link->WinampIsPlaying(), PlayerLink::kStopped);
}

#ifdef Q_OS_UNIX
TEST_F(MpvLinkTest, SlowStartIsNotTakenForTheEndOfTheSong)
{
    ASSERT_TRUE(startPlayer());
    // A pipe gives its data only when written: the file stays loading.
    const QString pipe = dir.filePath(QStringLiteral("slow.wav"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    play(pipe);
    EXPECT_GT(link->WinampGetPosition(), 0);
    EXPECT_EQ(link->WinampIsPlaying(), PlayerLink::kPlaying);

    QFile source(song(1.2));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    QFile writer(pipe);
    ASSERT_TRUE(writer.open(QIODevice::WriteOnly));
    writer.write(source.readAll());
    writer.close();
    EXPECT_TRUE(waitUntil([&] { return link->WinampGetPosition() > 100; }, 10000));
    EXPECT_TRUE(waitUntil([&] { return link->WinampGetPosition() == 0; }, 10000));
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

TEST(MpvLinkSocket, LivesInTheRuntimeFolderElseTheProgramFolder)
{
    QTemporaryDir runtime;
    QTemporaryDir home;
    ScopedEnvironment vornHome("VORN_HOME", QFile::encodeName(home.path()));
    {
        ScopedEnvironment xdg("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        EXPECT_EQ(defaultMpvSocketPath(),
                  QDir(runtime.path()).filePath(QStringLiteral("vorn-mpv.sock")));
    }
    ScopedEnvironment xdg("XDG_RUNTIME_DIR", std::nullopt);
    EXPECT_EQ(defaultMpvSocketPath(), QDir(home.path()).filePath(QStringLiteral("vorn-mpv.sock")));
}

TEST(MpvLinkName, IsMpv)
{
    EXPECT_EQ(MpvLink(QStringLiteral("/nonexistent/socket")).playerName(), QStringLiteral("mpv"));
}

} // namespace
