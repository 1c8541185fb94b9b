// The main window as remote controls see it, over the fake player: commands
// press the player toolbar's buttons, so the toolbar's rules hold for them.
#include "library/songlistmodel.h"
#include "playback/playbacksequencer.h"
#include "playback/playeractions.h"
#include "playback/playertoolbar.h"
#include "remote/remotecontrol.h"
#include "support/frmmainfixture.h"

#include <QAction>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeView>

namespace {

using MainRemoteControlTest = frmMainFixture;
using Status = RemoteControl::Status;

TEST_F(MainRemoteControlTest, CommandsPlayAsTheToolbarDoesAndTheStateFollows)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), threeSongs);
    auto window = start();
    RemoteControl &remote = window->remoteControl();
    auto *library = window->findChild<QTreeView *>(QStringLiteral("lvPlayLists"));
    EXPECT_EQ(remote.state().status, Status::Stopped);
    EXPECT_EQ(remote.state().track.number, 0);
    EXPECT_FALSE(remote.state().canGoNext);

    remote.play();
    EXPECT_EQ(link->played, QStringList{QStringLiteral("/m/1.mp3")});
    EXPECT_FALSE(library->isEnabled()); // the play-list controls are locked
    RemoteControl::State state = remote.state();
    EXPECT_EQ(state.status, Status::Playing);
    EXPECT_EQ(state.track.number, 1);
    EXPECT_EQ(state.track.title, QStringLiteral("One"));
    EXPECT_EQ(state.track.artist, QStringLiteral("A"));
    EXPECT_EQ(state.track.file, QStringLiteral("/m/1.mp3"));
    EXPECT_EQ(state.track.lengthSeconds, 205); // the row's 03:25 while the player knows none
    EXPECT_TRUE(state.canGoNext && state.canGoPrevious && state.canPause);

    // The player's own length wins once it knows it.
    link->lengthSeconds = 207;
    remote.next();
    EXPECT_EQ(remote.state().track.lengthSeconds, 207);
    remote.previous();
    EXPECT_EQ(link->played, (QStringList{QStringLiteral("/m/1.mp3"), QStringLiteral("/m/2.mp3"),
                                         QStringLiteral("/m/1.mp3")}));

    remote.pause();
    EXPECT_EQ(link->state, PlayerLink::kPaused);
    EXPECT_EQ(remote.state().status, Status::Paused);
    // The player resumed by a second Pause: the toolbar still shows Pause,
    // the remote sees it playing.
    remote.pause();
    EXPECT_TRUE(window->playerActions().tbPause->isChecked());
    EXPECT_EQ(remote.state().status, Status::Playing);

    remote.stop();
    state = remote.state();
    EXPECT_EQ(state.status, Status::Stopped);
    EXPECT_EQ(state.track.number, 1); // Stop keeps the current row
    EXPECT_EQ(state.track.lengthSeconds, 205);
    EXPECT_TRUE(library->isEnabled());
    EXPECT_EQ(remote.positionMs(), 0);

    // Next is disabled while stopped; a remote Next does nothing either.
    remote.next();
    EXPECT_EQ(link->played.size(), 3);
    EXPECT_EQ(remote.state().status, Status::Stopped);
}

TEST_F(MainRemoteControlTest, WithoutAPlayerCommandsShowOnlyTheWarning)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), threeSongs);
    auto window = startWithoutPlayer();
    ASSERT_FALSE(window->PlayerLinked());
    const size_t before = dialogs.messages.size();

    RemoteControl &remote = window->remoteControl();
    remote.play();
    remote.setRepeat(true);
    ASSERT_EQ(dialogs.messages.size(), before + 2);
    EXPECT_EQ(dialogs.messages.back().title, QStringLiteral("Error: mpv Not Found"));
    EXPECT_TRUE(link->played.isEmpty());
    EXPECT_FALSE(window->playerActions().tbRepeat->isChecked());
    EXPECT_FALSE(window->playerActions().tbPlay->isChecked());
    EXPECT_EQ(remote.state().volume, 0.0); // no player to ask
}

TEST_F(MainRemoteControlTest, ModesAndVolumeFollowTheirButtonsAndThePlayer)
{
    auto window = start();
    const PlayerActions &actions = window->playerActions();
    RemoteControl &remote = window->remoteControl();
    QSignalSpy changed(&remote, &RemoteControl::changed);

    // A click on the real Repeat button is a change remotes must hear of.
    QTest::mouseClick(window->playerToolBar().widgetForAction(actions.tbRepeat), Qt::LeftButton);
    EXPECT_TRUE(remote.state().repeat);
    EXPECT_FALSE(changed.isEmpty());

    remote.setRepeat(false);
    EXPECT_FALSE(actions.tbRepeat->isChecked());
    remote.setRandom(true);
    EXPECT_TRUE(actions.tbRandom->isChecked());
    EXPECT_FALSE(actions.tbContinue->isChecked());
    EXPECT_TRUE(remote.state().random);
    remote.setRandom(false);
    EXPECT_TRUE(actions.tbContinue->isChecked());

    link->volume = 40;
    EXPECT_DOUBLE_EQ(remote.state().volume, 0.4);
    remote.setVolume(0.755);
    EXPECT_EQ(link->volume, 76);
}

TEST_F(MainRemoteControlTest, RaiseBringsTheWindowBackAndQuitClosesWithItsQuestions)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), threeSongs);
    auto window = start();
    RemoteControl &remote = window->remoteControl();
    window->showMinimized();
    remote.raise();
    EXPECT_FALSE(window->isMinimized());
    EXPECT_TRUE(window->isVisible());

    window->songs().appendRow(songRow(QStringLiteral("Four"), {}, QStringLiteral("01:00"), {}));
    window->SetModifyedPLFlag();
    dialogs.answers = {DialogAnswer::Cancel};
    remote.quit();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(dialogs.answers.empty()); // the question was asked

    dialogs.answers = {DialogAnswer::No};
    remote.quit();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(readBytes(path(QStringLiteral("Rock.sdf"))), threeSongs);
}

} // namespace
