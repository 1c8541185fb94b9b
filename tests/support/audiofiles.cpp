#include "audiofiles.h"

#include <QByteArray>
#include <QDir>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr quint32 kSampleRate = 22050;
constexpr quint16 kChannels = 1;
constexpr quint16 kBitsPerSample = 16;
constexpr double kToneHz = 440.0;
constexpr double kToneAmplitude = 8000.0;

void appendU32(QByteArray &bytes, quint32 value)
{
    char buffer[4];
    qToLittleEndian(value, buffer);
    bytes.append(buffer, 4);
}

void appendU16(QByteArray &bytes, quint16 value)
{
    char buffer[2];
    qToLittleEndian(value, buffer);
    bytes.append(buffer, 2);
}

} // namespace

QString writeWavFile(const QString &folder, const QString &fileName, double seconds,
                     WavContent content)
{
    const quint32 frames = static_cast<quint32>(std::max(0.0, std::round(seconds * kSampleRate)));
    const quint16 blockAlign = kChannels * kBitsPerSample / 8;
    const quint32 dataBytes = frames * blockAlign;

    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(44 + dataBytes));
    bytes.append("RIFF");
    appendU32(bytes, 36 + dataBytes);
    bytes.append("WAVEfmt ");
    appendU32(bytes, 16);
    appendU16(bytes, 1); // PCM
    appendU16(bytes, kChannels);
    appendU32(bytes, kSampleRate);
    appendU32(bytes, kSampleRate * blockAlign);
    appendU16(bytes, blockAlign);
    appendU16(bytes, kBitsPerSample);
    bytes.append("data");
    appendU32(bytes, dataBytes);
    for (quint32 frame = 0; frame < frames; ++frame) {
        double sample = 0.0;
        if (content == WavContent::Tone)
            sample =
                kToneAmplitude * std::sin(2.0 * std::numbers::pi * kToneHz * frame / kSampleRate);
        appendU16(bytes, static_cast<quint16>(static_cast<qint16>(std::lround(sample))));
    }

    const QString path = QDir(folder).filePath(fileName);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return {};
    return path;
}
