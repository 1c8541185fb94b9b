#include "playback/playmonitor.h"
#include "support/playbackfixture.h"

namespace {

class PlayMonitorTest : public PlaybackFixture
{
protected:
    PlayMonitor monitor{sequencer, songs, display};
};

TEST(FormatPlayTime, ShowsOneInstant)
{
    const std::pair<double, const char *> cases[] = {
        {0.0, "00:00:00"},    {10.7, "00:10:70"},  {10.996, "00:10:99"},  {65.4, "01:05:40"},
        {59.999, "00:59:99"}, {600.0, "10:00:00"}, {6000.5, "100:00:50"}, {-3.0, "00:00:00"},
    };
    for (const auto &[seconds, text] : cases)
        EXPECT_EQ(formatPlayTime(seconds), QLatin1String(text)) << seconds;
}

TEST_F(PlayMonitorTest, ShowsElapsedOrRemainingTimeAndProgress)
{
    rows(2);
    click(actions.tbPlay);
    link.positionMs = 65400;
    monitor.tmrMonitor_Timer();
    EXPECT_EQ(display.timeText, QStringLiteral("01:05:40"));
    EXPECT_EQ(display.progress, 35);

    monitor.ShowRemainingTime = true;
    monitor.tmrMonitor_Timer();
    EXPECT_EQ(display.timeText, QStringLiteral("01:59:60"));
    EXPECT_EQ(display.progress, 65);
}

TEST_F(PlayMonitorTest, AnUnknownLengthIsAskedForAgainWithoutChangingTheDisplay)
{
    rows(2);
    link.lengthSeconds = 0;
    click(actions.tbPlay);
    link.positionMs = 5000;
    monitor.tmrMonitor_Timer();
    EXPECT_EQ(display.timeText, QStringLiteral("00:00:00"));
    link.lengthSeconds = 200;
    monitor.tmrMonitor_Timer(); // re-reads the length
    EXPECT_EQ(sequencer.SongLength(), 200);
    monitor.tmrMonitor_Timer();
    EXPECT_EQ(display.timeText, QStringLiteral("00:05:00"));
}

TEST_F(PlayMonitorTest, CaptionWhileMinimizedAndBannerOtherwise)
{
    rows(2);
    songs.setRow(1, songRow(QStringLiteral("Fernando"), QStringLiteral("ABBA"), {},
                            QStringLiteral("/m/2.mp3")));
    click(actions.tbPlay);
    link.positionMs = 1000;
    monitor.tmrMonitor_Timer();
    EXPECT_EQ(display.caption, QStringLiteral("VORN"));
    EXPECT_EQ(display.bannerText, QStringLiteral("Song 1"));

    click(actions.tbNext);
    link.positionMs = 1000;
    display.minimized = true;
    monitor.tmrMonitor_Timer();
    EXPECT_EQ(display.caption, QStringLiteral("Fernando - VORN"));
    display.minimized = false;
    monitor.tmrMonitor_Timer();
    EXPECT_EQ(display.caption, QStringLiteral("VORN"));
    EXPECT_EQ(display.bannerText, QStringLiteral("Fernando - ABBA"));
}

// A stored title of megabytes reaches the banner and the caption only as
// its start, as the song list shows it.
TEST_F(PlayMonitorTest, TheBannerAndTheCaptionShowTheStartOfAHugeTitle)
{
    rows(1);
    songs.setRow(0, songRow(QString(4 << 20, QLatin1Char('T')), QStringLiteral("ABBA"), {},
                            QStringLiteral("/m/1.mp3")));
    click(actions.tbPlay);
    link.positionMs = 1000;
    monitor.tmrMonitor_Timer();
    const QString start = QString(1023, QLatin1Char('T')) + QChar(0x2026);
    EXPECT_EQ(display.bannerText, start + QStringLiteral(" - ABBA"));
    display.minimized = true;
    monitor.tmrMonitor_Timer();
    EXPECT_EQ(display.caption, start + QStringLiteral(" - VORN"));
}

TEST_F(PlayMonitorTest, TheEndOfTheLastRowStopsOrWrapsWithRepeat)
{
    rows(2);
    click(actions.tbPlay);
    link.positionMs = 0; // the song ended
    monitor.tmrMonitor_Timer();
    EXPECT_EQ(playedRows(), (QList<int>{1, 2}));
    link.positionMs = 0;
    monitor.tmrMonitor_Timer();
    EXPECT_EQ(songs.CurrentSong(), 2);
    EXPECT_TRUE(stoppedState());

    actions.tbRepeat->setChecked(true);
    click(actions.tbPlay);
    click(actions.tbNext);
    link.positionMs = 0;
    monitor.tmrMonitor_Timer();
    EXPECT_EQ(playedRows().last(), 1);
    EXPECT_TRUE(sequencer.tmrMonitor()->isActive());
}

TEST_F(PlayMonitorTest, APauseAtTheVeryStartOfASongIsNotItsEnd)
{
    rows(2);
    click(actions.tbPlay);
    click(actions.tbPause);
    link.positionMs = 0; // paused before it read a position
    for (int tick = 0; tick < 4; ++tick)
        monitor.tmrMonitor_Timer();
    EXPECT_EQ(playedRows(), QList<int>{1});
    EXPECT_EQ(link.state, PlayerLink::kPaused);
    EXPECT_TRUE(actions.tbPause->isChecked());

    // Resumed and then at its end, it moves on; a player that died while
    // paused is noticed as before.
    click(actions.tbPlay);
    link.positionMs = 0;
    monitor.tmrMonitor_Timer();
    EXPECT_EQ(playedRows(), (QList<int>{1, 2}));
    click(actions.tbPause);
    link.present = false;
    monitor.tmrMonitor_Timer();
    EXPECT_TRUE(sequencer.tmrRestart()->isActive());
}

TEST_F(PlayMonitorTest, RandomAlwaysPicksThroughTheSelector)
{
    rows(3);
    click(actions.tbPlay);
    actions.tbRandom->setChecked(true);
    draws = {0.9};
    link.positionMs = 0;
    monitor.tmrMonitor_Timer();
    EXPECT_EQ(playedRows(), (QList<int>{1, 3}));
}

TEST_F(PlayMonitorTest, APlayerThatDiesIsRestartedOnItsTimerAndPlaysOnWithTheNextRow)
{
    QStringList reports;
    PlaybackSequencer::Hooks hooks;
    hooks.playerPath = [] { return QStringLiteral("/usr/bin/mpv"); };
    hooks.reportTrouble = [&](const QString &text) { reports << text; };
    hooks.enablePlayListControls = [this](bool enabled) { controlsEnabled = enabled; };
    sequencer.setHooks(hooks);
    rows(3);
    click(actions.tbPlay);
    link.present = false; // killed
    monitor.tmrMonitor_Timer();
    // Never restarted inside the tick: the restart waits on its own timer.
    EXPECT_EQ(link.starts, 0);
    EXPECT_FALSE(sequencer.tmrMonitor()->isActive());
    ASSERT_TRUE(sequencer.tmrRestart()->isActive());
    EXPECT_EQ(sequencer.tmrRestart()->interval(), 1000);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(reports[0], QStringLiteral("mpv stopped unexpectedly; starting it again in 1 s"));

    sequencer.tmrRestart_Timer();
    EXPECT_EQ(link.starts, 1);
    EXPECT_EQ(playedRows(), (QList<int>{1, 2}));
    EXPECT_TRUE(sequencer.tmrMonitor()->isActive());
    EXPECT_FALSE(sequencer.tmrRestart()->isActive());
    EXPECT_EQ(reports.size(), 2);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(controlsEnabled);
}

TEST_F(PlayMonitorTest, APlayerThatCannotBeStartedIsTriedAgainWithGrowingWaitsAndNoBox)
{
    rows(3);
    click(actions.tbPlay);
    link.present = false;
    link.startSucceeds = false;
    monitor.tmrMonitor_Timer();
    QList<int> waits{sequencer.tmrRestart()->interval()};
    for (int attempt = 0; attempt < 7; ++attempt) {
        sequencer.tmrRestart_Timer();
        ASSERT_TRUE(sequencer.tmrRestart()->isActive());
        waits << sequencer.tmrRestart()->interval();
    }
    EXPECT_EQ(waits, (QList<int>{1000, 2000, 4000, 8000, 16000, 30000, 30000, 30000}));
    EXPECT_EQ(link.starts, 7);
    EXPECT_TRUE(dialogs.messages.empty());

    // Play pressed by the user while no player can be started still warns.
    click(actions.tbPlay);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Error: mpv Not Found"));

    link.startSucceeds = true;
    sequencer.tmrRestart_Timer();
    EXPECT_EQ(playedRows(), (QList<int>{1, 2}));
    // Seen playing again: the next death waits the shortest time again.
    link.positionMs = 2000;
    monitor.tmrMonitor_Timer();
    link.present = false;
    monitor.tmrMonitor_Timer();
    EXPECT_EQ(sequencer.tmrRestart()->interval(), 1000);
}

// The user's Stop ends the attempts to bring the player back and forgets how
// long their waits had grown: a player that dies after the next Play is
// awaited the shortest time again.
TEST_F(PlayMonitorTest, StopEndsTheAttemptsAndForgetsHowLongTheyHadGrown)
{
    rows(3);
    click(actions.tbPlay);
    link.present = false;
    link.startSucceeds = false;
    monitor.tmrMonitor_Timer();
    for (int attempt = 0; attempt < 6; ++attempt)
        sequencer.tmrRestart_Timer(); // each fails: the player is not linked now
    ASSERT_FALSE(sequencer.PlayerLinked());
    ASSERT_EQ(sequencer.tmrRestart()->interval(), 30000);
    actions.tbStop->trigger();
    EXPECT_FALSE(sequencer.tmrRestart()->isActive());
    EXPECT_TRUE(stoppedState());
    EXPECT_TRUE(controlsEnabled);
    EXPECT_TRUE(dialogs.messages.empty());

    link.startSucceeds = true;
    ASSERT_TRUE(sequencer.linkPlayer());
    click(actions.tbPlay);
    link.present = false; // dies before it is seen playing
    monitor.tmrMonitor_Timer();
    ASSERT_TRUE(sequencer.tmrRestart()->isActive());
    EXPECT_EQ(sequencer.tmrRestart()->interval(), 1000);
}

// After a restart the report says what happens next: the next row plays, or
// there is none (the last row without Repeat) and playback has ended.
TEST_F(PlayMonitorTest, TheRestartReportSaysWhetherPlayingGoesOnOrHasEnded)
{
    QStringList reports;
    PlaybackSequencer::Hooks hooks;
    hooks.reportTrouble = [&](const QString &text) { reports << text; };
    sequencer.setHooks(hooks);
    rows(3);
    struct Case
    {
        const char *what;
        int dying;
        bool repeat;
        int next; // 0: none
        const char *report;
    };
    const Case cases[] = {
        {"a middle row", 2, false, 3, "mpv started again; playing on with the next song"},
        {"the last row", 3, false, 0, "mpv started again; playback ended: no song is left to play"},
        {"the last row with Repeat", 3, true, 1,
         "mpv started again; playing on with the next song"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        click(actions.tbStop);
        actions.tbRepeat->setChecked(c.repeat);
        link.present = true;
        click(actions.tbPlay);
        for (int row = 1; row < c.dying; ++row)
            click(actions.tbNext);
        link.played.clear();
        reports.clear();
        link.present = false;
        monitor.tmrMonitor_Timer();
        sequencer.tmrRestart_Timer();
        EXPECT_EQ(reports.value(1), QLatin1String(c.report));
        EXPECT_EQ(playedRows(), c.next ? QList<int>{c.next} : QList<int>());
        EXPECT_EQ(sequencer.tmrMonitor()->isActive(), c.next != 0);
    }
}

} // namespace
