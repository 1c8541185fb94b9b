// The loudness analyser on songs of a typical make: a 30-second stereo song
// as MP3, Ogg Vorbis and WAV, made once by ffmpeg. Reported per format: songs
// measured per second, and how many times faster than real time that is.
// Then the analyser's peak memory on a 30-second and a 10-hour song, which
// must not grow with the length.
#include "analyser/loudnessanalyser.h"
#include "core/freedmemory.h"
#include "loudness/loudnessservice.h"
#include "support/loudnessfiles.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <memory>

#include <malloc.h>

namespace {

constexpr double kSongSeconds = 30.0;

QTemporaryDir &soundFolder()
{
    static QTemporaryDir folder;
    return folder;
}

void BM_MeasureSong(benchmark::State &state, const char *suffix)
{
    if (!haveFfmpeg()) {
        state.SkipWithError("ffmpeg is not installed");
        return;
    }
    const QString file = writeTestSound(soundFolder().path(), QStringLiteral("song.") + QLatin1String(suffix),
                                        TestSignal::Noise, -14, kSongSeconds);
    if (file.isEmpty()) {
        state.SkipWithError("the song could not be made");
        return;
    }
    for (auto _ : state) {
        const LoudnessResult result = LoudnessAnalyser::measure(file);
        if (result.outcome != LoudnessResult::Outcome::Measured) {
            state.SkipWithError("the song was not measured");
            return;
        }
        benchmark::DoNotOptimize(result.measurement->loudnessLufs);
    }
    state.counters["songs_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["x_real_time"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kSongSeconds, benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(BM_MeasureSong, mp3, "mp3")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_MeasureSong, ogg, "ogg")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_MeasureSong, wav, "wav")->Unit(benchmark::kMillisecond)->UseRealTime();

// What the window spends planning the work for a list of 100,000 songs (done
// once a list is loaded and settled); the measuring itself runs on the worker.
void BM_PlanWorkFor100000Songs(benchmark::State &state)
{
    QStringList songs;
    for (int i = 0; i < 100000; ++i)
        songs << QStringLiteral("/music/artist %1/album %2/song %3.mp3").arg(i / 1000).arg(i / 100).arg(i);
    LoudnessService service(soundFolder().filePath(QStringLiteral("plan.loudness")), [](const QString &) {},
                            [](const QString &, bool, const std::atomic<bool> &) {
                                return LoudnessResult::notMeasured(QStringLiteral("not measured here"));
                            });
    for (auto _ : state)
        service.setWork(songs, 500, {}, {});
    service.close();
}

BENCHMARK(BM_PlanWorkFor100000Songs)->Unit(benchmark::kMillisecond)->UseRealTime();

double heapBytes()
{
    releaseFreedMemory();
#if defined(__GLIBC__)
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
#else
    return 0;
#endif
}

// What the worker holds for planned work on the rows of a list of 100,000
// songs once it has put them in order (its first song is in hand), beyond
// the rows the list holds anyway; and how long the ordering takes it.
void BM_PlannedWorkHeldFor100000Songs(benchmark::State &state)
{
    std::vector<SongRow> rows(100000);
    for (int i = 0; i < 100000; ++i)
        rows[static_cast<size_t>(i)].setField(
            chFile, QStringLiteral("/music/artist %1/album %2/song %3.mp3").arg(i / 1000).arg(i / 100).arg(i));
    // The first song is a file, so that it is measured (and held there).
    const QString first = soundFolder().filePath(QStringLiteral("first.mp3"));
    QFile file(first);
    if (!file.open(QIODevice::WriteOnly) || file.write("not audio") < 0) {
        state.SkipWithError("no file to measure");
        return;
    }
    file.close();
    rows[0].setField(chFile, first);
    double held = 0;
    for (auto _ : state) {
        std::atomic<bool> inHand{false};
        LoudnessWorker worker([&inHand](const QString &, bool, const std::atomic<bool> &stop) {
            inHand = true;
            while (!stop.load())
                QThread::msleep(1);
            return LoudnessResult{LoudnessResult::Outcome::Stopped, std::nullopt, {}};
        });
        const double before = heapBytes();
        LoudnessWorker::Plan plan;
        plan.playing = SongFiles(rows);
        worker.setPlan(std::move(plan));
        const QDeadlineTimer deadline(60000);
        while (!inHand.load() && !deadline.hasExpired())
            QThread::msleep(1);
        if (!inHand.load()) {
            state.SkipWithError("the first song was never measured");
            return;
        }
        held = heapBytes() - before;
        worker.stop(5000);
    }
    state.counters["B_per_song"] = held / 100000;
}

BENCHMARK(BM_PlannedWorkHeldFor100000Songs)->Unit(benchmark::kMillisecond)->UseRealTime();

// The analyser's memory against the length of a song: a 30-second song and a
// 10-hour one (a radio show, an audio book) of the same make, mono MP3 at
// 8 kHz and 8 kbit/s so that the long one stays small (36 MB). Each is
// measured in a child process of its own, whose high-water mark (VmHWM) is
// the figure; a child that measures nothing gives the program's own part.
// The long file is the short one repeated by stream copy, made in a second.
constexpr double kLongSeconds = 10 * 3600.0;

bool runFfmpeg(const QStringList &arguments)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 QStringList{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-nostdin"),
                             QStringLiteral("-y")} + arguments);
    return ffmpeg.waitForFinished(300000) && ffmpeg.exitStatus() == QProcess::NormalExit &&
           ffmpeg.exitCode() == 0;
}

// The file of `seconds` (30 or 10 hours), made on first use; empty on failure.
QString lengthFile(double seconds)
{
    const QString shortFile = soundFolder().filePath(QStringLiteral("short.mp3"));
    const QString longFile = soundFolder().filePath(QStringLiteral("long.mp3"));
    if (!QFile::exists(shortFile) &&
        !runFfmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                    QStringLiteral("anoisesrc=color=pink:sample_rate=8000:amplitude=0.3:duration=%1")
                        .arg(kSongSeconds),
                    QStringLiteral("-ac"), QStringLiteral("1"), QStringLiteral("-c:a"),
                    QStringLiteral("libmp3lame"), QStringLiteral("-b:a"), QStringLiteral("8k"),
                    shortFile}))
        return {};
    if (seconds <= kSongSeconds)
        return shortFile;
    if (!QFile::exists(longFile) &&
        !runFfmpeg({QStringLiteral("-stream_loop"),
                    QString::number(static_cast<int>(seconds / kSongSeconds) - 1), QStringLiteral("-i"),
                    shortFile, QStringLiteral("-c"), QStringLiteral("copy"), longFile}))
        return {};
    return longFile;
}

struct ChildFigures
{
    double peakMegabytes = -1;
    double seconds = 0;
};

// Runs analyserPeakChild() on `file` (none: measure nothing).
ChildFigures childFigures(const QString &file)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--analyser-peak-child"), file});
    if (!child.waitForFinished(600000) || child.exitCode() != 0)
        return {};
    const QList<QByteArray> words = child.readAllStandardOutput().trimmed().split(' ');
    return {words.value(0).toDouble() / 1024.0, words.value(1).toDouble()};
}

void BM_AnalyserPeakMemory(benchmark::State &state, double seconds)
{
    if (!haveFfmpeg()) {
        state.SkipWithError("ffmpeg is not installed");
        return;
    }
    const QString file = lengthFile(seconds);
    if (file.isEmpty()) {
        state.SkipWithError("the song could not be made");
        return;
    }
    ChildFigures idle;
    ChildFigures measuring;
    for (auto _ : state) {
        idle = childFigures(QString());
        measuring = childFigures(file);
    }
    if (idle.peakMegabytes < 0 || measuring.peakMegabytes < 0) {
        state.SkipWithError("the child measuring the song failed");
        return;
    }
    state.counters["MB_peak"] = measuring.peakMegabytes;
    state.counters["MB_analyser"] = measuring.peakMegabytes - idle.peakMegabytes;
    state.counters["s_measuring"] = measuring.seconds;
    state.counters["x_real_time"] = seconds / measuring.seconds;
}

BENCHMARK_CAPTURE(BM_AnalyserPeakMemory, 30s, kSongSeconds)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_AnalyserPeakMemory, 10h, kLongSeconds)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

// The child of BM_AnalyserPeakMemory: measures `file` (nothing when empty)
// and prints its peak RSS in KiB and the seconds the measuring took.
int analyserPeakChild(const QString &file)
{
    QElapsedTimer timer;
    timer.start();
    if (!file.isEmpty() &&
        LoudnessAnalyser::measure(file).outcome != LoudnessResult::Outcome::Measured)
        return 1;
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            std::printf("%s %.3f\n", line.mid(6).trimmed().split(' ').value(0).constData(), seconds);
            return 0;
        }
    }
    return 1;
}
