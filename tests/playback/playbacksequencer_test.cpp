#include "playback/playmonitor.h"
#include "support/playbackfixture.h"

namespace {

using PlaybackSequencerTest = PlaybackFixture;

TEST_F(PlaybackSequencerTest, PlayStartsAtTheFirstRowAndMarksIt)
{
    rows(3);
    click(actions.tbPlay);
    EXPECT_EQ(playedRows(), QList<int>{1});
    EXPECT_EQ(songs.CurrentSong(), 1);
    EXPECT_EQ(songs.row(0).tag(), QStringLiteral("*"));
    EXPECT_EQ(songs.row(0).icon, PlaybackSequencer::kNowPlayingImage);
    EXPECT_EQ(songs.row(0).smallIcon, PlaybackSequencer::kNowPlayingImage);
    EXPECT_EQ(sequencer.SongLength(), 185);
    EXPECT_TRUE(actions.tbPlay->isChecked());
    EXPECT_FALSE(actions.tbStop->isChecked());
    EXPECT_TRUE(actions.tbNext->isEnabled());
    EXPECT_TRUE(sequencer.tmrMonitor()->isActive());
    EXPECT_FALSE(controlsEnabled);
    // The player's own list never holds more than the one file that plays.
    EXPECT_EQ(link.log.mid(0, 3), (QStringList{"clear", "add /m/1.mp3", "startplay"}));

    click(actions.tbNext);
    EXPECT_EQ(playedRows(), (QList<int>{1, 2}));
    EXPECT_EQ(songs.row(0).icon, 5); // the icon comes back when the row stops
    click(actions.tbPlay);
    EXPECT_EQ(playedRows(), (QList<int>{1, 2, 1}));
}

TEST_F(PlaybackSequencerTest, PlayWhilePausedResumesTheSameFile)
{
    rows(3);
    click(actions.tbPlay);
    click(actions.tbNext);
    click(actions.tbPause);
    EXPECT_EQ(link.state, PlayerLink::kPaused);
    EXPECT_TRUE(actions.tbPause->isChecked());
    click(actions.tbPlay);
    EXPECT_EQ(link.state, PlayerLink::kPlaying);
    EXPECT_EQ(playedRows(), (QList<int>{1, 2}));
    EXPECT_EQ(link.log.last(), QStringLiteral("play"));
}

TEST_F(PlaybackSequencerTest, NextAndPrevAtBothEnds)
{
    rows(3);
    songs.setCurrentSong(2);
    click(actions.tbNext);
    click(actions.tbNext); // past the last row without Repeat: stop
    EXPECT_EQ(playedRows(), QList<int>{3});
    EXPECT_EQ(songs.CurrentSong(), 3);
    EXPECT_TRUE(stoppedState());

    actions.tbRepeat->setChecked(true);
    click(actions.tbNext);
    EXPECT_EQ(playedRows(), (QList<int>{3, 1}));
    click(actions.tbPrev);
    EXPECT_EQ(playedRows(), (QList<int>{3, 1, 3}));

    actions.tbRepeat->setChecked(false);
    songs.setCurrentSong(1);
    click(actions.tbPrev);
    EXPECT_EQ(songs.CurrentSong(), 1);
    EXPECT_TRUE(stoppedState());
    EXPECT_EQ(playedRows().size(), 3);
    EXPECT_FALSE(controlsEnabled); // still locked until Stop
}

TEST_F(PlaybackSequencerTest, PrevBeforeAnySongActsLikePlay)
{
    rows(3);
    ASSERT_EQ(songs.CurrentSong(), 0);
    click(actions.tbPrev);
    EXPECT_EQ(playedRows(), QList<int>{1});
    EXPECT_EQ(songs.CurrentSong(), 1);
}

TEST_F(PlaybackSequencerTest, StopClearsTheMarksAndFadeOutKeepsThem)
{
    rows(3);
    click(actions.tbPlay);
    click(actions.tbNext);
    sequencer.tbPlayer_ButtonMenuClick(actions.tbbFadeOut->objectName());
    EXPECT_TRUE(link.log.contains(QStringLiteral("fadeout")));
    EXPECT_TRUE(stoppedState());
    EXPECT_EQ(songs.row(0).tag(), QStringLiteral("*"));
    EXPECT_EQ(songs.row(1).tag(), QStringLiteral("*"));
    EXPECT_FALSE(controlsEnabled);
    EXPECT_EQ(display.timeText, QStringLiteral("00:00:00"));

    click(actions.tbPlay);
    click(actions.tbStop);
    EXPECT_TRUE(stoppedState());
    for (int row = 0; row < 3; ++row)
        EXPECT_TRUE(songs.row(row).tag().isEmpty()) << row;
    EXPECT_TRUE(controlsEnabled);
}

TEST_F(PlaybackSequencerTest, FadeOutAndNextFadesThenPlaysTheNextRow)
{
    rows(3);
    click(actions.tbPlay);
    sequencer.tbPlayer_ButtonMenuClick(actions.tbbFadeOutNext->objectName());
    EXPECT_EQ(playedRows(), (QList<int>{1, 2}));
    const qsizetype fade = link.log.indexOf(QStringLiteral("fadeout"));
    ASSERT_GE(fade, 0);
    EXPECT_GT(link.log.indexOf(QStringLiteral("add /m/2.mp3")), fade);
}

TEST_F(PlaybackSequencerTest, TheRandomSelectorPlaysEachRowOnceBeforeClearing)
{
    rows(3);
    actions.tbRandom->setChecked(true);
    EXPECT_FALSE(actions.tbContinue->isChecked());
    draws = {0.5};
    click(actions.tbNext); // the integer part of 3 x 0.5 + 1
    EXPECT_EQ(playedRows(), QList<int>{2});
    // Every further draw hits row 1 or 2; the scan finds the rest.
    draws.assign(100, 0.0);
    click(actions.tbNext);
    click(actions.tbNext);
    QList<int> firstCycle = playedRows();
    std::sort(firstCycle.begin(), firstCycle.end());
    EXPECT_EQ(firstCycle, (QList<int>{1, 2, 3}));

    // The fourth pick: all marked, so the marks are cleared and, without
    // Repeat, the player stops and then plays the last drawn row.
    click(actions.tbNext);
    EXPECT_EQ(playedRows().size(), 4);
    EXPECT_EQ(playedRows().last(), 1);
    EXPECT_EQ(songs.row(0).tag(), QStringLiteral("*"));
    EXPECT_TRUE(songs.row(1).tag().isEmpty());
    EXPECT_TRUE(songs.row(2).tag().isEmpty());
}

TEST_F(PlaybackSequencerTest, WithoutAPlayerEveryButtonButPreferencesWarns)
{
    rows(3);
    sequencer.setPlayerLinked(false);
    link.present = false;
    const QList<QAction *> warned = {actions.tbPrev,   actions.tbPlay,   actions.tbPause,
                                     actions.tbStop,   actions.tbNext,   actions.tbContinue,
                                     actions.tbRandom, actions.tbRepeat, actions.tbMixer};
    for (QAction *button : warned)
        click(button);
    ASSERT_EQ(dialogs.messages.size(), static_cast<size_t>(warned.size()));
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Error: mpv Not Found"));
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("The mpv application could not be found, please use the Preferences "
                             "dialog to select the path where the mpv file can be found"));
    EXPECT_EQ(dialogs.messages[0].icon, DialogIcon::Warning);
    EXPECT_TRUE(link.played.isEmpty());

    sequencer.lvSongs_DblClick();
    EXPECT_EQ(dialogs.messages.size(), static_cast<size_t>(warned.size()) + 1);

    // Preferences shows the dialog and then retries the link without a word.
    click(actions.tbPreferences);
    EXPECT_EQ(preferencesShown, 1);
    EXPECT_EQ(link.starts, 1);
    EXPECT_EQ(link.lastStartPath, QStringLiteral("/usr/bin/mpv"));
    EXPECT_TRUE(sequencer.PlayerLinked());
    EXPECT_EQ(dialogs.messages.size(), static_cast<size_t>(warned.size()) + 1);
}

TEST_F(PlaybackSequencerTest, DoubleClickAndTheSongMenuPlayTheSelectedRow)
{
    rows(4);
    sequencer.lvSongs_DblClick(); // nothing selected: nothing happens
    EXPECT_TRUE(link.played.isEmpty());

    selection.setCurrentIndex(songs.index(2, 0),
                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    sequencer.lvSongs_DblClick();
    EXPECT_EQ(playedRows(), QList<int>{3});
    EXPECT_EQ(songs.CurrentSong(), 3);
    EXPECT_FALSE(controlsEnabled);

    selection.setCurrentIndex(songs.index(0, 0),
                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    sequencer.mnuSongsFadeAndPlay_Click();
    EXPECT_EQ(playedRows(), (QList<int>{3, 1}));
    EXPECT_LT(link.log.lastIndexOf(QStringLiteral("fadeout")),
              link.log.lastIndexOf(QStringLiteral("add /m/1.mp3")));
}

// A VORN started after a crash may find the old one's player still playing
// or paused; it shows nothing playing, so the player is stopped. A player
// linked again while VORN plays is left alone.
TEST_F(PlaybackSequencerTest, LinkingAPlayerThatPlaysWhileVornPlaysNothingStopsIt)
{
    rows(3);
    for (const bool atStartUp : {false, true}) {
        for (const int leftState : {PlayerLink::kPlaying, PlayerLink::kPaused}) {
            link.state = leftState;
            link.positionMs = 42'000;
            link.log.clear();
            if (atStartUp) {
                sequencer.beginLinkingPlayer();
                ASSERT_TRUE(sequencer.finishLinkingPlayer());
            } else {
                ASSERT_TRUE(sequencer.linkPlayer());
            }
            EXPECT_EQ(link.state, PlayerLink::kStopped) << leftState << atStartUp;
            EXPECT_EQ(link.log, (QStringList{QStringLiteral("start"), QStringLiteral("stop")}));
        }
    }
    link.log.clear();
    ASSERT_TRUE(sequencer.linkPlayer());
    EXPECT_EQ(link.log, QStringList{QStringLiteral("start")}) << "an idle player gets no command";

    click(actions.tbPlay);
    link.log.clear();
    ASSERT_TRUE(sequencer.linkPlayer());
    EXPECT_EQ(link.state, PlayerLink::kPlaying);
    EXPECT_EQ(link.log, QStringList{QStringLiteral("start")});
    EXPECT_EQ(playedRows(), QList<int>{1});
}

TEST_F(PlaybackSequencerTest, PlayOnAnEmptyListOnlyReleasesPlay)
{
    click(actions.tbPlay);
    EXPECT_FALSE(actions.tbPlay->isChecked());
    EXPECT_TRUE(link.played.isEmpty());
    EXPECT_FALSE(sequencer.tmrMonitor()->isActive());
}

TEST_F(PlaybackSequencerTest, RowsRemovedWhilePlayingNeverPlayPastTheEnd)
{
    rows(3);
    songs.setCurrentSong(3);
    click(actions.tbNext); // stops on the last row
    songs.removeRowsAt({1, 2});
    ASSERT_EQ(songs.rowCount(), 1);
    actions.tbRepeat->setChecked(true);
    click(actions.tbPrev);
    EXPECT_EQ(playedRows().last(), 1);
    EXPECT_EQ(songs.CurrentSong(), 1);
}

// Rows with icons of their own (row r: large 10 + r, small 20 + r), so that a
// wrong restore shows.
class NowPlayingMarkTest : public PlaybackFixture
{
protected:
    NowPlayingMarkTest()
    {
        rows(4);
        for (int row = 0; row < songs.rowCount(); ++row)
            songs.setIcons(row, 10 + row, 20 + row);
        link.positionMs = 1000;
    }

    // Only the playing row carries the now-playing image; every other row
    // shows its own icon.
    void expectOnlyThePlayingRowMarked(const char *step)
    {
        SCOPED_TRACE(step);
        const bool playing = sequencer.tmrMonitor()->isActive();
        for (int row = 0; row < songs.rowCount(); ++row) {
            const bool marked = playing && row == songs.CurrentSong() - 1;
            EXPECT_EQ(songs.row(row).icon, marked ? PlaybackSequencer::kNowPlayingImage : 10 + row)
                << "row " << row;
            EXPECT_EQ(songs.row(row).smallIcon,
                      marked ? PlaybackSequencer::kNowPlayingImage : 20 + row)
                << "row " << row;
        }
    }

    PlayMonitor monitor{sequencer, songs, display};
};

TEST_F(NowPlayingMarkTest, EveryPathThatChangesThePlayingRowRestoresTheOldRowsIcon)
{
    actions.tbPlay->trigger();
    expectOnlyThePlayingRowMarked("Play");
    actions.tbNext->trigger();
    expectOnlyThePlayingRowMarked("Next");
    actions.tbPlay->trigger(); // while row 2 plays: back to row 1
    EXPECT_EQ(playedRows(), (QList<int>{1, 2, 1}));
    expectOnlyThePlayingRowMarked("Play while playing");
    actions.tbStop->trigger();
    expectOnlyThePlayingRowMarked("Stop");

    selection.setCurrentIndex(songs.index(2, 0),
                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    sequencer.lvSongs_DblClick();
    expectOnlyThePlayingRowMarked("double-click");
    actions.tbPrev->trigger();
    expectOnlyThePlayingRowMarked("Prev");
    link.positionMs = 0; // the song ends
    monitor.tmrMonitor_Timer();
    EXPECT_EQ(playedRows().last(), 3);
    expectOnlyThePlayingRowMarked("end of song");
    actions.tbbFadeOut->trigger();
    expectOnlyThePlayingRowMarked("Fade Out && Stop");
}

TEST_F(NowPlayingMarkTest, ARestartedPlayerPlaysOnAndEveryRowKeepsItsOwnIcon)
{
    actions.tbPlay->trigger();
    actions.tbNext->trigger();
    link.present = false; // the player is gone; the monitor has it started again
    monitor.tmrMonitor_Timer();
    sequencer.tmrRestart_Timer();
    ASSERT_EQ(link.starts, 1);
    EXPECT_EQ(playedRows(), (QList<int>{1, 2, 3}));
    expectOnlyThePlayingRowMarked("restart");
    actions.tbNext->trigger();
    expectOnlyThePlayingRowMarked("Next after the restart");
    actions.tbStop->trigger();
    expectOnlyThePlayingRowMarked("Stop");
}

TEST_F(NowPlayingMarkTest, FadeOutAndPlayWithNoRowSelectedEndsStopped)
{
    actions.tbPlay->trigger();
    actions.tbNext->trigger();
    selection.clearSelection();
    sequencer.mnuSongsFadeAndPlay_Click();
    EXPECT_TRUE(link.log.contains(QStringLiteral("fadeout")));
    EXPECT_TRUE(stoppedState());
    EXPECT_EQ(link.state, PlayerLink::kStopped);
    EXPECT_EQ(display.timeText, QStringLiteral("00:00:00"));
    expectOnlyThePlayingRowMarked("Fade Out && Play");
    EXPECT_EQ(playedRows(), (QList<int>{1, 2}));
    // Stopped, not wedged: Stop releases the play-list controls and Play plays.
    actions.tbStop->trigger();
    EXPECT_TRUE(controlsEnabled);
    actions.tbPlay->trigger();
    EXPECT_EQ(playedRows(), (QList<int>{1, 2, 1}));
}

TEST_F(NowPlayingMarkTest, ThePlayingRowRemovedLeavesTheRowThatTakesItsPlaceAlone)
{
    actions.tbPlay->trigger();
    actions.tbNext->trigger(); // row 2 plays
    songs.removeRowsAt({1});   // CurrentSong keeps its number: now row 3's song
    actions.tbStop->trigger();
    EXPECT_EQ(songs.row(1).icon, 12);
    EXPECT_EQ(songs.row(1).smallIcon, 22);
}

TEST_F(NowPlayingMarkTest, TheCaptionReturnsToTheProgramNameWhenPlaybackEndsMinimized)
{
    display.minimized = true;
    songs.setCurrentSong(4);
    selection.setCurrentIndex(songs.index(3, 0),
                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    sequencer.lvSongs_DblClick();
    monitor.tmrMonitor_Timer();
    EXPECT_EQ(display.caption, QStringLiteral("Song 4 - VORN"));
    link.positionMs = 0; // the last song ends without Repeat
    monitor.tmrMonitor_Timer();
    EXPECT_TRUE(stoppedState());
    EXPECT_EQ(display.caption, QStringLiteral("VORN"));
}

// Commands refused for want of a player, pressed through the actions so that
// Qt's own toggling of checkable buttons takes part.
TEST_F(PlaybackSequencerTest, ARefusedCommandLeavesEveryPressedButtonAsItWas)
{
    rows(3);
    sequencer.setPlayerLinked(false);
    link.present = false;
    actions.tbStop->setChecked(true);
    actions.tbRepeat->setChecked(true);
    const QList<QAction *> buttons = actions.buttons();
    auto pressed = [&buttons] {
        QList<bool> states;
        for (QAction *button : buttons)
            states << button->isChecked();
        return states;
    };
    const QList<bool> before = pressed();

    // Prev, Pause and Next are disabled while stopped.
    const QList<QAction *> refused = {actions.tbStop,     actions.tbPlay,   actions.tbRandom,
                                      actions.tbContinue, actions.tbRepeat, actions.tbMixer};
    for (QAction *button : refused) {
        button->trigger();
        EXPECT_EQ(pressed(), before) << button->objectName().toStdString();
    }
    EXPECT_EQ(dialogs.messages.size(), static_cast<size_t>(refused.size()));
    EXPECT_TRUE(link.played.isEmpty());

    // Paused, as the player was when it went away: group A's pressed member
    // comes back when another one is refused.
    for (QAction *button : {actions.tbPrev, actions.tbPause, actions.tbNext})
        button->setEnabled(true);
    actions.tbPause->setChecked(true);
    actions.tbStop->setChecked(false);
    const QList<bool> paused = pressed();
    for (QAction *button :
         {actions.tbPlay, actions.tbPrev, actions.tbPause, actions.tbNext, actions.tbRandom}) {
        button->trigger();
        EXPECT_EQ(pressed(), paused) << button->objectName().toStdString();
    }
    EXPECT_EQ(dialogs.messages.size(), static_cast<size_t>(refused.size()) + 5);

    // With the player back the same buttons work again.
    sequencer.setPlayerLinked(true);
    link.present = true;
    actions.tbRandom->trigger();
    EXPECT_TRUE(actions.tbRandom->isChecked());
    EXPECT_FALSE(actions.tbContinue->isChecked());
}

} // namespace

// Every song reaches the player with its own gain already set, before the
// file is handed over; with no gain source every song plays at unity.
TEST_F(PlaybackSequencerTest, EachSongIsHandedOverWithItsOwnGain)
{
    rows(3);
    click(actions.tbPlay);
    EXPECT_EQ(link.songGains, QList<double>{0.0});

    PlaybackSequencer::Hooks hooks;
    hooks.enablePlayListControls = [this](bool enabled) { controlsEnabled = enabled; };
    hooks.playerPath = [] { return QStringLiteral("/usr/bin/mpv"); };
    hooks.songGain = [](const QString &file) {
        return file == QLatin1String("/m/2.mp3") ? -6.5 : 3.25;
    };
    QList<int> starting;
    hooks.songStarting = [&starting](int row) { starting << row; };
    sequencer.setHooks(hooks);
    click(actions.tbNext);
    click(actions.tbNext);
    click(actions.tbPrev);
    EXPECT_EQ(link.songGains, (QList<double>{0.0, -6.5, 3.25, -6.5}));
    EXPECT_EQ(starting, (QList<int>{1, 2, 1}));
    EXPECT_EQ(playedRows(), (QList<int>{1, 2, 3, 2}));
}
