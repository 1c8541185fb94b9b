#include "loudnesscache.h"

#include <QDateTime>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>
#include <QTimeZone>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

// The figures a sane file can have; anything beyond is damage.
constexpr double kMinLufs = -200.0;
constexpr double kMaxLufs = 50.0;
constexpr double kMinPeak = -200.0;
constexpr double kMaxPeak = 100.0;

std::optional<double> figure(const QByteArray &text, double low, double high)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<qint64> count(const QByteArray &text)
{
    // Only plain digits: no sign, no blanks, no other base.
    if (text.isEmpty() || text.size() > 18
        || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return text.toLongLong();
}

std::optional<std::pair<QString, LoudnessCacheEntry>> entryOf(const QByteArray &line)
{
    const QList<QByteArray> fields = line.split(' ');
    if (fields.size() != 4 && fields.size() != 6)
        return std::nullopt;
    const QByteArray &encoded = fields[0];
    if (encoded.isEmpty())
        return std::nullopt;
    const QByteArray decoded = QByteArray::fromPercentEncoding(encoded);
    const QString path = QString::fromUtf8(decoded);
    // The written form is the only form accepted, so that a path never
    // reads as another one.
    if (path.isEmpty() || path.toUtf8() != decoded || QUrl::toPercentEncoding(path) != encoded)
        return std::nullopt;
    const std::optional<qint64> size = count(fields[1]);
    const std::optional<qint64> mtime = count(fields[2]);
    if (!size || !mtime)
        return std::nullopt;
    LoudnessCacheEntry entry;
    entry.stamp = {*size, *mtime};
    const QByteArray &kind = fields[3];
    if (kind == "N")
        return fields.size() == 4 ? std::optional(std::pair(path, entry)) : std::nullopt;
    if ((kind != "M" && kind != "T") || fields.size() != 6)
        return std::nullopt;
    const std::optional<double> lufs = figure(fields[4], kMinLufs, kMaxLufs);
    const std::optional<double> peak = figure(fields[5], kMinPeak, kMaxPeak);
    if (!lufs || !peak)
        return std::nullopt;
    LoudnessMeasurement measurement;
    measurement.loudnessLufs = *lufs;
    measurement.truePeakDbtp = *peak;
    measurement.source = kind == "T" ? LoudnessMeasurement::Source::GainTags
                                     : LoudnessMeasurement::Source::Measured;
    entry.measurement = measurement;
    return std::pair(path, entry);
}

QByteArray figureText(double value)
{
    // Rounded first, so that a figure just below zero is written as 0.00
    // and not as -0.00, which would read back as another text.
    double rounded = std::round(value * 100.0) / 100.0;
    if (rounded == 0.0)
        rounded = 0.0;
    return QByteArray::number(rounded, 'f', 2);
}

} // namespace

std::optional<FileStamp> fileStampOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return std::nullopt;
    return FileStamp{info.size(),
                     info.fileTime(QFileDevice::FileModificationTime).toMSecsSinceEpoch()};
}

bool LoudnessCacheEntry::operator==(const LoudnessCacheEntry &other) const
{
    if (!(stamp == other.stamp) || measurement.has_value() != other.measurement.has_value())
        return false;
    if (!measurement)
        return true;
    return measurement->source == other.measurement->source
           && figureText(measurement->loudnessLufs) == figureText(other.measurement->loudnessLufs)
           && figureText(measurement->truePeakDbtp) == figureText(other.measurement->truePeakDbtp);
}

namespace LoudnessCacheFile {

Parsed parse(const QByteArray &bytes)
{
    Parsed parsed;
    if (bytes.isEmpty())
        return parsed;
    const qsizetype headerEnd = bytes.indexOf('\n');
    if (headerEnd < 0 || bytes.left(headerEnd) != kHeader) {
        parsed.badHeader = true;
        return parsed;
    }
    qsizetype at = headerEnd + 1;
    while (at < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', at);
        // A last line without its LF was cut short: damage, even when it
        // happens to read as an entry.
        const bool whole = end >= 0;
        if (!whole)
            end = bytes.size();
        const QByteArray line = bytes.mid(at, end - at);
        at = end + 1;
        const auto entry = whole ? entryOf(line) : std::nullopt;
        if (!entry || parsed.entries.contains(entry->first)) {
            ++parsed.damagedLines;
            continue;
        }
        parsed.entries.insert(entry->first, entry->second);
    }
    return parsed;
}

QByteArray serialize(const LoudnessEntries &entries)
{
    QList<QString> paths = entries.keys();
    std::sort(paths.begin(), paths.end());
    QByteArray bytes(kHeader);
    bytes += '\n';
    for (const QString &path : paths) {
        const LoudnessCacheEntry &entry = entries[path];
        bytes += QUrl::toPercentEncoding(path);
        bytes += ' ' + QByteArray::number(entry.stamp.size) + ' '
                 + QByteArray::number(entry.stamp.mtimeMs);
        if (!entry.measurement) {
            bytes += " N\n";
            continue;
        }
        const bool tags = entry.measurement->source == LoudnessMeasurement::Source::GainTags;
        bytes += tags ? " T " : " M ";
        bytes += figureText(entry.measurement->loudnessLufs) + ' '
                 + figureText(entry.measurement->truePeakDbtp) + '\n';
    }
    return bytes;
}

bool write(const QString &path, const LoudnessEntries &entries)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = serialize(entries);
    if (file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

} // namespace LoudnessCacheFile
