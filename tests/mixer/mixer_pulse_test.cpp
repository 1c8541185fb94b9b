// The mixer's real parts together: a private PulseAudio server with a null
// output, the VU library loaded from its file, the real mpv playing into that
// output, and the mixer skipping to the next row on silence. Every wait has a
// deadline.
#include "core/settingsstore.h"
#include "library/playlistlibrarymodel.h"
#include "library/songlistmodel.h"
#include "mixer/fader.h"
#include "mixer/frmmixer.h"
#include "mixer/mixerline.h"
#include "mixer/mixerlines.h"
#include "mixer/pulsesinkline.h"
#include "mixer/vuhost.h"
#include "playback/mpvipc.h"
#include "playback/mpvlink.h"
#include "playback/playbacksequencer.h"
#include "playback/playeractions.h"
#include "support/playlistfiles.h"
#include "support/pulseserver.h"
#include "support/recordingdisplay.h"
#include "support/scripteddialogs.h"

#include <QAction>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QItemSelectionModel>
#include <QJsonArray>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <numbers>

namespace {

// A mono 16-bit WAV file: a loud 440 Hz tone for `toneSeconds`, then
// `silenceSeconds` of silence.
QString writeToneThenSilence(const QString &path, double toneSeconds, double silenceSeconds)
{
    constexpr int kRate = 22050;
    const int toneFrames = static_cast<int>(toneSeconds * kRate);
    const int frames = toneFrames + static_cast<int>(silenceSeconds * kRate);
    QByteArray data;
    for (int i = 0; i < frames; ++i) {
        const double value =
            i < toneFrames ? 20000.0 * std::sin(2 * std::numbers::pi * 440.0 * i / kRate) : 0.0;
        char sample[2];
        qToLittleEndian(static_cast<qint16>(value), sample);
        data.append(sample, 2);
    }
    QByteArray bytes("RIFF");
    auto u32 = [&bytes](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        bytes.append(b, 4);
    };
    auto u16 = [&bytes](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        bytes.append(b, 2);
    };
    u32(static_cast<quint32>(36 + data.size()));
    bytes.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(kRate);
    u32(kRate * 2);
    u16(2);
    u16(16);
    bytes.append("data");
    u32(static_cast<quint32>(data.size()));
    bytes.append(data);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

class MixerPulseTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!PulseServer::installed())
            GTEST_SKIP() << "pulseaudio is not installed";
        if (QStandardPaths::findExecutable(QStringLiteral("mpv")).isEmpty())
            GTEST_SKIP() << "mpv is not installed";
        ASSERT_TRUE(server.start());
        m_oldOptions = qgetenv("VORN_MPV_OPTIONS");
        qputenv("VORN_MPV_OPTIONS", "--ao=pulse");
    }

    void TearDown() override
    {
        if (link)
            link->CloseWinamp();
        qputenv("VORN_MPV_OPTIONS", m_oldOptions);
    }

    QWidget *loadMeter(QWidget *parent)
    {
        QString why;
        QWidget *meter = VuHost::createVuMeter({QStringLiteral(VORN_TEST_VU_DIR)}, parent, &why);
        EXPECT_NE(meter, nullptr) << why.toStdString();
        return meter;
    }

    void startPlayer()
    {
        link = std::make_unique<MpvLink>(dir.filePath(QStringLiteral("mpv.sock")));
        ASSERT_TRUE(link->StartWinamp(QString()));
    }

    // What mpv says it plays.
    QString playing()
    {
        MpvIpc probe(link->socketPath());
        return probe.request(QJsonArray{QStringLiteral("get_property"), QStringLiteral("path")})
            .data.toString();
    }

    // Whether the left bar's bottom segment shows lit (the design's place of
    // segment 0 at 96 dots per inch).
    static bool bottomSegmentLit(QWidget *meter)
    {
        const QImage image = meter->grab().toImage();
        return image.pixelColor(14, 114) == QColor(0, 255, 0);
    }

    PulseServer server;
    QTemporaryDir dir;
    std::unique_ptr<MpvLink> link;
    QByteArray m_oldOptions;
};

TEST_F(MixerPulseTest, TheMeterShowsThePlayerAndComesBackAfterTheServerRestarts)
{
    QWidget host;
    QWidget *meter = loadMeter(&host);
    ASSERT_NE(meter, nullptr);
    host.show();
    QSignalSpy readings(meter, SIGNAL(PeakValue(int)));
    meter->setProperty("Priority", 10);
    meter->setProperty("HoldPeaks", false);
    QMetaObject::invokeMethod(meter, "StartVU");

    startPlayer();
    const QString tone = writeToneThenSilence(dir.filePath(QStringLiteral("tone.wav")), 20, 0);
    link->WinampAddFile(tone);
    link->WinampStartPlay();
    auto loud = [&readings] {
        for (const QList<QVariant> &args : readings) {
            if (std::abs(args.at(0).toInt()) > 10000)
                return true;
        }
        return false;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return loud() && bottomSegmentLit(meter); }, 10000));

    // The server ends: the ticks fail silently, no readings arrive.
    server.stop();
    const QDeadlineTimer quietBy(3000);
    bool quiet = false;
    while (!quiet && !quietBy.hasExpired()) {
        readings.clear();
        QTest::qWait(300);
        quiet = readings.isEmpty();
    }
    EXPECT_TRUE(quiet);

    // The server comes back (the player is not needed for that): the meter
    // reads again within 2 s, by itself.
    ASSERT_TRUE(server.start());
    QElapsedTimer back;
    back.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return readings.count() > 0; }, 2000));
    EXPECT_LT(back.elapsed(), 2000);
    QMetaObject::invokeMethod(meter, "StopVU");
}

TEST_F(MixerPulseTest, SilenceAtTheEndOfASongSkipsToTheNextRow)
{
    const QString first = writeToneThenSilence(dir.filePath(QStringLiteral("first.wav")), 4.0, 4.0);
    const QString second =
        writeToneThenSilence(dir.filePath(QStringLiteral("second.wav")), 10.0, 0.0);
    ASSERT_FALSE(first.isEmpty());
    startPlayer();

    QObject owner;
    PlayerActions actions = PlayerActions::create(&owner);
    SongListModel songs;
    QItemSelectionModel selection(&songs);
    PlayListLibraryModel library;
    library.addEntry({QStringLiteral("Two"), QString(), QString()});
    RecordingDisplay display;
    ScriptedDialogs dialogs;
    PlaybackSequencer sequencer(*link, songs, selection, library, actions, display, dialogs);
    PlaybackSequencer::Hooks hooks;
    hooks.processEvents = [] { QCoreApplication::processEvents(); };
    sequencer.setHooks(hooks);
    sequencer.setPlayerLinked(true);
    songs.appendRow(songRow(QStringLiteral("First"), QString(), {}, first));
    songs.appendRow(songRow(QStringLiteral("Second"), QString(), {}, second));

    SettingsStore settings(dir.filePath(QStringLiteral("VORN.ini")));
    settings.SaveSetting(QStringLiteral("Preferences"), QStringLiteral("SilenceDetection"),
                         QStringLiteral("1")); // 0.5 s
    int positionAtSkip = -1;
    frmMixer::Hooks mixerHooks;
    mixerHooks.playPressed = [&actions] { return actions.tbPlay->isChecked(); };
    mixerHooks.pressNext = [&] {
        positionAtSkip = link->WinampGetPosition();
        sequencer.tbPlayer_ButtonClick(actions.tbNext->objectName());
    };
    frmMixer mixer(
        settings, *link, loadMeter(nullptr),
        [](int) { return std::make_unique<UnavailableLine>(QStringLiteral("none")); }, mixerHooks);
    mixer.followMusic(actions.tbPlay, actions.tbPause);
    ASSERT_TRUE(mixer.hasVuMeter());
    QSignalSpy silence(mixer.vuMeter(), SIGNAL(SilenceDetected()));

    sequencer.tbPlayer_ButtonClick(actions.tbPlay->objectName());
    ASSERT_EQ(songs.CurrentSong(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return songs.CurrentSong() == 2; }, 15000));
    // Silence came every half second from about 4 s on; only the one after
    // 85 % of the 8 s song skipped.
    EXPECT_GE(silence.count(), 3);
    EXPECT_GT(positionAtSkip, 8 * 850);
    EXPECT_LT(positionAtSkip, 8000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return playing() == second; }, 5000))
        << playing().toStdString();
    mixer.unload();
}

TEST_F(MixerPulseTest, TheMasterLineFollowsAndSetsTheOutputVolume)
{
    PulseSinkLine line;
    ASSERT_TRUE(QTest::qWaitFor([&] { return line.unavailableReason().isEmpty(); }, 5000));
    EXPECT_EQ(line.volume(), 100);
    EXPECT_FALSE(line.muted());
    line.setVolume(40);
    line.setMuted(true);
    // A second client sees the change on the server.
    PulseSinkLine other;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return other.unavailableReason().isEmpty() && other.volume() == 40 && other.muted();
        },
        5000));
    other.setMuted(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !line.muted(); }, 5000));

    server.stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !line.unavailableReason().isEmpty(); }, 5000));
}

// Run by hand (--gtest_also_run_disabled_tests): the process's CPU time, all
// threads, while the meter updates every 10 ms from a playing output.
TEST_F(MixerPulseTest, DISABLED_TheFastestUpdateCostsLittleCpu)
{
    QWidget host;
    QWidget *meter = loadMeter(&host);
    ASSERT_NE(meter, nullptr);
    host.show();
    meter->setProperty("Priority", 10);
    meter->setProperty("SilenceDetect", 1000);
    QSignalSpy readings(meter, SIGNAL(PeakValue(int)));
    startPlayer();
    link->WinampAddFile(writeToneThenSilence(dir.filePath(QStringLiteral("long.wav")), 70, 0));
    link->WinampStartPlay();
    QMetaObject::invokeMethod(meter, "StartVU");
    ASSERT_TRUE(QTest::qWaitFor([&] { return readings.count() > 0; }, 5000));

    const int seconds = qEnvironmentVariableIntValue("VORN_VU_COST_SECONDS") > 0
                            ? qEnvironmentVariableIntValue("VORN_VU_COST_SECONDS")
                            : 60;
    timespec before{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &before);
    readings.clear();
    QElapsedTimer wall;
    wall.start();
    QTest::qWait(seconds * 1000);
    timespec after{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &after);
    const double cpu = (after.tv_sec - before.tv_sec) + (after.tv_nsec - before.tv_nsec) / 1e9;
    const double share = 100.0 * cpu / (wall.elapsed() / 1000.0);
    std::printf("VU at 10 ms: %d readings in %.1f s, CPU %.3f s = %.2f %% of one core\n",
                static_cast<int>(readings.count()), wall.elapsed() / 1000.0, cpu, share);
    EXPECT_GT(readings.count(), seconds * 50);
}

// Run by hand: writes the mixer window, its meter lit by the playing player,
// to $VORN_SCREENSHOT_DIR/mixer.png for a look by eye.
TEST_F(MixerPulseTest, DISABLED_PictureOfTheMixerWindow)
{
    startPlayer();
    link->WinampAddFile(writeToneThenSilence(dir.filePath(QStringLiteral("shot.wav")), 20, 0));
    SettingsStore settings(dir.filePath(QStringLiteral("VORN.ini")));
    MpvLink &player = *link;
    frmMixer mixer(settings, player, loadMeter(nullptr),
                   [&player](int linecontrol) { return makeMixerLine(linecontrol, player); }, {});
    mixer.show();
    mixer.setMusicPlaying(true);
    link->WinampStartPlay();
    auto *master = mixer.findChild<Fader *>(QStringLiteral("eqMaster"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return (master->refresh(), master->isEnabled()); }, 5000));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return mixer.vuMeter()->grab().toImage().pixelColor(14, 60) == QColor(255, 255, 0); },
        10000));
    const QString folder = qEnvironmentVariable("VORN_SCREENSHOT_DIR", QDir::tempPath());
    EXPECT_TRUE(mixer.grab().save(QDir(folder).filePath(QStringLiteral("mixer.png"))));
    mixer.unload();
}

} // namespace
