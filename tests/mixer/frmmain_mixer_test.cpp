// The mixer window inside the program: loaded hidden with the main window,
// shown and hidden by tbMixer, minimized with the main window, unloaded at
// closing; the program runs on without the meter library or a sound server.
#include "mixer/fader.h"
#include "mixer/frmmixer.h"
#include "playback/playeractions.h"
#include "playback/playertoolbar.h"
#include "shell/frmmain.h"
#include "support/frmmainfixture.h"

#include <QAction>
#include <QFile>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

using frmMainMixerTest = frmMainFixture;

TEST_F(frmMainMixerTest, TheMixerButtonShowsAndHidesTheHiddenMixer)
{
    auto window = start();
    frmMixer &mixer = window->mixer();
    EXPECT_FALSE(mixer.isVisible());
    QAction *tbMixer = window->playerActions().tbMixer;

    // A click on the real toolbar button.
    auto *button = qobject_cast<QToolButton *>(window->playerToolBar().widgetForAction(tbMixer));
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(tbMixer->isChecked());
    EXPECT_TRUE(mixer.isVisible());
    const QPoint at = mixer.pos();
    tbMixer->trigger();
    EXPECT_FALSE(mixer.isVisible());

    // The close box hides it and releases the button; the button shows it
    // again at the same place.
    tbMixer->trigger();
    ASSERT_TRUE(mixer.isVisible());
    mixer.close();
    EXPECT_FALSE(mixer.isVisible());
    EXPECT_FALSE(tbMixer->isChecked());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(mixer.isVisible());
    EXPECT_EQ(mixer.pos(), at);
}

TEST_F(frmMainMixerTest, MinimizingTheMainWindowMinimizesTheMixer)
{
    auto window = start();
    window->playerActions().tbMixer->trigger();
    frmMixer &mixer = window->mixer();
    ASSERT_TRUE(mixer.isVisible());
    window->showMinimized();
    EXPECT_TRUE(mixer.windowState() & Qt::WindowMinimized);
    window->showNormal();
    EXPECT_FALSE(mixer.windowState() & Qt::WindowMinimized);
}

TEST_F(frmMainMixerTest, RunsAndPlaysWithoutTheMeterLibraryOrASoundServer)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), threeSongs);
    auto window = start();
    frmMixer &mixer = window->mixer();
    // The tests run without the library beside them and without a server.
    EXPECT_FALSE(mixer.hasVuMeter());
    auto *master = mixer.findChild<Fader *>(QStringLiteral("eqMaster"));
    ASSERT_NE(master, nullptr);
    EXPECT_FALSE(master->isEnabled());
    EXPECT_FALSE(master->toolTip().isEmpty());
    // Bass and treble drive the player's own filters.
    auto *bass = mixer.findChild<Fader *>(QStringLiteral("eqBass"));
    EXPECT_TRUE(bass->isEnabled());
    bass->slider()->setValue(75);
    EXPECT_TRUE(link->log.contains(QStringLiteral("bass 6.0")));

    window->playerActions().tbPlay->trigger();
    EXPECT_EQ(link->played, QStringList{"/m/1.mp3"});
}

TEST_F(frmMainMixerTest, ClosingTheProgramStoresTheMixerSettings)
{
    settings->SaveSetting(QStringLiteral("Mixer"), QStringLiteral("SALSP"), QStringLiteral("55"));
    auto window = start();
    window->mixer().move(150, 90);
    ASSERT_TRUE(closeWindow(*window));
    EXPECT_FALSE(window->mixer().isVisible());
    QFile ini(path(QStringLiteral("VORN.ini")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray bytes = ini.readAll();
    EXPECT_TRUE(bytes.contains("[Mixer]\nSAL=0\nSALSP=55\n")) << bytes.toStdString();
    EXPECT_TRUE(bytes.contains("MixerX=2250\n")) << bytes.toStdString();
    EXPECT_TRUE(bytes.contains("MixerY=1350\n"));
}

TEST_F(frmMainMixerTest, AMixerStoredOffTheScreenOpensWhollyOnItAndIsStoredThere)
{
    for (const auto &[x, y] : {std::pair{"60000", "60000"}, std::pair{"-90000", "300"}}) {
        settings->SaveSetting(QStringLiteral("Preferences"), QStringLiteral("MixerX"),
                              QLatin1String(x));
        settings->SaveSetting(QStringLiteral("Preferences"), QStringLiteral("MixerY"),
                              QLatin1String(y));
        auto window = start();
        window->playerActions().tbMixer->trigger();
        frmMixer &mixer = window->mixer();
        ASSERT_TRUE(mixer.isVisible());
        const QRect available = mixer.screen()->availableGeometry();
        EXPECT_TRUE(available.contains(mixer.frameGeometry())) << x << "," << y;
        const QPoint shown = mixer.pos();
        ASSERT_TRUE(closeWindow(*window));
        window.reset();
        reopenSettings();
        EXPECT_EQ(settings->GetSetting("Preferences", "MixerX", {}),
                  QString::number(shown.x() * 15));
        EXPECT_EQ(settings->GetSetting("Preferences", "MixerY", {}),
                  QString::number(shown.y() * 15));
    }
}

} // namespace
