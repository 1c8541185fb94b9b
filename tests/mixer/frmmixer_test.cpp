// The mixer window over a recording fake player, fake mixer lines and a VU
// control with scripted readings on a virtual clock; the window reaches the
// control only by member names, as it reaches the real library's.
#include "core/settingsstore.h"
#include "mixer/fader.h"
#include "mixer/fakemixerline.h"
#include "mixer/frmmixer.h"
#include "support/playbackfixture.h"
#include "vu/manualclock.h"
#include "vu/scriptedpeaksource.h"
#include "vu/ucvu.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <map>
#include <vector>
#include <functional>

namespace {

class frmMixerTest : public PlaybackFixture
{
protected:
    void SetUp() override { rows(3); }

    // The window as the program loads it, with the stored settings given.
    frmMixer &load(const std::map<QString, QString> &stored = {}, bool withMeter = true)
    {
        for (const auto &[key, value] : stored) {
            const QString section = key == QLatin1String("SAL") || key == QLatin1String("SALSP")
                                        ? QStringLiteral("Mixer")
                                        : QStringLiteral("Preferences");
            settings->SaveSetting(section, key, value);
        }
        settings->sync();
        if (withMeter)
            vu = new ucVU(std::make_unique<ScriptedPeakSource>(script), clock.factory());
        frmMixer::Hooks hooks;
        hooks.playPressed = [this] { return actions.tbPlay->isChecked(); };
        hooks.pressNext = [this] { click(actions.tbNext); };
        hooks.hiddenByUser = [this] { ++hiddenByUser; };
        mixer = std::make_unique<frmMixer>(
            *settings, link, withMeter ? vu : nullptr,
            [this](int linecontrol) -> std::unique_ptr<MixerLine> {
                if (linecontrol == Fader::kMidiLine || linecontrol == Fader::kCdLine)
                    return std::make_unique<UnavailableLine>(QStringLiteral("No MIDI or CD line."));
                return std::make_unique<FakeMixerLine>(lines[linecontrol]);
            },
            hooks);
        // As the main window wires it.
        mixer->followMusic(actions.tbPlay, actions.tbPause);
        return *mixer;
    }

    template <typename T>
    T *child(const char *name) const
    {
        return mixer->findChild<T *>(QLatin1String(name));
    }

    QByteArray iniBytes() const
    {
        QFile file(dir.filePath(QStringLiteral("VORN.ini")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Plays row 1 of a 185 s song and puts the player at `percent` of it.
    void playAt(double percent)
    {
        click(actions.tbPlay);
        link.positionMs = static_cast<int>(185000 * percent / 100.0);
    }

    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> settings =
        std::make_unique<SettingsStore>(dir.filePath(QStringLiteral("VORN.ini")));
    ScriptedPeakSource::Script script;
    ManualClock clock;
    ucVU *vu = nullptr;
    std::map<int, FakeMixerLine::State> lines;
    std::unique_ptr<frmMixer> mixer;
    int hiddenByUser = 0;
};

TEST_F(frmMixerTest, LoadsHiddenWithTheStoredSettingsAndTheMetersValues)
{
    frmMixer &window = load({{"SAL", "1"},
                             {"SALSP", "40"},
                             {"SilenceDetection", "5"},
                             {"MixerX", "1500"},
                             {"MixerY", "750"}});
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Mixer"));
    EXPECT_EQ(window.pos(), QPoint(100, 50));
    EXPECT_TRUE(window.chkEnableSAL()->isChecked());
    EXPECT_TRUE(window.tmrSALMonitor()->isActive());
    EXPECT_EQ(window.tmrSALMonitor()->interval(), 100);
    EXPECT_EQ(window.sldSAL()->value(), 40);
    EXPECT_EQ(window.vuMeter(), vu);
    EXPECT_EQ(vu->objectName(), QStringLiteral("vuMeter"));
    EXPECT_EQ(vu->SilenceDetect(), 3000); // option 5
    EXPECT_EQ(vu->Priority(), 10);
    EXPECT_EQ(vu->HoldDelay(), 1200);
    EXPECT_FALSE(vu->HoldPeaks());
    EXPECT_FALSE(vu->meter().tmrUpdateVU().isEnabled()); // no music plays yet

    // Option 6 gives 5000 ms; the defaults leave S.A.L. off at 30.
    mixer.reset();
    frmMixer &second = load({{"SAL", "0"}, {"SALSP", "30"}, {"SilenceDetection", "6"}});
    EXPECT_EQ(vu->SilenceDetect(), 5000);
    EXPECT_FALSE(second.tmrSALMonitor()->isActive());
    EXPECT_EQ(second.sldSAL()->value(), 30);
}

// The meter's timer runs only while music plays and something uses the
// levels, so that an idle program wakes for nothing.
TEST_F(frmMixerTest, TheMeterReadsOnlyWhileMusicPlaysAndSomethingUsesTheLevels)
{
    frmMixer &window = load({{"SAL", "0"}, {"SilenceDetection", "0"}});
    struct Step
    {
        const char *what;
        std::function<void()> act;
        bool reads;
    };
    const std::vector<Step> steps{
        {"loaded hidden", [] {}, false},
        {"Play, window hidden", [&] { click(actions.tbPlay); }, false},
        {"window shown", [&] { window.show(); }, true},
        {"close box", [&] { window.close(); }, false},
        {"S.A.L. on", [&] { window.chkEnableSAL()->click(); }, true},
        {"S.A.L. off", [&] { window.chkEnableSAL()->click(); }, false},
        {"skip on silence set", [&] { window.setSilenceDetect(1000); }, true},
        {"Stop", [&] { click(actions.tbStop); }, false},
        {"Play again", [&] { click(actions.tbPlay); }, true},
        {"Pause", [&] { click(actions.tbPause); }, true},
        {"unloaded", [&] { window.unload(); }, false},
    };
    for (const Step &step : steps) {
        step.act();
        QApplication::processEvents();
        EXPECT_EQ(vu->meter().tmrUpdateVU().isEnabled(), step.reads) << step.what;
        EXPECT_EQ(window.meterRunning(), step.reads) << step.what;
    }
}

TEST_F(frmMixerTest, SilenceNearTheEndOfASongSkipsToTheNextRow)
{
    load({{"SilenceDetection", "2"}}); // 1 s
    playAt(90);
    clock.advance(990);
    EXPECT_EQ(playedRows(), QList<int>{1});
    clock.advance(30);
    EXPECT_EQ(playedRows(), (QList<int>{1, 2}));
    EXPECT_EQ(songs.CurrentSong(), 2);
}

TEST_F(frmMixerTest, SilenceEarlierInASongIsIgnored)
{
    load({{"SilenceDetection", "2"}});
    playAt(50);
    clock.advance(5000);
    EXPECT_EQ(playedRows(), QList<int>{1});
    // Without a length the position means nothing.
    link.lengthSeconds = 0;
    link.positionMs = 999000;
    clock.advance(2000);
    EXPECT_EQ(playedRows(), QList<int>{1});
}

TEST_F(frmMixerTest, ThePauseOfAPausedSongInItsLastPartSkipsAsWell)
{
    load({{"SilenceDetection", "1"}});
    playAt(95);
    click(actions.tbPause);
    clock.advance(600);
    EXPECT_EQ(playedRows(), (QList<int>{1, 2}));
}

TEST_F(frmMixerTest, TheLevelControlStepsThePlayerWhilePlayIsPressed)
{
    load({{"SAL", "1"}, {"SALSP", "30"}});
    script.left = 24576; // 75 %
    click(actions.tbPlay);
    clock.advance(10);
    EXPECT_EQ(mixer->LastPeak(), 24576);
    link.log.clear();
    for (int tick = 0; tick < 10; ++tick)
        mixer->tmrSALMonitor_Timer();
    EXPECT_EQ(link.log, (QStringList{"level-", "level-", "level-", "level-"}));

    link.log.clear();
    click(actions.tbStop);
    link.log.clear();
    for (int tick = 0; tick < 10; ++tick)
        mixer->tmrSALMonitor_Timer();
    EXPECT_TRUE(link.log.isEmpty());
}

TEST_F(frmMixerTest, TheSalCheckBoxSwitchesTheMonitorAndTheSetPointSlider)
{
    frmMixer &window = load();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QCheckBox *box = window.chkEnableSAL();
    QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
    EXPECT_TRUE(window.tmrSALMonitor()->isActive());
    EXPECT_TRUE(window.sldSAL()->isEnabled());
    QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
    EXPECT_FALSE(window.tmrSALMonitor()->isActive());
    EXPECT_FALSE(window.sldSAL()->isEnabled());
}

TEST_F(frmMixerTest, TheCloseBoxHidesAndTheRealUnloadStoresTheSettings)
{
    frmMixer &window = load();
    window.move(300, 150);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.sldSAL()->setValue(45);
    window.chkEnableSAL()->setChecked(true);
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(hiddenByUser, 1);
    EXPECT_FALSE(iniBytes().contains("SALSP")); // nothing stored by hiding

    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QPoint at = window.pos();
    window.unload();
    settings->sync();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(hiddenByUser, 1);
    const QByteArray ini = iniBytes();
    EXPECT_TRUE(ini.contains("[Mixer]\nSAL=1\nSALSP=45\n")) << ini.toStdString();
    EXPECT_TRUE(ini.contains(QStringLiteral("MixerX=%1\n").arg(at.x() * 15).toUtf8()))
        << ini.toStdString();
    EXPECT_TRUE(ini.contains(QStringLiteral("MixerY=%1\n").arg(at.y() * 15).toUtf8()));
    EXPECT_FALSE(vu->meter().tmrUpdateVU().isEnabled());
}

TEST_F(frmMixerTest, TheMasterSwitchShowsAndSetsTheMasterMute)
{
    frmMixer &window = load();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QCheckBox *master = window.chkMaster();
    EXPECT_TRUE(master->isChecked());
    QTest::mouseClick(master, Qt::LeftButton, {}, master->rect().center());
    EXPECT_TRUE(lines[Fader::kMasterLine].muted);
    QTest::mouseClick(master, Qt::LeftButton, {}, master->rect().center());
    EXPECT_FALSE(lines[Fader::kMasterLine].muted);

    // Muted elsewhere: the next repaint shows it.
    lines[Fader::kMasterLine].muted = true;
    window.repaint();
    EXPECT_FALSE(master->isChecked());
}

TEST_F(frmMixerTest, TheVolumeArrowsStepThePlayerVolume)
{
    frmMixer &window = load();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    link.log.clear();
    QTest::mouseClick(child<QToolButton>("udWAVolUp"), Qt::LeftButton);
    QTest::mouseClick(child<QToolButton>("udWAVolDown"), Qt::LeftButton);
    QTest::mouseClick(child<QToolButton>("udWAVolDown"), Qt::LeftButton);
    EXPECT_EQ(link.log, (QStringList{"volume+", "volume-", "volume-"}));
}

TEST_F(frmMixerTest, FadersDriveTheirLinesFollowThemAndShowMissingOnes)
{
    lines[Fader::kMasterLine].volume = 70;
    frmMixer &window = load();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto *master = child<Fader>("eqMaster");
    EXPECT_EQ(master->slider()->value(), 70);
    EXPECT_EQ(master->refreshrate(), 1500);
    EXPECT_EQ(master->linecontrol(), Fader::kMasterLine);
    EXPECT_EQ(child<Fader>("eqBass")->linecontrol(), 101);
    EXPECT_EQ(child<Fader>("eqTreble")->linecontrol(), 102);

    master->slider()->setFocus();
    QTest::keyClick(master->slider(), Qt::Key_PageDown);
    EXPECT_EQ(lines[Fader::kMasterLine].volume, 60);

    // Changed elsewhere: the next refresh shows it without writing back.
    lines[Fader::kMasterLine].volume = 25;
    const int writes = lines[Fader::kMasterLine].writes;
    master->refresh();
    EXPECT_EQ(master->slider()->value(), 25);
    EXPECT_EQ(lines[Fader::kMasterLine].writes, writes);

    for (const char *name : {"eqMIDI", "eqCD"}) {
        auto *fader = child<Fader>(name);
        EXPECT_FALSE(fader->isEnabled()) << name;
        EXPECT_FALSE(fader->toolTip().isEmpty()) << name;
    }
    // A line that goes away disables its fader, with the reason.
    lines[Fader::kMasterLine].reason = QStringLiteral("No sound server.");
    master->refresh();
    EXPECT_FALSE(master->isEnabled());
    EXPECT_EQ(master->toolTip(), QStringLiteral("No sound server."));
}

TEST_F(frmMixerTest, WithoutTheMeterLibraryTheWindowWorksWithADarkMeter)
{
    frmMixer &window = load({{"SAL", "1"}, {"SilenceDetection", "2"}}, false);
    EXPECT_FALSE(window.hasVuMeter());
    ASSERT_NE(window.vuMeter(), nullptr);
    EXPECT_EQ(window.vuMeter()->size(), QSize(63, 126));
    playAt(90);
    for (int tick = 0; tick < 25; ++tick)
        window.tmrSALMonitor_Timer();
    // No readings: far too quiet, one step up every 2.5 s while playing.
    EXPECT_EQ(link.log.count(QStringLiteral("level+")), 1);
    window.unload();
    EXPECT_EQ(playedRows(), QList<int>{1});
}

} // namespace
