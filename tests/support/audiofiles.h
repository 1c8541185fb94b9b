#pragma once

#include <QString>

// What a generated sound file holds.
enum class WavContent
{
    Silence,
    Tone, // a 440 Hz sine at a moderate level
};

// Writes `fileName` into `folder` as a real WAV file (16-bit PCM, mono,
// 22050 Hz) of `seconds` length; returns its full path, or an empty text when
// it could not be written.
QString writeWavFile(const QString &folder, const QString &fileName, double seconds,
                     WavContent content = WavContent::Silence);
