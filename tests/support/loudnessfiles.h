#pragma once

#include <QString>

#include <optional>

// Sounds of known make for the loudness tests, made and measured by ffmpeg,
// the outside reference.
enum class TestSignal
{
    Sine,  // 997 Hz in both channels
    Noise, // white noise, its own in each channel
};

// Writes a stereo 48 kHz sound of `seconds` at about `lufs` into `folder` as
// `fileName`; the extension (wav, mp3, ogg) chooses the format. Returns its
// full path, or an empty text when ffmpeg failed.
QString writeTestSound(const QString &folder, const QString &fileName, TestSignal signal,
                       double lufs, double seconds);

// What ffmpeg's ebur128 filter reports for a file.
struct ReferenceLoudness
{
    double integratedLufs = 0.0;
    double truePeakDbfs = 0.0;
};
std::optional<ReferenceLoudness> referenceLoudness(const QString &path);

// True when ffmpeg can be run.
bool haveFfmpeg();
