// The loudness analyser on songs of a typical make: a 30-second stereo song
// as MP3, Ogg Vorbis and WAV, made once by ffmpeg. Reported per format: songs
// measured per second, and how many times faster than real time that is.
#include "loudness/loudnessanalyser.h"
#include "loudness/loudnessservice.h"
#include "support/loudnessfiles.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <atomic>
#include <memory>

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

} // namespace
