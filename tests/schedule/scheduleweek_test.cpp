// A shop's week on a virtual clock: the schedule runs the real store, the
// real sequencer and the monitor against a recording fake player, through a
// holiday, a change to summer time, a clock set back by one hour and forward
// by two, a sleep over two slot starts, a deleted list and a user's Stop.
#include "playback/playbacksequencer.h"
#include "playback/playeractions.h"
#include "playback/playmonitor.h"
#include "schedule/libraryscheduleplayer.h"
#include "schedule/schedulerunner.h"
#include "support/fakeplayerlink.h"
#include "support/librarystack.h"
#include "support/playlistfiles.h"
#include "support/recordingdisplay.h"
#include "support/virtualscheduleclock.h"

#include <QAction>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <random>

namespace {

constexpr qint64 kMinute = 60'000;
constexpr qint64 kHour = 60 * kMinute;
const QString kShared = QStringLiteral("/m/shared.mp3");

struct Start
{
    QString file;
    QString list;
    qint64 wallMs;
    qint64 monoMs;
    bool bySchedule;
};

class ScheduleWeekTest : public ::testing::Test
{
protected:
    ScheduleWeekTest()
        : actions(PlayerActions::create(&owner))
        , sequencer(link, stack.songs, stack.songSelection, stack.library, actions, display,
                    stack.dialogs)
        , monitor(sequencer, stack.songs, display)
        , clock(localTime(QDate(2026, 3, 23), QTime(0, 0)), zone)
        , player(stack.store, stack.commands, stack.library, stack.librarySelection, stack.songs,
                 sequencer, actions)
    {
        // Marks the starts the schedule makes while the clock calls it;
        // connected before the runner, so it runs first.
        QObject::connect(&clock, &ScheduleClock::due, [this] { ++insideSchedule; });
        QObject::connect(&clock, &ScheduleClock::changed, [this] { ++insideSchedule; });
        runner = std::make_unique<ScheduleRunner>(clock, player);
        QObject::connect(&clock, &ScheduleClock::due, [this] { leftSchedule(); });
        QObject::connect(&clock, &ScheduleClock::changed, [this] { leftSchedule(); });

        PlaybackSequencer::Hooks hooks;
        hooks.playerPath = [] { return QStringLiteral("/usr/bin/mpv"); };
        hooks.random = [this] { return unit(random); };
        sequencer.setHooks(hooks);
        sequencer.setPlayerLinked(true);
        sequencer.setSongEndHandler([this] {
            ++insideSchedule;
            const bool took = runner->songEnded();
            leftSchedule();
            return took;
        });
        QObject::connect(&player, &LibrarySchedulePlayer::userTookOver, runner.get(),
                         &ScheduleRunner::userTookOver);
        QObject::connect(&player, &LibrarySchedulePlayer::playerFree, runner.get(),
                         &ScheduleRunner::playerFree);
        player.setReporter([this](const QString &text) { reports << text; });
    }

    QDateTime localTime(QDate date, QTime time) const { return QDateTime(date, time, zone).toUTC(); }

    void writeList(const QString &name, const QStringList &files)
    {
        QByteArray text;
        for (const QString &file : files) {
            const QByteArray utf8 = file.toUtf8();
            text += storedLine({utf8.constData(), "", "", "", "03:00", utf8.constData()});
        }
        writeBytes(stack.dir.filePath(name + QStringLiteral(".sdf")), text);
    }

    qint64 lengthOf(const QString &file)
    {
        if (!lengthMs.contains(file))
            lengthMs[file] = file == kShared
                                 ? 40 * kMinute
                                 : std::uniform_int_distribution<qint64>(150, 330)(random) * 1000;
        return lengthMs[file];
    }

    // Records what the player was handed since the last look.
    void noteStarts(bool bySchedule)
    {
        while (seen < link.played.size()) {
            const QString file = link.played[seen++];
            starts.push_back({file, player.shownList(), clock.now().toMSecsSinceEpoch(),
                              clock.monotonicMs(), bySchedule});
            songEndMono = clock.monotonicMs() + lengthOf(file);
        }
    }
    void leftSchedule()
    {
        noteStarts(insideSchedule > 0);
        --insideSchedule;
    }

    bool musicPlays() const { return link.state == PlayerLink::kPlaying && sequencer.tmrMonitor()->isActive(); }
    QString playingList() const { return musicPlays() ? starts.back().list : QString(); }

    // The library's Delete of a play list, as a user gives it while closed.
    void deleteList(const QString &name)
    {
        stack.store.selectPlayList(stack.library.findByName(name));
        stack.commands.mnuPLDelete_Click();
    }

    QObject owner;
    LibraryStack stack;
    PlayerActions actions;
    FakePlayerLink link;
    RecordingDisplay display;
    PlaybackSequencer sequencer;
    PlayMonitor monitor;
    const QTimeZone zone{"Europe/Berlin"};
    VirtualScheduleClock clock;
    LibrarySchedulePlayer player;
    std::unique_ptr<ScheduleRunner> runner;

    std::mt19937 random{20260323u};
    std::uniform_real_distribution<double> unit{0.0, 1.0};
    QHash<QString, qint64> lengthMs;
    QStringList reports;
    std::vector<Start> starts;
    qsizetype seen = 0;
    int insideSchedule = 0;
    qint64 songEndMono = std::numeric_limits<qint64>::max();
};

TEST_F(ScheduleWeekTest, AWeekOfSlotsPlaysTheRightListAtEveryMomentWhateverTheClockDoes)
{
    QStringList morning{kShared}, lunch{kShared}, afternoon{kShared}, night;
    for (int i = 1; i <= 12; ++i) {
        morning << QStringLiteral("/m/morning-%1.mp3").arg(i);
        lunch << QStringLiteral("/m/lunch-%1.mp3").arg(i);
        afternoon << QStringLiteral("/m/afternoon-%1.mp3").arg(i);
        night << QStringLiteral("/m/night-%1.mp3").arg(i);
    }
    writeList(QStringLiteral("Afternoon"), afternoon);
    writeList(QStringLiteral("Lunch"), lunch);
    writeList(QStringLiteral("Morning"), morning);
    writeList(QStringLiteral("Night"), night);
    stack.store.LoadPlayLists();
    ASSERT_EQ(stack.library.count(), 4);

    // Four slots a day, closed at night; Friday is a holiday; Sunday opens
    // at 02:30, an hour that does not exist that night.
    SchedulePlan plan;
    plan.follow = true;
    for (int day = 0; day < SchedulePlan::kDays; ++day) {
        DayPlan &daySlots = plan.week[static_cast<size_t>(day)];
        if (day == 6)
            daySlots << ScheduleSlot::playing(QTime(2, 30), QStringLiteral("Night"));
        daySlots << ScheduleSlot::playing(QTime(7, 0), QStringLiteral("Morning"))
              << ScheduleSlot::playing(QTime(11, 30), QStringLiteral("Lunch"), true, false)
              << ScheduleSlot::playing(QTime(13, 0), QStringLiteral("Afternoon"))
              << ScheduleSlot::closedAt(QTime(19, 0));
    }
    plan.exceptions[QDate(2026, 3, 27)] = {ScheduleSlot::closedAt(QTime(0, 0))};
    runner->setPlan(plan);

    // What the test does, at local wall times; each returns whether the
    // schedule is held by it until the next slot.
    struct Step
    {
        QDateTime at;
        std::function<void()> act;
    };
    QDateTime heldUntil;
    std::vector<Step> script{
        // Tuesday: the clock is set back an hour in the lunch slot.
        {localTime(QDate(2026, 3, 24), QTime(11, 40)), [&] { clock.jump(-kHour); }},
        // Wednesday: forward two hours in the morning, over the lunch start.
        {localTime(QDate(2026, 3, 25), QTime(10, 0)), [&] { clock.jump(2 * kHour); }},
        // Thursday: three hours of sleep over the lunch and afternoon starts.
        {localTime(QDate(2026, 3, 26), QTime(11, 0)), [&] { clock.sleep(3 * kHour); }},
        // Saturday: the user stops the music at lunch, then plays a long song
        // that is also the first of the afternoon list.
        {localTime(QDate(2026, 3, 28), QTime(12, 0)),
         [&] {
             actions.tbStop->trigger();
             heldUntil = localTime(QDate(2026, 3, 28), QTime(13, 0));
             EXPECT_EQ(runner->statusText(), QStringLiteral("Schedule held until 13:00"));
         }},
        {localTime(QDate(2026, 3, 28), QTime(12, 30)),
         [&] {
             stack.songSelection.setCurrentIndex(stack.songs.index(0, 0),
                                                 QItemSelectionModel::ClearAndSelect |
                                                     QItemSelectionModel::Rows);
             sequencer.lvSongs_DblClick();
         }},
        // Saturday night, closed: the lunch list is deleted.
        {localTime(QDate(2026, 3, 28), QTime(20, 0)),
         [&] {
             deleteList(QStringLiteral("Lunch"));
             heldUntil = localTime(QDate(2026, 3, 29), QTime(3, 0));
         }},
    };
    size_t nextStep = 0;

    ++insideSchedule;
    runner->start();
    leftSchedule();
    EXPECT_FALSE(musicPlays());
    EXPECT_EQ(runner->statusText(), QStringLiteral("Schedule: closed until 07:00"));

    const qint64 end = localTime(QDate(2026, 3, 30), QTime(0, 0)).toMSecsSinceEpoch();
    qint64 nextCheckMono = clock.monotonicMs() + ScheduleRunner::kCheckIntervalMs;
    // The start in effect as the test sees it, and the moment it took effect.
    std::optional<SlotStart> expectedStart;
    qint64 changedAtMono = 0;
    QString carriedList;
    int observations = 0;

    // What runs stays the same from one start to the next.
    SchedulePosition known;
    const auto positionNow = [&] {
        const QDateTime now = clock.now();
        if (!known.running || !known.next || now < known.running->at || now >= known.next->at)
            known = ScheduleTimeline::positionAt(plan, now, zone);
        return known;
    };
    const auto observe = [&] {
        ++observations;
        const qint64 now = clock.now().toMSecsSinceEpoch();
        const SchedulePosition position = positionNow();
        ASSERT_TRUE(position.running);
        if (!expectedStart || !expectedStart->sameStart(*position.running)) {
            // The list that played before a slot whose list is missing plays on.
            carriedList = playingList().isEmpty() ? carriedList : playingList();
            expectedStart = position.running;
            changedAtMono = clock.monotonicMs();
        }
        if (heldUntil.isValid() && now < heldUntil.toMSecsSinceEpoch())
            return;
        const auto at = [&] { return clock.now().toTimeZone(zone).toString(Qt::ISODate).toStdString(); };
        const ScheduleSlot &slot = expectedStart->slot;
        if (slot.closed) {
            ASSERT_FALSE(musicPlays()) << at();
            return;
        }
        ASSERT_TRUE(musicPlays()) << at();
        if (stack.library.findByName(slot.list) < 0) {
            EXPECT_EQ(playingList(), carriedList) << at();
            return;
        }
        // The song that played when the slot began may finish first.
        const bool finishing =
            slot.letFinish && !starts.empty() && starts.back().monoMs < changedAtMono;
        if (!finishing)
            ASSERT_EQ(playingList(), slot.list) << at();
    };

    while (clock.now().toMSecsSinceEpoch() < end && !HasFatalFailure()) {
        const qint64 now = clock.now().toMSecsSinceEpoch();
        const qint64 mono = clock.monotonicMs();
        qint64 step = end - now;
        if (nextStep < script.size())
            step = std::min(step, script[nextStep].at.toMSecsSinceEpoch() - now);
        step = std::min(step, nextCheckMono - mono);
        if (musicPlays())
            step = std::min(step, songEndMono - mono);
        // Each slot start is a moment looked at, whatever the runner waits for.
        const SchedulePosition position = positionNow();
        if (position.next)
            step = std::min(step, position.next->at.toMSecsSinceEpoch() - now);
        step = std::max<qint64>(step, 0);
        clock.advance(step);

        if (musicPlays() && clock.monotonicMs() >= songEndMono) {
            link.state = PlayerLink::kStopped;
            link.positionMs = 0;
            monitor.tmrMonitor_Timer();
            noteStarts(false);
        }
        if (clock.monotonicMs() >= nextCheckMono) {
            nextCheckMono = clock.monotonicMs() + ScheduleRunner::kCheckIntervalMs;
            ASSERT_EQ(runner->tmrCheck()->isActive(), true);
            ++insideSchedule;
            runner->checkClock();
            leftSchedule();
        }
        if (nextStep < script.size() &&
            clock.now().toMSecsSinceEpoch() >= script[nextStep].at.toMSecsSinceEpoch()) {
            script[nextStep++].act();
            noteStarts(false);
        }
        observe();
    }
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(nextStep, script.size());
    EXPECT_GT(observations, 6 * 24 * 60);

    // No switch of the schedule plays the song that just played again.
    for (size_t i = 1; i < starts.size(); ++i) {
        if (starts[i].bySchedule)
            EXPECT_NE(starts[i].file, starts[i - 1].file) << "start " << i;
    }
    // The long song the user chose on Saturday finished before the afternoon.
    EXPECT_TRUE(std::any_of(starts.begin(), starts.end(), [](const Start &s) {
        return s.file == kShared && !s.bySchedule;
    }));
    // The missing list was reported, twice a week at most per slot, never in
    // a box.
    EXPECT_EQ(reports.size(), 1) << reports.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(reports.value(0).contains(QLatin1String("\"Lunch\"")));
    EXPECT_TRUE(stack.dialogs.messages.empty());
}

// A slot that begins while an import or a folder's listing is on its way
// waits for it to land, then switches: the songs the job made go into the
// list made for them, never into the slot's list, and the slot's list plays.
TEST_F(ScheduleWeekTest, ASlotThatBeginsDuringAnImportWaitsForItToLand)
{
    const QStringList noon{QStringLiteral("/m/noon-1.mp3"), QStringLiteral("/m/noon-2.mp3")};
    const QStringList media{stack.media(QStringLiteral("a.mp3")), stack.media(QStringLiteral("b.mp3"))};
    const QString m3u = stack.dir.filePath(QStringLiteral("Delivery.m3u"));
    writeBytes(m3u, (media.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    const struct
    {
        const char *job;
        std::function<void()> start;
        QString madeList;
        QStringList madeSongs; // what the made list shows once chosen again
    } cases[] = {
        {"import",
         [&] {
             stack.dialogs.fileAnswers.push_back({m3u});
             stack.commands.OpenPlayListFiles(false);
         },
         QStringLiteral("Delivery"), media},
        {"shortcut",
         [&] {
             stack.dialogs.folderAnswers.push_back(QFileInfo(media[0]).path());
             stack.commands.mnuPLShortcut_Click();
         },
         QStringLiteral("Shortcut to media"), media},
    };
    writeList(QStringLiteral("Morning"), {QStringLiteral("/m/morning-1.mp3")});
    writeList(QStringLiteral("Noon"), noon);
    const QByteArray noonBytes = readBytes(stack.dir.filePath(QStringLiteral("Noon.sdf")));
    stack.store.LoadPlayLists();
    SchedulePlan plan;
    plan.follow = true;
    for (DayPlan &day : plan.week)
        day << ScheduleSlot::playing(QTime(7, 0), QStringLiteral("Morning"), false, false)
            << ScheduleSlot::playing(QTime(11, 0), QStringLiteral("Noon"), false, false);
    runner->setPlan(plan);
    clock.advance(10 * kHour);
    runner->start();

    for (const auto &c : cases) {
        SCOPED_TRACE(c.job);
        ASSERT_EQ(player.shownList(), QStringLiteral("Morning"));
        ASSERT_TRUE(musicPlays());
        // The slot begins while the job runs.
        QTimer::singleShot(0, [&] { clock.advance(kHour); });
        c.start();

        EXPECT_EQ(player.shownList(), QStringLiteral("Noon"));
        EXPECT_TRUE(musicPlays());
        EXPECT_TRUE(noon.contains(link.played.back()));
        QStringList shown;
        for (int i = 0; i < stack.songs.rowCount(); ++i)
            shown << stack.songs.row(i).field(chFile);
        EXPECT_EQ(shown, noon);
        stack.store.finishWrites();
        EXPECT_EQ(readBytes(stack.dir.filePath(QStringLiteral("Noon.sdf"))), noonBytes);
        const QString copy = stack.store.workingCopyOf(stack.library.findByName(QStringLiteral("Noon")));
        EXPECT_EQ(readBytes(copy), noonBytes);

        stack.store.selectPlayList(stack.library.findByName(c.madeList));
        stack.commands.followLibrarySelection();
        shown.clear();
        for (int i = 0; i < stack.songs.rowCount(); ++i)
            shown << stack.songs.row(i).field(chFile);
        EXPECT_EQ(shown, c.madeSongs);

        // The next day at 10:00, the morning's list playing.
        clock.advance(23 * kHour);
    }
    EXPECT_TRUE(stack.dialogs.messages.empty());
}

} // namespace
