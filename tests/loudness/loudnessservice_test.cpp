#include "library/playlistfile.h"
#include "loudness/loudnesscache.h"
#include "loudness/loudnessservice.h"
#include "loudness/songgain.h"
#include "support/waitfor.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>

namespace {

QString touch(const QDir &dir, const QString &name)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(name.toUtf8());
    return path;
}

// A measurer that records what it is given and on which thread, and waits
// at a song named "slow" until it is told to stop.
struct RecordingMeasure
{
    struct Shared
    {
        QMutex mutex;
        QStringList order;
        QThread::Priority priority = QThread::InheritPriority;
        std::atomic<bool> inSlow{false};
    };
    std::shared_ptr<Shared> shared = std::make_shared<Shared>();

    LoudnessWorker::Measure measure() const
    {
        return [shared = shared](const QString &path, bool, const std::atomic<bool> &stop) {
            {
                const QMutexLocker lock(&shared->mutex);
                shared->order.append(QFileInfo(path).fileName());
                shared->priority = QThread::currentThread()->priority();
            }
            if (path.endsWith(QLatin1String("slow"))) {
                shared->inSlow = true;
                while (!stop.load())
                    QThread::msleep(1);
                return LoudnessResult{LoudnessResult::Outcome::Stopped, {}, {}};
            }
            LoudnessMeasurement m;
            m.loudnessLufs = -20;
            m.truePeakDbtp = -10;
            return LoudnessResult{LoudnessResult::Outcome::Measured, m, {}};
        };
    }

    QStringList order() const
    {
        const QMutexLocker lock(&shared->mutex);
        return shared->order;
    }
};


// The song that plays next first, then the rest of the playing list after it
// and before it, then the shown list, then the other lists; each song once,
// songs known and unchanged not at all; on one thread at idle priority.
TEST(LoudnessWorkOrder, NextSongFirstThenPlayingThenShownThenTheOthers)
{
    QTemporaryDir tmp;
    const QDir dir(tmp.path());
    QStringList songs;
    for (const char *name : {"a", "b", "c", "d", "e", "f", "g", "known"})
        songs << touch(dir, QString::fromUtf8(name));
    const QString cache = dir.filePath(QLatin1String(LoudnessCacheFile::kFileName));
    LoudnessEntries entries;
    entries.insert(songs[7], {*fileStampOf(songs[7]), std::nullopt});
    ASSERT_TRUE(LoudnessCacheFile::write(cache, entries));

    // Another list, with a song of the playing list and one of its own.
    const QString other = dir.filePath(QStringLiteral("Other.sdf"));
    std::vector<SongRow> rows(2);
    rows[0].setField(chFile, songs[2]);
    rows[1].setField(chFile, songs[6]);
    ASSERT_TRUE(PlayListFile::writeAtomically(other, PlayListFile::serialize(rows)));

    RecordingMeasure recording;
    LoudnessService service(cache, [](const QString &) {}, recording.measure());
    service.load();
    QSignalSpy progress(&service, &LoudnessService::progressChanged);
    const QStringList playing{songs[0], songs[1], songs[7], songs[2], songs[3]};
    service.setWork(playing, 3, {songs[4], songs[0], songs[5]}, {other});
    ASSERT_TRUE(waitFor([&] { return service.isIdle(); }));

    EXPECT_EQ(recording.order(), (QStringList{"c", "d", "a", "b", "e", "f", "g"}));
    EXPECT_EQ(recording.shared->priority, QThread::IdlePriority);
    // Progress counted up to all eight songs, and then nothing.
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last(), (QList<QVariant>{0, 0}));
    int highest = 0;
    for (const QList<QVariant> &step : progress)
        highest = std::max(highest, step[1].toInt());
    EXPECT_EQ(highest, 8);
    // Done and told, the work is forgotten: nothing of it stays counted.
    EXPECT_EQ(service.totalCount(), 0);
    EXPECT_EQ(service.doneCount(), 0);
    EXPECT_NEAR(service.gainFor(songs[3]), SongGain::gainDb(service.measurementOf(songs[3]), -18), 1e-9);
    EXPECT_NEAR(service.gainFor(songs[3]), 2.0, 1e-9);
}

// Closing ends the worker while it is in the middle of a song, in well
// under a second, and keeps on disk what it had measured.
TEST(LoudnessWorkOrder, CloseStopsTheWorkerAtOnceAndKeepsWhatWasMeasured)
{
    QTemporaryDir tmp;
    const QDir dir(tmp.path());
    const QString first = touch(dir, QStringLiteral("first"));
    const QString slow = touch(dir, QStringLiteral("slow"));
    const QString never = touch(dir, QStringLiteral("never"));
    const QString cache = dir.filePath(QLatin1String(LoudnessCacheFile::kFileName));
    RecordingMeasure recording;
    LoudnessService service(cache, [](const QString &) {}, recording.measure());
    service.setWork(QStringList{first, slow, never}, 0, {}, {});
    ASSERT_TRUE(waitFor([&] { return recording.shared->inSlow.load(); }));

    QElapsedTimer clock;
    clock.start();
    service.close();
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(recording.order(), (QStringList{"first", "slow"}));
    QFile file(cache);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const LoudnessCacheFile::Parsed kept = LoudnessCacheFile::parse(file.readAll());
    EXPECT_FALSE(kept.damaged());
    EXPECT_EQ(kept.entries.keys(), QList<QString>{first});
}

// A song the measurer could not look at (its helper missing, say) stays
// unknown, so it is measured with the next work; one it looked at and could
// not measure is kept as such. The measurer's trouble is logged once.
TEST(LoudnessWorkOrder, AnUnavailableMeasurerLeavesSongsUnknown)
{
    QTemporaryDir tmp;
    const QDir dir(tmp.path());
    const QStringList songs{touch(dir, QStringLiteral("a")), touch(dir, QStringLiteral("b")),
                            touch(dir, QStringLiteral("bad"))};
    QStringList log;
    LoudnessService service(
        dir.filePath(QStringLiteral("cache")), [&log](const QString &line) { log << line; },
        [](const QString &path, bool, const std::atomic<bool> &) {
            if (path.endsWith(QLatin1String("bad")))
                return LoudnessResult::notMeasured(QStringLiteral("no audio"));
            return LoudnessResult{LoudnessResult::Outcome::Unavailable, std::nullopt,
                                  QStringLiteral("no helper")};
        });
    service.setWork(songs, 0, {}, {});
    ASSERT_TRUE(waitFor([&] { return service.isIdle(); }));
    EXPECT_EQ(service.entries().keys(), QList<QString>{songs[2]});
    EXPECT_EQ(log, (QStringList{QStringLiteral("Loudness not measured: no helper"),
                                QStringLiteral("Loudness not measured: %1 (no audio)").arg(songs[2])}));
}

// With even loudness off nothing is measured and every song plays at unity.
TEST(LoudnessWorkOrder, NothingIsMeasuredWhileEvenLoudnessIsOff)
{
    QTemporaryDir tmp;
    const QDir dir(tmp.path());
    const QString song = touch(dir, QStringLiteral("song"));
    RecordingMeasure recording;
    LoudnessService service(dir.filePath(QStringLiteral("cache")), [](const QString &) {},
                            recording.measure());
    service.setOptions({false, -18, true});
    service.setWork(QStringList{song}, 0, {}, {});
    EXPECT_TRUE(service.isIdle());
    QTest::qWait(50);
    EXPECT_TRUE(recording.order().isEmpty());
    EXPECT_EQ(service.gainFor(song), 0.0);
}

TEST(LoudnessProgress, ReadsAsTheStatusBarShowsIt)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(LoudnessService::progressText(1234, 10000, english),
              QStringLiteral("Measuring loudness: 1,234 of 10,000"));
    EXPECT_EQ(LoudnessService::progressText(0, 0, english), QString());
}

// The gain brings a song to the target unless its true peak would pass
// -1 dBTP; nothing known means unity.
TEST(SongGain, TargetMinusLoudnessHeldBelowThePeakCeiling)
{
    struct Case
    {
        std::optional<LoudnessMeasurement> measurement;
        double target;
        double gain;
    };
    const auto m = [](double lufs, double peak) {
        LoudnessMeasurement value;
        value.loudnessLufs = lufs;
        value.truePeakDbtp = peak;
        return std::optional(value);
    };
    for (const Case &c : {Case{m(-8, -2), -18, -10}, Case{m(-28, -20), -18, 10},
                          Case{m(-28, -5), -18, 4}, Case{m(-18, 0.5), -18, -1.5},
                          Case{m(-23, -10), -14, 9}, Case{m(-70, -60), -18, 24},
                          Case{m(20, 20), -23, -24}, Case{std::nullopt, -18, 0}}) {
        EXPECT_NEAR(SongGain::gainDb(c.measurement, c.target), c.gain, 1e-9);
    }
}

} // namespace
