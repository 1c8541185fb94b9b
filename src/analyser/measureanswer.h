#pragma once

#include "loudness/loudnessmeasurement.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

// What the program and its loudness helper (vorn-loudness) say to each other
// over the helper's standard input and output. The program writes a file's
// path in UTF-8, ended by a NUL byte. While the helper reads that file it
// writes a line "." now and then; it ends with one line, "M <LUFS> <dBTP>"
// for a measurement or "N <why>" for a file it could not measure. Lines end
// in LF; numbers are written with every digit, so a measurement crosses
// unchanged.
namespace MeasureAnswer {

inline QByteArray request(const QString &path)
{
    return path.toUtf8() + '\0';
}

inline QString pathOf(QByteArrayView request)
{
    return QString::fromUtf8(request);
}

inline QByteArray progress()
{
    return QByteArrayLiteral(".\n");
}

inline bool isProgress(QByteArrayView line)
{
    return line == ".";
}

inline QByteArray answer(const LoudnessResult &result)
{
    if (result.measurement)
        return "M " + QByteArray::number(result.measurement->loudnessLufs, 'g', 17) + ' ' +
               QByteArray::number(result.measurement->truePeakDbtp, 'g', 17) + '\n';
    QString why = result.failure;
    why.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    return "N " + why.toUtf8() + '\n';
}

// The result a final line stands for; nothing for a line that is none.
inline std::optional<LoudnessResult> parse(QByteArrayView line)
{
    if (line.startsWith("N "))
        return LoudnessResult::notMeasured(QString::fromUtf8(line.sliced(2)));
    if (!line.startsWith("M "))
        return std::nullopt;
    const QList<QByteArray> numbers = line.sliced(2).toByteArray().split(' ');
    bool lufsOk = false;
    bool peakOk = false;
    LoudnessMeasurement measurement;
    if (numbers.size() == 2) {
        measurement.loudnessLufs = numbers[0].toDouble(&lufsOk);
        measurement.truePeakDbtp = numbers[1].toDouble(&peakOk);
    }
    if (!lufsOk || !peakOk)
        return std::nullopt;
    return LoudnessResult{LoudnessResult::Outcome::Measured, measurement, {}};
}

} // namespace MeasureAnswer
