// The loudness analyser on songs of a typical make: a 30-second stereo song
// as MP3, Ogg Vorbis and WAV, made once by ffmpeg. Reported per format: songs
// measured per second, and how many times faster than real time that is.
#include "loudness/loudnessanalyser.h"
#include "support/loudnessfiles.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

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

} // namespace
