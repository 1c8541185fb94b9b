// VORN under remote control end to end: the real playerctl on a bus of the
// test's own drives the main window, which plays through the real mpv
// (--ao=null). Each command is checked against VORN's state and against what
// mpv itself says it plays. Every wait has a deadline.
#include "library/songlistmodel.h"
#include "playback/mpvipc.h"
#include "playback/mpvlink.h"
#include "playback/playbacksequencer.h"
#include "playback/playeractions.h"
#include "playback/playertoolbar.h"
#include "remote/mprisnames.h"
#include "support/audiofiles.h"
#include "support/frmmainfixture.h"
#include "support/privatebus.h"

#include <QAction>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

#include <functional>

namespace {

class MprisEndToEndTest : public frmMainFixture
{
protected:
    void SetUp() override
    {
        for (const char *program : {"mpv", "playerctl", "dbus-daemon"}) {
            if (QStandardPaths::findExecutable(QLatin1String(program)).isEmpty())
                GTEST_SKIP() << program << " is not installed";
        }
        ASSERT_TRUE(bus.isRunning());
        m_oldOptions = qgetenv("VORN_MPV_OPTIONS");
        qputenv("VORN_MPV_OPTIONS", "--ao=null");

        QByteArray list;
        for (int i = 1; i <= 3; ++i) {
            files << writeWavFile(dir.path(), QStringLiteral("song %1.wav").arg(i), 20.0,
                                  WavContent::Tone);
            for (const QString &field :
                 {QStringLiteral("Song %1").arg(i), QStringLiteral("Artist %1").arg(i),
                  QStringLiteral("Album"), QString(), QStringLiteral("00:20"), files.last()})
                list += field.toUtf8() + '\xFF';
            list += "\r\n";
        }
        writeBytes(path(QStringLiteral("Rock.sdf")), list);

        auto player = std::make_unique<MpvLink>(dir.filePath(QStringLiteral("mpv.sock")));
        mpv = player.get();
        window = std::make_unique<frmMain>(dir.path(), *settings, dialogs, std::move(player));
        window->show();
        window->tmrInit_Timer();
        ASSERT_TRUE(window->PlayerLinked());
        ASSERT_EQ(window->publishRemoteControl(bus.connect(QStringLiteral("vorn"))),
                  QLatin1String(Mpris::kServiceName));
    }

    void TearDown() override
    {
        if (window) {
            window->close();
            window.reset();
        }
        qputenv("VORN_MPV_OPTIONS", m_oldOptions);
    }

    // Runs playerctl for this VORN on the private bus, keeping VORN's event
    // loop running meanwhile; its output, trimmed.
    QString playerctl(const QStringList &arguments)
    {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(QStringLiteral("playerctl"),
                      QStringList{QStringLiteral("--player=vorn")} + arguments);
        QDeadlineTimer deadline(15000);
        while (process.state() != QProcess::NotRunning && !deadline.hasExpired())
            spin(20);
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(2000);
            ADD_FAILURE() << "playerctl " << arguments.join(' ').toStdString() << " hung";
            return {};
        }
        EXPECT_EQ(process.exitCode(), 0) << "playerctl " << arguments.join(' ').toStdString()
                                         << ": " << process.readAllStandardError().toStdString();
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
        return env;
    }

    // What mpv itself reports.
    QJsonValue mpvProperty(const char *name)
    {
        MpvIpc probe(mpv->socketPath());
        return probe.request(QJsonArray{QStringLiteral("get_property"), QLatin1String(name)}).data;
    }
    QString mpvPath() { return mpvProperty("path").toString(); }
    bool mpvPaused() { return mpvProperty("pause").toBool(); }

    static void spin(int ms)
    {
        QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(2);
        }
    }

    static bool waitFor(const std::function<bool()> &done, int timeoutMs = 10000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!done() && !deadline.hasExpired())
            spin(20);
        return done();
    }

    int currentSong() { return window->songs().CurrentSong(); }
    bool monitorRunning() { return window->sequencer().tmrMonitor()->isActive(); }

    PrivateBus bus;
    QStringList files;
    MpvLink *mpv = nullptr;
    std::unique_ptr<frmMain> window;

private:
    QByteArray m_oldOptions;
};

TEST_F(MprisEndToEndTest, PlayerctlDrivesVornAndMpvPlaysWhatVornSays)
{
    const PlayerActions &actions = window->playerActions();
    auto *library = window->findChild<QTreeView *>(QStringLiteral("lvPlayLists"));
    EXPECT_EQ(playerctl({QStringLiteral("status")}), QStringLiteral("Stopped"));

    playerctl({QStringLiteral("play")});
    ASSERT_TRUE(waitFor([&] { return mpvPath() == files[0] && !mpvPaused(); }));
    EXPECT_EQ(currentSong(), 1);
    EXPECT_TRUE(actions.tbPlay->isChecked());
    EXPECT_FALSE(library->isEnabled()); // locked while music plays
    EXPECT_EQ(playerctl({QStringLiteral("status")}), QStringLiteral("Playing"));

    // The length is the player's, once the song plays.
    ASSERT_TRUE(waitFor([&] { return window->sequencer().SongLength() == 20; }));
    EXPECT_EQ(playerctl({QStringLiteral("metadata"), QStringLiteral("--format"),
                         QStringLiteral(
                             "{{title}}|{{artist}}|{{album}}|{{mpris:length}}|{{xesam:url}}")}),
              QStringLiteral("Song 1|Artist 1|Album|%1|%2")
                  .arg(qint64(window->sequencer().SongLength()) * 1'000'000)
                  .arg(QUrl::fromLocalFile(files[0]).toString(QUrl::FullyEncoded)));

    ASSERT_TRUE(waitFor([&] { return mpvProperty("time-pos").toDouble() > 1.0; }));
    const double before = mpvProperty("time-pos").toDouble();
    const double position = playerctl({QStringLiteral("position")}).toDouble();
    const double after = mpvProperty("time-pos").toDouble();
    EXPECT_GE(position, before - 0.1);
    EXPECT_LE(position, after + 0.1);

    playerctl({QStringLiteral("pause")});
    ASSERT_TRUE(waitFor([&] { return mpvPaused(); }));
    EXPECT_EQ(mpv->WinampIsPlaying(), PlayerLink::kPaused);
    EXPECT_TRUE(actions.tbPause->isChecked());
    EXPECT_EQ(playerctl({QStringLiteral("status")}), QStringLiteral("Paused"));
    // Pause again is no toggle: the song stays paused.
    playerctl({QStringLiteral("pause")});
    spin(300);
    EXPECT_TRUE(mpvPaused());

    // Play resumes the same file.
    playerctl({QStringLiteral("play")});
    ASSERT_TRUE(waitFor([&] { return !mpvPaused(); }));
    EXPECT_EQ(mpvPath(), files[0]);
    EXPECT_EQ(currentSong(), 1);

    playerctl({QStringLiteral("next")});
    ASSERT_TRUE(waitFor([&] { return mpvPath() == files[1]; }));
    EXPECT_EQ(currentSong(), 2);
    EXPECT_EQ(playerctl({QStringLiteral("metadata"), QStringLiteral("xesam:title")}),
              QStringLiteral("Song 2"));

    playerctl({QStringLiteral("previous")});
    ASSERT_TRUE(waitFor([&] { return mpvPath() == files[0]; }));
    EXPECT_EQ(currentSong(), 1);

    playerctl({QStringLiteral("volume"), QStringLiteral("0.4")});
    ASSERT_TRUE(waitFor([&] { return qRound(mpvProperty("volume").toDouble()) == 40; }));
    EXPECT_EQ(playerctl({QStringLiteral("volume")}).toDouble(), 0.4);

    playerctl({QStringLiteral("loop"), QStringLiteral("Playlist")});
    ASSERT_TRUE(waitFor([&] { return actions.tbRepeat->isChecked(); }));
    EXPECT_EQ(playerctl({QStringLiteral("loop")}), QStringLiteral("Playlist"));

    playerctl({QStringLiteral("shuffle"), QStringLiteral("On")});
    ASSERT_TRUE(waitFor([&] { return actions.tbRandom->isChecked(); }));
    EXPECT_FALSE(actions.tbContinue->isChecked());
    EXPECT_EQ(playerctl({QStringLiteral("shuffle")}), QStringLiteral("On"));

    playerctl({QStringLiteral("stop")});
    ASSERT_TRUE(waitFor([&] { return !monitorRunning(); }));
    EXPECT_TRUE(waitFor([&] { return mpvProperty("idle-active").toBool(); }));
    EXPECT_TRUE(actions.tbStop->isChecked());
    EXPECT_TRUE(library->isEnabled()); // Stop releases the lock
    EXPECT_EQ(playerctl({QStringLiteral("status")}), QStringLiteral("Stopped"));
}

TEST_F(MprisEndToEndTest, ARepeatClickInTheWindowIsSeenByAFollowingPlayerctl)
{
    QProcess follow;
    follow.setProcessEnvironment(environment());
    follow.start(QStringLiteral("playerctl"), {QStringLiteral("--player=vorn"),
                                               QStringLiteral("--follow"), QStringLiteral("loop")});
    QByteArray seen;
    auto lines = [&] {
        seen += follow.readAllStandardOutput();
        return QString::fromUtf8(seen).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    };
    // It prints the loop status it finds first, then every change.
    ASSERT_TRUE(waitFor([&] { return lines().contains(QStringLiteral("None")); }));

    const PlayerActions &actions = window->playerActions();
    QTest::mouseClick(window->playerToolBar().widgetForAction(actions.tbRepeat), Qt::LeftButton);
    ASSERT_TRUE(actions.tbRepeat->isChecked());
    EXPECT_TRUE(waitFor([&] { return lines().contains(QStringLiteral("Playlist")); }));

    QTest::mouseClick(window->playerToolBar().widgetForAction(actions.tbRepeat), Qt::LeftButton);
    EXPECT_TRUE(waitFor([&] { return lines().count(QStringLiteral("None")) == 2; }));

    follow.kill();
    follow.waitForFinished(3000);
}

} // namespace
