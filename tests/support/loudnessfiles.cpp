#include "loudnessfiles.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>

#include <cmath>

namespace {

constexpr int kFfmpegTimeoutMs = 60000;

std::optional<QByteArray> runFfmpeg(const QStringList &arguments)
{
    QProcess ffmpeg;
    ffmpeg.setProcessChannelMode(QProcess::MergedChannels);
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 QStringList{QStringLiteral("-hide_banner"), QStringLiteral("-nostdin")} + arguments);
    if (!ffmpeg.waitForFinished(kFfmpegTimeoutMs) || ffmpeg.exitStatus() != QProcess::NormalExit
        || ffmpeg.exitCode() != 0)
        return std::nullopt;
    return ffmpeg.readAll();
}

} // namespace

bool haveFfmpeg()
{
    return !QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty();
}

QString writeTestSound(const QString &folder, const QString &fileName, TestSignal signal,
                       double lufs, double seconds)
{
    // A full-scale 997 Hz sine in both channels reads 0 LUFS, full-scale
    // white noise about +0.5 LUFS.
    const double amplitude = std::pow(10.0, (signal == TestSignal::Sine ? lufs : lufs - 0.5) / 20.0);
    const QString one = signal == TestSignal::Sine
                            ? QStringLiteral("%1*sin(2*PI*997*t)").arg(amplitude, 0, 'f', 6)
                            : QStringLiteral("%1*(2*random(0)-1)").arg(amplitude, 0, 'f', 6);
    const QString other = signal == TestSignal::Sine
                              ? one
                              : QStringLiteral("%1*(2*random(1)-1)").arg(amplitude, 0, 'f', 6);
    const QString path = folder + QLatin1Char('/') + fileName;
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    QStringList codec;
    if (suffix == QLatin1String("mp3"))
        codec = {QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-b:a"),
                 QStringLiteral("192k")};
    else if (suffix == QLatin1String("ogg"))
        codec = {QStringLiteral("-c:a"), QStringLiteral("libvorbis"), QStringLiteral("-q:a"),
                 QStringLiteral("5")};
    else
        codec = {QStringLiteral("-c:a"), QStringLiteral("pcm_s16le")};
    const QStringList arguments =
        QStringList{QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                    QStringLiteral("-i"),
                    QStringLiteral("aevalsrc=%1|%2:s=48000:d=%3").arg(one, other).arg(seconds)}
        + codec + QStringList{path};
    return runFfmpeg(arguments) ? path : QString();
}

std::optional<ReferenceLoudness> referenceLoudness(const QString &path)
{
    const std::optional<QByteArray> output =
        runFfmpeg({QStringLiteral("-nostats"), QStringLiteral("-i"), path, QStringLiteral("-af"),
                   QStringLiteral("ebur128=peak=true"), QStringLiteral("-f"), QStringLiteral("null"),
                   QStringLiteral("-")});
    if (!output)
        return std::nullopt;
    // The summary comes last; its lines are the last matches.
    const QString text = QString::fromUtf8(*output);
    const auto last = [&text](const QString &pattern) -> std::optional<double> {
        QRegularExpressionMatchIterator it = QRegularExpression(pattern).globalMatch(text);
        std::optional<double> value;
        while (it.hasNext())
            value = it.next().captured(1).toDouble();
        return value;
    };
    const std::optional<double> integrated = last(QStringLiteral(R"(I:\s+(-?[0-9.]+) LUFS)"));
    const std::optional<double> peak = last(QStringLiteral(R"(Peak:\s+(-?[0-9.]+|-inf) dBFS)"));
    if (!integrated || !peak)
        return std::nullopt;
    return ReferenceLoudness{*integrated, *peak};
}
