#include "playback/forwardingplayerlink.h"
#include "support/fakeplayerlink.h"
#include "support/recordingplayerfactory.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using RecordingFactory = RecordingPlayerFactory;

TEST(ForwardingPlayerLink, ForwardsToTheCurrentLinkAndAsksForANewOneOnlyForAnotherKind)
{
    RecordingFactory made;
    auto first = std::make_unique<FakePlayerLink>();
    FakePlayerLink *firstLink = first.get();
    made.watch(*first);
    ForwardingPlayerLink link(std::move(first), QStringLiteral("/usr/bin/mpv"), made.factory());

    EXPECT_EQ(link.playerName(), QStringLiteral("mpv"));
    EXPECT_TRUE(link.StartWinamp(QStringLiteral("/usr/bin/mpv")));
    EXPECT_EQ(firstLink->lastStartPath, QStringLiteral("/usr/bin/mpv"));
    link.WinampAddFile(QStringLiteral("/m/1.mp3"));
    link.WinampStartPlay();
    firstLink->positionMs = 4200;
    firstLink->lengthSeconds = 61;
    EXPECT_EQ(link.WinampIsPlaying(), PlayerLink::kPlaying);
    EXPECT_EQ(link.WinampGetPosition(), 4200);
    EXPECT_EQ(link.WinampGetLength(), 61);
    link.WinampPauseButton();
    link.WinampPlayButton();
    link.WinampVolumeUp();
    link.WinampVolumeDown();
    link.WinampLevelUp();
    link.WinampLevelDown();
    link.setVolumePercent(35);
    EXPECT_EQ(link.volumePercent(), 35);
    link.WinampFadeOutStop();
    link.WinampStopButton();
    link.WinampClearList();
    EXPECT_EQ(firstLink->log, QStringList({"start", "add /m/1.mp3", "startplay", "pause", "play",
                                           "volume+", "volume-", "level+", "level-", "volume=35",
                                           "fadeout", "stop", "clear"}));

    for (const char *same : {"", "/opt/mpv/bin/mpv", "C:\\Winamp\\mpv.exe", "/opt/winamp/player"})
        EXPECT_FALSE(link.needsNewLink(QString::fromUtf8(same))) << same;
    for (const char *other : {"C:\\Program Files\\Winamp\\winamp.exe", "/opt/x/WinAmp3"})
        EXPECT_TRUE(link.needsNewLink(QString::fromUtf8(other))) << other;
    EXPECT_TRUE(made.paths.empty());
}

// The start-up launches the player, lists the play lists, then waits for it:
// both halves must reach the link that really starts the player.
TEST(ForwardingPlayerLink, PassesOnBothHalvesOfAStartInTheBackground)
{
    struct HalfStartLink : FakePlayerLink
    {
        QStringList halves;
        void beginStart(const QString &path) override { halves << "begin " + path; }
        bool finishStart(const QString &path) override
        {
            halves << "finish " + path;
            return StartWinamp(path);
        }
    };
    auto inner = std::make_unique<HalfStartLink>();
    HalfStartLink *halfStart = inner.get();
    RecordingFactory made;
    ForwardingPlayerLink link(std::move(inner), QStringLiteral("/usr/bin/mpv"), made.factory());
    link.beginStart(QStringLiteral("/usr/bin/mpv"));
    EXPECT_TRUE(link.finishStart(QStringLiteral("/usr/bin/mpv")));
    EXPECT_EQ(halfStart->halves, QStringList({QStringLiteral("begin /usr/bin/mpv"),
                                              QStringLiteral("finish /usr/bin/mpv")}));
    EXPECT_EQ(halfStart->starts, 1);
}

TEST(ForwardingPlayerLink, ANewLinkClosesTheOldPlayerFirstAndKeepsTheToneGains)
{
    RecordingFactory made;
    auto first = std::make_unique<FakePlayerLink>();
    made.watch(*first);
    ForwardingPlayerLink link(std::move(first), QString(), made.factory());
    link.setToneGain(PlayerLink::ToneBand::Treble, -4.8);

    const QString winamp = QStringLiteral("/opt/players/winamp");
    link.replaceLink(winamp);
    // The old player was closed and its link gone before the new one was made.
    ASSERT_EQ(made.logsAtEnd.size(), 1u);
    EXPECT_EQ(made.logsAtEnd[0].last(), QStringLiteral("close"));
    ASSERT_EQ(made.paths, std::vector<QString>{winamp});
    EXPECT_EQ(&link.current(), made.made[0]);
    EXPECT_EQ(link.playerName(), QStringLiteral("player 1"));
    // Only the band that was set reaches the new player; it is not started.
    EXPECT_EQ(made.made[0]->log, QStringList{"treble -4.8"});
    EXPECT_EQ(made.made[0]->starts, 0);
    EXPECT_FALSE(link.needsNewLink(winamp));
    EXPECT_TRUE(link.needsNewLink(QStringLiteral("/usr/bin/mpv")));

    link.setToneGain(PlayerLink::ToneBand::Bass, 6.0);
    link.replaceLink(QStringLiteral("/usr/bin/mpv"));
    ASSERT_EQ(made.logsAtEnd.size(), 2u);
    EXPECT_EQ(made.logsAtEnd[1], QStringList({"treble -4.8", "bass 6.0", "close"}));
    EXPECT_EQ(made.made[1]->log, QStringList({"bass 6.0", "treble -4.8"}));
}

} // namespace
