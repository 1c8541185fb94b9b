#include <QtGlobal>

#ifdef Q_OS_UNIX

#include "shell/signalwatcher.h"
#include "support/audiofiles.h"
#include "support/playerprocesses.h"
#include "support/waitfor.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

#include <sys/stat.h>

namespace {


TEST(SignalWatcherTest, ASignalArrivesAsAQtSignalAndTheOldHandlerReturnsAfterwards)
{
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGUSR2, &ignore, nullptr), 0);
    {
        SignalWatcher watcher({SIGUSR2});
        QList<int> received;
        QObject::connect(&watcher, &SignalWatcher::signalled,
                         [&](int number) { received << number; });
        ::raise(SIGUSR2);
        ::raise(SIGUSR2);
        EXPECT_TRUE(waitFor([&] { return received.size() == 2; }, 2000));
        EXPECT_EQ(received, (QList<int>{SIGUSR2, SIGUSR2}));
    }
    struct sigaction now = {};
    ASSERT_EQ(::sigaction(SIGUSR2, nullptr, &now), 0);
    EXPECT_EQ(now.sa_handler, SIG_IGN);
}

// The built program, ended by a signal: it ends as closing does, without
// questions, its player with it, and the working copies stay with the
// unsaved work. Killed outright, it still takes its player with it.
class VornProcessTest : public ::testing::TestWithParam<int>
{
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("mpv")).isEmpty())
            GTEST_SKIP() << "mpv is not installed";
        ASSERT_TRUE(home.isValid());
        runtime = home.filePath(QStringLiteral("run"));
        ASSERT_TRUE(QDir().mkpath(runtime));
        ::chmod(QFile::encodeName(runtime).constData(), 0700);
        const QString wav =
            writeWavFile(home.path(), QStringLiteral("a.wav"), 1.0, WavContent::Tone);
        stored = "Song\xff"
                 "Artist\xff"
                 "\xff"
                 "\xff"
                 "00:01\xff" +
                 QFile::encodeName(wav) + "\xff\r\n";
        QFile list(home.filePath(QStringLiteral("A.sdf")));
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write(stored);
    }

    void TearDown() override
    {
        if (vorn.state() != QProcess::NotRunning) {
            vorn.kill();
            vorn.waitForFinished(5000);
        }
    }

    QList<qint64> players() const { return processesMentioning(QFile::encodeName(runtime)); }

    // Starts VORN and waits until its player runs and the play list is loaded.
    void startVorn()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VORN_HOME"), home.path());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        environment.insert(QStringLiteral("VORN_MPV_OPTIONS"), QStringLiteral("--ao=null"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        vorn.setProcessEnvironment(environment);
        vorn.setProgram(QStringLiteral(VORN_PROGRAM));
        vorn.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        vorn.setStandardOutputFile(QProcess::nullDevice());
        vorn.start();
        ASSERT_TRUE(vorn.waitForStarted(5000));
        ASSERT_TRUE(waitFor([this] { return players().size() == 1; }, 20000));
        ASSERT_TRUE(waitFor(
            [this] { return QFile::exists(home.filePath(QStringLiteral("A.tmp"))); }, 10000));
    }

    QByteArray workingCopy() const
    {
        QFile file(home.filePath(QStringLiteral("A.tmp")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir home;
    QString runtime;
    QByteArray stored;
    QProcess vorn;
};

TEST_P(VornProcessTest, EndsAsClosingDoesWithoutQuestionsAndKeepsTheWorkingCopies)
{
    startVorn();
    ::kill(static_cast<pid_t>(vorn.processId()), GetParam());
    ASSERT_TRUE(vorn.waitForFinished(15000));
    EXPECT_EQ(vorn.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(vorn.exitCode(), 0);
    EXPECT_TRUE(players().isEmpty());
    EXPECT_EQ(workingCopy(), stored);
    EXPECT_TRUE(QDir(runtime).entryList(QDir::System | QDir::Files).isEmpty())
        << "the control socket is removed";
}

INSTANTIATE_TEST_SUITE_P(Signals, VornProcessTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const ::testing::TestParamInfo<int> &info) {
                             switch (info.param) {
                             case SIGTERM:
                                 return std::string("SIGTERM");
                             case SIGINT:
                                 return std::string("SIGINT");
                             default:
                                 return std::string("SIGHUP");
                             }
                         });

class VornKilledTest : public VornProcessTest
{
};

TEST_F(VornKilledTest, AKilledVornTakesItsPlayerWithIt)
{
    startVorn();
    ::kill(static_cast<pid_t>(vorn.processId()), SIGKILL);
    ASSERT_TRUE(vorn.waitForFinished(5000));
    EXPECT_TRUE(waitFor([this] { return players().isEmpty(); }, 3000));
}

} // namespace

#endif
