#include "support/playbackfixture.h"

namespace {

using PlaybackSequencerTest = PlaybackFixture;

TEST_F(PlaybackSequencerTest, PlayStartsAtTheFirstRowAndMarksIt)
{
    rows(3);
    click(actions.tbPlay);
    EXPECT_EQ(playedRows(), QList<int>{1});
    EXPECT_EQ(songs.CurrentSong(), 1);
    EXPECT_EQ(songs.row(0).tag, QStringLiteral("*"));
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
    EXPECT_EQ(songs.row(0).tag, QStringLiteral("*"));
    EXPECT_EQ(songs.row(1).tag, QStringLiteral("*"));
    EXPECT_FALSE(controlsEnabled);
    EXPECT_EQ(display.timeText, QStringLiteral("00:00:00"));

    click(actions.tbPlay);
    click(actions.tbStop);
    EXPECT_TRUE(stoppedState());
    for (int row = 0; row < 3; ++row)
        EXPECT_TRUE(songs.row(row).tag.isEmpty()) << row;
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
    click(actions.tbNext); // draws row 2
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
    EXPECT_EQ(songs.row(0).tag, QStringLiteral("*"));
    EXPECT_TRUE(songs.row(1).tag.isEmpty());
    EXPECT_TRUE(songs.row(2).tag.isEmpty());
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

} // namespace
