// Eight hours of a shop's day on a virtual clock: the sequencer and the
// monitor play 200 songs of random lengths at random with Repeat on, against
// a fake player that is killed at random moments and sometimes fails to come
// back at once. The monitor's ticks and the restart timer are driven by the
// test at their due times; nothing waits for real time.
#include "playback/playmonitor.h"
#include "support/playbackfixture.h"

#include <QDir>

#include <random>
#include <vector>

namespace {

int openHandles()
{
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd"))
                                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                                .size());
}

class BusinessDayTest : public PlaybackFixture
{
protected:
    static constexpr qint64 kTickMs = 500;
    static constexpr qint64 kDayMs = 8LL * 60 * 60 * 1000;
    static constexpr int kSongs = 200;

    PlayMonitor monitor{sequencer, songs, display};
};

TEST_F(BusinessDayTest,
       EightHoursOfRandomRepeatWithAKilledPlayerNeverStallAndPlayEachSongOncePerCycle)
{
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    PlaybackSequencer::Hooks hooks;
    hooks.playerPath = [] { return QStringLiteral("/usr/bin/mpv"); };
    hooks.random = [&] { return unit(random); };
    int reports = 0;
    hooks.reportTrouble = [&](const QString &) { ++reports; };
    sequencer.setHooks(hooks);

    rows(kSongs);
    std::vector<qint64> lengthMs(kSongs + 1);
    for (int row = 1; row <= kSongs; ++row)
        lengthMs[static_cast<size_t>(row)] =
            std::uniform_int_distribution<qint64>(10'000, 90'000)(random);
    actions.tbRandom->setChecked(true);
    actions.tbRepeat->setChecked(true);

    const int handlesBefore = openHandles();
    const auto objectsBefore = sequencer.findChildren<QObject *>().size();

    qint64 now = 0;
    qint64 songStart = 0;
    qsizetype starts = 0;
    QList<int> played;
    // A stall: from the moment nothing plays (end or death) to the next start.
    qint64 silentSince = -1;
    qint64 allowedStall = 0;
    qint64 restartDue = -1;
    qint64 longestStall = 0;
    int kills = 0;
    int failedStarts = 0;
    int failuresToCome = 0;

    const auto noteStarts = [&] {
        if (link.played.size() == starts)
            return;
        starts = link.played.size();
        played << link.played.last().mid(3).chopped(4).toInt();
        link.lengthSeconds = static_cast<int>(lengthMs[static_cast<size_t>(played.last())] / 1000);
        songStart = now;
        if (silentSince >= 0) {
            const qint64 stall = now - silentSince;
            longestStall = std::max(longestStall, stall);
            ASSERT_LE(stall, allowedStall) << "at " << now << " ms";
            silentSince = -1;
        }
        // Keep the fake's own record from growing through the day.
        link.log.clear();
    };
    const auto armRestart = [&] {
        // A wait started by this step's handlers is due one interval later,
        // and is all the silence it may add.
        if (sequencer.tmrRestart()->isActive() && restartDue < now) {
            restartDue = now + sequencer.tmrRestart()->interval();
            allowedStall += sequencer.tmrRestart()->interval();
            ASSERT_LE(sequencer.tmrRestart()->interval(), 30'000);
        }
    };

    click(actions.tbPlay);
    noteStarts();
    for (now = kTickMs; now <= kDayMs && !HasFatalFailure(); now += kTickMs) {
        // The player's side: the song runs on, ends, or the player is killed.
        if (link.present && link.state == PlayerLink::kPlaying) {
            const qint64 elapsed = now - songStart;
            if (elapsed >= lengthMs[static_cast<size_t>(played.last())]) {
                link.state = PlayerLink::kStopped;
                link.positionMs = 0;
                silentSince = now;
                allowedStall = 0;
            } else if (unit(random) < 1.0 / 2400) { // about every 20 minutes
                link.present = false;
                ++kills;
                // Killed between two ticks: seen at the next one.
                silentSince = now - kTickMs / 2;
                allowedStall = kTickMs;
                failuresToCome = unit(random) < 0.3 ? 1 + static_cast<int>(unit(random) * 6) : 0;
            } else {
                link.positionMs = static_cast<int>(elapsed);
            }
        }

        if (restartDue >= 0 && now >= restartDue) {
            restartDue = -1;
            link.startSucceeds = failuresToCome == 0;
            if (failuresToCome > 0) {
                --failuresToCome;
                ++failedStarts;
            }
            sequencer.tmrRestart_Timer();
            noteStarts();
            armRestart();
        }
        if (sequencer.tmrMonitor()->isActive()) {
            monitor.tmrMonitor_Timer();
            noteStarts();
            armRestart();
        }
        // Something is always due: a tick or a restart. Neither means a stall
        // that would last until someone pressed a button.
        ASSERT_TRUE(sequencer.tmrMonitor()->isActive() || sequencer.tmrRestart()->isActive())
            << "at " << now << " ms";
    }

    EXPECT_GT(kills, 10);
    EXPECT_GT(failedStarts, 0);
    EXPECT_GT(reports, kills);
    EXPECT_TRUE(dialogs.messages.empty());
    RecordProperty("songsPlayed", static_cast<int>(played.size()));
    RecordProperty("longestStallMs", static_cast<int>(longestStall));

    // Every song once per cycle: each full run of 200 starts holds each row
    // once. Songs of 10 to 90 s give the day at least two whole cycles.
    ASSERT_GE(played.size(), 2 * kSongs);
    for (qsizetype cycle = 0; (cycle + 1) * kSongs <= played.size(); ++cycle) {
        QList<int> rowsOfCycle = played.mid(cycle * kSongs, kSongs);
        std::sort(rowsOfCycle.begin(), rowsOfCycle.end());
        for (int row = 1; row <= kSongs; ++row)
            ASSERT_EQ(rowsOfCycle[row - 1], row) << "cycle " << cycle;
    }

    // Nothing grew through the day.
    EXPECT_EQ(songs.rowCount(), kSongs);
    EXPECT_EQ(library.count(), 1);
    EXPECT_EQ(sequencer.findChildren<QObject *>().size(), objectsBefore);
    EXPECT_EQ(openHandles(), handlesBefore);
}

} // namespace
