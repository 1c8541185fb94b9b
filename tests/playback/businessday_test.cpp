// Eight hours of a shop's day on a virtual clock: the sequencer and the
// monitor play 200 songs of random lengths at random with Repeat on, against
// a fake player that is killed at random moments and sometimes fails to come
// back at once. The monitor's ticks and the restart timer are driven by the
// test at their due times; nothing waits for real time. The second day adds
// the mixer window: its VU meter reads what the fake player would sound like,
// and the skip on silence and the S.A.L. level control act on it.
#include "core/settingsstore.h"
#include "loudness/songgain.h"
#include "mixer/frmmixer.h"
#include "mixer/mixersettings.h"
#include "mixer/silenceskip.h"
#include "playback/playmonitor.h"
#include "support/playbackfixture.h"
#include "vu/manualclock.h"
#include "vu/peaksource.h"
#include "vu/ucvu.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QSlider>
#include <QTemporaryDir>

#include <cmath>
#include <cstddef>
#include <functional>
#include <iostream>
#include <random>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define VORN_HEAP_FROM_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VORN_HEAP_FROM_SANITIZER 1
#endif
#endif
#ifdef VORN_HEAP_FROM_SANITIZER
// The sanitizer runtime's own count; not every compiler ships its header.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace {

unsigned daySeed()
{
    const QString given = qEnvironmentVariable("VORN_DAY_SEED");
    if (given == QLatin1String("random"))
        return std::random_device{}();
    return given.isEmpty() ? 20261207u : given.toUInt();
}

int openHandles()
{
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd"))
                                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                                .size());
}

// Bytes of heap in use now, from the allocator that serves this build.
qint64 heapInUse()
{
#ifdef VORN_HEAP_FROM_SANITIZER
    return static_cast<qint64>(__sanitizer_get_current_allocated_bytes());
#else
    return static_cast<qint64>(mallinfo2().uordblks);
#endif
}

class BusinessDayTest : public PlaybackFixture
{
protected:
    static constexpr qint64 kTickMs = 500;
    static constexpr qint64 kDayMs = 8LL * 60 * 60 * 1000;
    static constexpr int kSongs = 200;

    PlayMonitor monitor{sequencer, songs, display};

    // A day of random songs and troubles, named by its seed. The seed is
    // fixed so that every run of the suite sees the same day;
    // VORN_DAY_SEED=<n> replays another one, and VORN_DAY_SEED=random draws
    // one (its number is in the failure messages).
    const unsigned seed = daySeed();
    std::mt19937 random{seed};
    std::uniform_real_distribution<double> unit{0.0, 1.0};
    int reports = 0;

    // Restart waits of the sequencer, as a virtual clock sees them: each one
    // is due one interval after it began and is all the silence it may add.
    qint64 restartDue = -1;
    qint64 allowedStall = 0;
    int failuresToCome = 0;
    int failedStarts = 0;

    BusinessDayTest()
    {
        PlaybackSequencer::Hooks hooks;
        hooks.playerPath = [] { return QStringLiteral("/usr/bin/mpv"); };
        hooks.random = [this] { return unit(random); };
        hooks.reportTrouble = [this](const QString &) { ++reports; };
        sequencer.setHooks(hooks);
    }

    // The player is killed between two ticks: it is seen at the next one,
    // and some of the starts that follow fail.
    void killPlayer()
    {
        link.present = false;
        failuresToCome = unit(random) < 0.3 ? 1 + static_cast<int>(unit(random) * 6) : 0;
    }

    void armRestart(qint64 now)
    {
        if (sequencer.tmrRestart()->isActive() && restartDue < now) {
            restartDue = now + sequencer.tmrRestart()->interval();
            allowedStall += sequencer.tmrRestart()->interval();
            ASSERT_LE(sequencer.tmrRestart()->interval(), 30'000);
        }
    }

    // Fires the restart wait that is due at `now`; `noteStarts` looks at what
    // the player was given.
    void restartWhenDue(qint64 now, const std::function<void()> &noteStarts)
    {
        if (restartDue < 0 || now < restartDue)
            return;
        restartDue = -1;
        link.startSucceeds = failuresToCome == 0;
        if (failuresToCome > 0) {
            --failuresToCome;
            ++failedStarts;
        }
        sequencer.tmrRestart_Timer();
        noteStarts();
        armRestart(now);
    }

    // Each full run of kSongs starts holds each row once.
    static void expectEachSongOncePerCycle(const QList<int> &played)
    {
        ASSERT_GE(played.size(), 2 * kSongs);
        for (qsizetype cycle = 0; (cycle + 1) * kSongs <= played.size(); ++cycle) {
            QList<int> rowsOfCycle = played.mid(cycle * kSongs, kSongs);
            std::sort(rowsOfCycle.begin(), rowsOfCycle.end());
            for (int row = 1; row <= kSongs; ++row)
                ASSERT_EQ(rowsOfCycle[row - 1], row) << "cycle " << cycle;
        }
    }
};

TEST_F(BusinessDayTest,
       EightHoursOfRandomRepeatWithAKilledPlayerNeverStallAndPlayEachSongOncePerCycle)
{
    SCOPED_TRACE(::testing::Message() << "seed " << seed);

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
    qint64 longestStall = 0;
    int kills = 0;

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
                killPlayer();
                ++kills;
                silentSince = now - kTickMs / 2;
                allowedStall = kTickMs;
            } else {
                link.positionMs = static_cast<int>(elapsed);
            }
        }

        restartWhenDue(now, noteStarts);
        if (sequencer.tmrMonitor()->isActive()) {
            monitor.tmrMonitor_Timer();
            noteStarts();
            armRestart(now);
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

    // Every song once per cycle. Songs of 10 to 90 s give the day at least
    // two whole cycles.
    expectEachSongOncePerCycle(played);
    ASSERT_FALSE(HasFatalFailure());

    // Nothing grew through the day.
    EXPECT_EQ(songs.rowCount(), kSongs);
    EXPECT_EQ(library.count(), 1);
    EXPECT_EQ(sequencer.findChildren<QObject *>().size(), objectsBefore);
    // None may be added; one left by an earlier test in the same process
    // may close during the day.
    EXPECT_LE(openHandles(), handlesBefore);
}

// The peak readings of a sound card at the playback point, from a model of
// what the player is doing at the clock's moment.
class ModelPeakSource final : public PeakSource
{
public:
    explicit ModelPeakSource(std::function<qint32()> reading)
        : m_reading(std::move(reading))
    {}

    bool read(qint32 &left, qint32 &right) override
    {
        left = m_reading();
        right = static_cast<qint32>(-left * 0.9);
        return true;
    }

private:
    std::function<qint32()> m_reading;
};

class MixerBusinessDayTest : public BusinessDayTest
{
protected:
    static constexpr qint64 kStepMs = frmMixer::kSalIntervalMs;
    static constexpr qint64 kPauseMs = 20LL * 60 * 1000;

    // The mixer window as the program loads it, with S.A.L. on.
    void loadMixer(int silenceOption, int setPoint, std::function<qint32()> reading)
    {
        settings.save(MixerSettings::kSilenceDetection, QString::number(silenceOption));
        settings.save(MixerSettings::kSAL, QStringLiteral("1"));
        settings.save(MixerSettings::kSALSP, QString::number(setPoint));
        settings.sync();
        vu = new ucVU(std::make_unique<ModelPeakSource>(std::move(reading)), clock.factory());
        frmMixer::Hooks hooks;
        hooks.playPressed = [this] { return actions.tbPlay->isChecked(); };
        hooks.pressNext = [this] {
            if (beforeNext)
                beforeNext();
            click(actions.tbNext);
        };
        mixer = std::make_unique<frmMixer>(settings, link, vu, frmMixer::LineFactory(), hooks);
        mixer->followMusic(actions.tbPlay, actions.tbPause);
    }

    // The loudness in percent of full scale that the level control measures
    // for a steady reading.
    static int loudnessPercent(qint32 reading)
    {
        return static_cast<int>(roundHalfEven(std::abs(static_cast<qint64>(reading)) * 100, 32768));
    }

    QTemporaryDir dir;
    SettingsStore settings{dir.filePath(QStringLiteral("VORN.ini"))};
    ManualClock clock;
    ucVU *vu = nullptr;
    std::unique_ptr<frmMixer> mixer;
    std::function<void()> beforeNext;

    // The day at the shop; `evenLoudness` plays every song at its own gain.
    void runDay(bool evenLoudness);
    static constexpr double kEvenTargetLufs = -12.0;
    // S.A.L.'s steps up and down in the last day run.
    int levelStepsOfTheDay = 0;
};

void MixerBusinessDayTest::runDay(bool evenLoudness)
{
    SCOPED_TRACE(::testing::Message() << "seed " << seed << (evenLoudness ? ", even loudness" : ""));

    // Songs of whole seconds; a third fall silent from 70 percent of their
    // length, a third from 90 percent, a third never. Loudness is the peak at
    // the player's middle level.
    rows(kSongs);
    std::vector<qint64> lengthMs(kSongs + 1);
    std::vector<qint64> silentFromMs(kSongs + 1);
    std::vector<double> loudness(kSongs + 1);
    for (size_t row = 1; row <= kSongs; ++row) {
        lengthMs[row] = 1000 * std::uniform_int_distribution<qint64>(10, 90)(random);
        const int tail = std::uniform_int_distribution<int>(0, 2)(random);
        silentFromMs[row] = tail == 0   ? lengthMs[row] * 7 / 10
                            : tail == 1 ? lengthMs[row] * 9 / 10
                                        : lengthMs[row];
        loudness[row] = 6000 + unit(random) * 26000;
    }
    // With even loudness each song plays with the gain the loudness layer
    // gives it, measured as a steady tone of that peak.
    std::vector<double> songGain(kSongs + 1, 1.0);
    if (evenLoudness) {
        for (size_t row = 1; row <= kSongs; ++row) {
            LoudnessMeasurement measured;
            measured.truePeakDbtp = 20.0 * std::log10(loudness[row] / 32768.0);
            measured.loudnessLufs = measured.truePeakDbtp - 3.0;
            songGain[row] = std::pow(10.0, SongGain::gainDb(measured, kEvenTargetLufs) / 20.0);
        }
    }
    actions.tbRandom->setChecked(true);
    actions.tbRepeat->setChecked(true);

    const int silenceOption = std::uniform_int_distribution<int>(1, 6)(random);
    const int silenceMs = silenceDetectMs(silenceOption);
    const int setPoint = std::uniform_int_distribution<int>(10, 50)(random);
    const int target = 90 - setPoint;
    RecordProperty("silenceMs", silenceMs);
    RecordProperty("setPoint", setPoint);

    qint64 songStart = 0;
    QList<int> played;
    played.reserve(4 * kSongs);
    const auto currentRow = [&] {
        return static_cast<size_t>(played.isEmpty() ? 0 : played.last());
    };
    // What a song sounds like at a level of the player (steps of 1.5 dB),
    // clipped at full scale.
    const auto peakOf = [&](size_t row, int level) {
        return static_cast<qint32>(
            std::min(32767.0, loudness[row] * songGain[row] * std::pow(10.0, level * 1.5 / 20.0)));
    };
    const auto sounding = [&](qint64 at) {
        return link.present && link.state == PlayerLink::kPlaying && currentRow() > 0 &&
               at - songStart < silentFromMs[currentRow()];
    };
    // A silent tail and a stopped player still show a little noise, all of
    // it below the meter's lowest segment.
    qint64 reads = 0;
    loadMixer(silenceOption, setPoint, [&]() -> qint32 {
        ++reads;
        const qint32 sign = reads % 2 == 0 ? 1 : -1;
        if (!sounding(clock.now()))
            return sign * static_cast<qint32>((reads * 37) % 1200);
        return sign * peakOf(currentRow(), link.level);
    });
    ASSERT_TRUE(mixer->tmrSALMonitor()->isActive());
    ASSERT_EQ(vu->SilenceDetect(), silenceMs);
    ASSERT_EQ(vu->Priority(), frmMixer::kVuPriority);
    int silenceEvents = 0;
    QObject::connect(vu, &ucVU::SilenceDetected, mixer.get(), [&] { ++silenceEvents; });

    const int handlesBefore = openHandles();
    const auto objectsBefore = sequencer.findChildren<QObject *>().size();
    const auto mixerObjectsBefore = mixer->findChildren<QObject *>().size();

    qsizetype starts = 0;
    qint64 silentSince = -1;
    qint64 longestStall = 0;
    // The last moment at which what the meter reads changed its kind: a song
    // started or fell silent, the player died or was paused or resumed.
    qint64 lastChange = 0;
    int kills = 0;
    int skips = 0;
    int levelUps = 0;
    int levelDowns = 0;
    qint64 lastLevelUp = -1;
    bool songEndedSilentTailTooLong = false;

    const auto noteStarts = [&] {
        if (link.played.size() == starts)
            return;
        starts = link.played.size();
        played << link.played.last().mid(3).chopped(4).toInt();
        link.lengthSeconds = static_cast<int>(lengthMs[currentRow()] / 1000);
        songStart = clock.now();
        lastChange = songStart;
        if (silentSince >= 0) {
            const qint64 stall = clock.now() - silentSince;
            longestStall = std::max(longestStall, stall);
            ASSERT_LE(stall, allowedStall) << "at " << clock.now() << " ms";
            silentSince = -1;
        }
        link.log.clear();
    };
    // A skip on silence: only in a song's silent tail, past 85 percent of it,
    // after the meter's silence time.
    beforeNext = [&] {
        const size_t row = currentRow();
        const qint64 at = clock.now();
        ++skips;
        EXPECT_GT((at - songStart) * 100, lengthMs[row] * 85)
            << "row " << row << " skipped at " << at - songStart << " of " << lengthMs[row];
        EXPECT_LT(silentFromMs[row], lengthMs[row]) << "row " << row << " never falls silent";
        EXPECT_GE(at - songStart - silentFromMs[row], silenceMs)
            << "row " << row << " skipped after " << at - songStart - silentFromMs[row]
            << " ms of silence";
    };

    qint64 pausedAt = -1;
    qint64 pauseEnds = -1;
    SalState salAtPause;
    int silenceEventsAtPause = 0;
    qint64 heapAtFirstHour = -1;

    click(actions.tbPlay);
    noteStarts();
    while (clock.now() < kDayMs && !HasFatalFailure()) {
        // The meter's ticks in this step; a skip on silence starts a song.
        clock.advance(kStepMs);
        noteStarts();
        const qint64 now = clock.now();
        const size_t row = currentRow();

        // The player's side: the song runs on, falls silent, ends, or the
        // player is killed.
        if (link.present && link.state == PlayerLink::kPlaying) {
            const qint64 elapsed = now - songStart;
            if (elapsed >= lengthMs[row]) {
                // Ran to its end: its silent tail, if any, was too short to skip.
                const qint64 skipDue =
                    std::max(silentFromMs[row], lengthMs[row] * 85 / 100 + 2 * kStepMs) +
                    silenceMs + 2 * kStepMs;
                if (skipDue < lengthMs[row]) {
                    songEndedSilentTailTooLong = true;
                    ADD_FAILURE() << "row " << row << " of " << lengthMs[row] << " ms, silent from "
                                  << silentFromMs[row] << " ms, played to its end";
                }
                link.state = PlayerLink::kStopped;
                link.positionMs = 0;
                silentSince = now;
                allowedStall = kTickMs;
                lastChange = now;
            } else if (unit(random) < double(kStepMs) / (20 * 60 * 1000)) {
                killPlayer();
                ++kills;
                silentSince = now - kStepMs / 2;
                allowedStall = kTickMs;
                lastChange = now;
            } else {
                link.positionMs = static_cast<int>(elapsed);
                if (elapsed - kStepMs < silentFromMs[row] && elapsed >= silentFromMs[row])
                    lastChange = now;
            }
        }

        // After four hours the music is paused for twenty minutes early in a
        // song that sounds; then Play resumes it.
        if (pausedAt < 0 && now >= kDayMs / 2 && sounding(now) &&
            (now - songStart) * 2 < lengthMs[row] && !sequencer.tmrRestart()->isActive()) {
            click(actions.tbPause);
            ASSERT_EQ(link.state, PlayerLink::kPaused);
            ASSERT_FALSE(actions.tbPlay->isChecked());
            pausedAt = now;
            pauseEnds = now + kPauseMs;
            salAtPause = mixer->salState();
            silenceEventsAtPause = silenceEvents;
            link.log.clear();
            lastChange = now;
        }
        if (pausedAt >= 0 && now >= pausedAt && now < pauseEnds) {
            // Paused, nothing is sampled or stepped, and its silence skips
            // nothing this early in the song.
            EXPECT_FALSE(link.log.contains(QStringLiteral("level+")));
            EXPECT_FALSE(link.log.contains(QStringLiteral("level-")));
            EXPECT_EQ(mixer->salState().SALSampleIndex, salAtPause.SALSampleIndex);
            EXPECT_EQ(mixer->salState().SALSamples, salAtPause.SALSamples);
            EXPECT_EQ(mixer->salState().SALQuietCount, salAtPause.SALQuietCount);
        } else if (pausedAt >= 0 && now == pauseEnds) {
            EXPECT_GE(silenceEvents - silenceEventsAtPause, kPauseMs / silenceMs - 1);
            EXPECT_EQ(link.played.size(), starts);
            click(actions.tbPlay);
            ASSERT_EQ(link.state, PlayerLink::kPlaying);
            songStart += kPauseMs;
            lastChange = now;
        }

        restartWhenDue(now, noteStarts);
        if (now % kTickMs == 0 && sequencer.tmrMonitor()->isActive()) {
            monitor.tmrMonitor_Timer();
            noteStarts();
            armRestart(now);
        }

        if (mixer->tmrSALMonitor()->isActive()) {
            const int levelBefore = link.level;
            const qsizetype logBefore = link.log.size();
            mixer->tmrSALMonitor_Timer();
            const QStringList steps = link.log.mid(logBefore);
            const int ups = static_cast<int>(steps.count(QStringLiteral("level+")));
            const int downs = static_cast<int>(steps.count(QStringLiteral("level-")));
            levelUps += ups;
            levelDowns += downs;
            if (ups > 0)
                lastLevelUp = now;
            ASSERT_GE(link.level, FakePlayerLink::kLowestLevel);
            ASSERT_LE(link.level, FakePlayerLink::kHighestLevel);
            // Toward the target: down only when louder than it, up only when
            // more than 10 points quieter, judged on a steady half second.
            if (now - lastChange > kTickMs + kStepMs) {
                const int heard = sounding(now) ? loudnessPercent(peakOf(row, levelBefore)) : 0;
                if (downs > 0) {
                    EXPECT_GT(heard, target) << "at " << now << " ms";
                }
                if (ups > 0) {
                    EXPECT_LT(heard, target - 10) << "at " << now << " ms";
                }
                // A song too loud is brought down within ten seconds; a step
                // up that overshot is taken back at the next evaluation.
                if (sounding(now) && now - lastChange >= 10'000 &&
                    now - lastLevelUp > kTickMs + kStepMs &&
                    link.level > FakePlayerLink::kLowestLevel) {
                    EXPECT_LE(heard, target) << "at " << now << " ms";
                }
            }
            if (!actions.tbPlay->isChecked()) {
                EXPECT_EQ(ups + downs, 0);
            }
        }

        ASSERT_TRUE(sequencer.tmrMonitor()->isActive() || sequencer.tmrRestart()->isActive())
            << "at " << now << " ms";
        // What an event loop would deliver between timer ticks (repaint
        // requests, deferred deletes), without firing the real timers.
        if (now % 1000 == 0)
            QCoreApplication::sendPostedEvents();
        if (now == 60LL * 60 * 1000)
            heapAtFirstHour = heapInUse();
    }
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_FALSE(songEndedSilentTailTooLong);

    // Closing time: Stop, also during a wait for the player, and ten quiet
    // minutes in which nothing starts and the level control rests.
    click(actions.tbStop);
    EXPECT_FALSE(sequencer.tmrRestart()->isActive());
    EXPECT_FALSE(sequencer.tmrMonitor()->isActive());
    const SalState salAtStop = mixer->salState();
    const qsizetype startsAtStop = link.played.size();
    const int levelAtStop = link.level;
    const int silenceEventsAtStop = silenceEvents;
    link.log.clear();
    for (int step = 0; step < 10 * 60 * 1000 / kStepMs; ++step) {
        clock.advance(kStepMs);
        if (mixer->tmrSALMonitor()->isActive())
            mixer->tmrSALMonitor_Timer();
    }
    EXPECT_EQ(link.played.size(), startsAtStop);
    EXPECT_EQ(link.level, levelAtStop);
    EXPECT_FALSE(link.log.contains(QStringLiteral("level+")));
    EXPECT_FALSE(link.log.contains(QStringLiteral("level-")));
    EXPECT_EQ(mixer->salState().SALSampleIndex, salAtStop.SALSampleIndex);
    EXPECT_EQ(mixer->salState().SALSamples, salAtStop.SALSamples);
    // The meter rests once the music stops: no silence is looked for.
    EXPECT_EQ(silenceEvents, silenceEventsAtStop);
    EXPECT_FALSE(mixer->meterRunning());

    EXPECT_GT(kills, 10);
    EXPECT_GT(failedStarts, 0);
    EXPECT_GT(reports, kills);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_GT(pausedAt, 0);
    EXPECT_GT(skips, 20);
    // Songs of unequal loudness keep the level control busy both ways.
    if (!evenLoudness) {
        EXPECT_GT(levelUps, 0);
        EXPECT_GT(levelDowns, 0);
    }
    RecordProperty("levelSteps", levelUps + levelDowns);
    levelStepsOfTheDay = levelUps + levelDowns;
    RecordProperty("songsPlayed", static_cast<int>(played.size()));
    RecordProperty("skipsOnSilence", skips);
    RecordProperty("longestStallMs", static_cast<int>(longestStall));

    // Every song once per cycle, the skipped ones included.
    expectEachSongOncePerCycle(played);
    ASSERT_FALSE(HasFatalFailure());

    // Nothing grew through the day.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    RecordProperty("heapGrowthBytes", static_cast<int>(heapInUse() - heapAtFirstHour));
    EXPECT_LT(heapInUse() - heapAtFirstHour, 256 * 1024)
        << "heap at the first hour " << heapAtFirstHour << ", at the end " << heapInUse();
    EXPECT_EQ(songs.rowCount(), kSongs);
    EXPECT_EQ(library.count(), 1);
    EXPECT_EQ(sequencer.findChildren<QObject *>().size(), objectsBefore);
    EXPECT_EQ(mixer->findChildren<QObject *>().size(), mixerObjectsBefore);
    // None may be added; one left by an earlier test in the same process
    // may close during the day.
    EXPECT_LE(openHandles(), handlesBefore);

    // The window's handlers must not outlive what they captured here.
    beforeNext = {};
    mixer.reset();
}

TEST_F(MixerBusinessDayTest,
       EightHoursWithSkipOnSilenceAndLevelControlKeepTheMusicGoingAndTheLevelNearItsTarget)
{
    runDay(false);
    std::cout << "S.A.L. steps in the day without even loudness: " << levelStepsOfTheDay << "\n";
}

// The same day with every song brought to one loudness before it starts:
// the level control keeps working on top of it, with every check of the day
// above holding; its steps are counted for comparison with the day without.
TEST_F(MixerBusinessDayTest, EightHoursWithEvenLoudnessKeepTheLevelControlWorkingOnTop)
{
    runDay(true);
    std::cout << "S.A.L. steps in the day with even loudness: " << levelStepsOfTheDay << "\n";
}

} // namespace
