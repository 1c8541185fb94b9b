#include "gaintags.h"

#include <QFile>
#include <QFileInfo>

#include <fileref.h>
#include <tpropertymap.h>

#include <cmath>

namespace {

constexpr double kMaxGainDb = 64.0;
constexpr double kMaxPeak = 64.0;
// -120 dB: a tagged peak below is no real song.
constexpr double kMinPeak = 1e-6;

QString property(const TagLib::PropertyMap &properties, const char *key)
{
    const auto found = properties.find(key);
    if (found == properties.end() || found->second.isEmpty())
        return {};
    return QString::fromStdString(found->second.front().to8Bit(true));
}

} // namespace

namespace GainTags {

std::optional<double> parseNumber(QString text)
{
    text = text.trimmed();
    if (text.endsWith(QLatin1String("dB"), Qt::CaseInsensitive))
        text.chop(2);
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<LoudnessMeasurement> read(const QString &path)
{
    // TagLib opens what it is given; a device or FIFO must never reach it.
    const QFileInfo info(path);
    if (!info.isFile() || info.size() == 0)
        return std::nullopt;
    const TagLib::FileRef file(QFile::encodeName(path).constData(), false);
    if (file.isNull() || !file.file())
        return std::nullopt;
    const TagLib::PropertyMap properties = file.file()->properties();
    const std::optional<double> gain = parseNumber(property(properties, "REPLAYGAIN_TRACK_GAIN"));
    if (!gain || std::abs(*gain) > kMaxGainDb)
        return std::nullopt;
    double peak = 1.0;
    if (const QString peakText = property(properties, "REPLAYGAIN_TRACK_PEAK"); !peakText.isEmpty()) {
        const std::optional<double> parsed = parseNumber(peakText);
        if (!parsed || !(*parsed >= kMinPeak) || *parsed > kMaxPeak)
            return std::nullopt;
        peak = *parsed;
    }
    LoudnessMeasurement measurement;
    measurement.loudnessLufs = kReferenceLufs - *gain;
    measurement.truePeakDbtp = 20.0 * std::log10(peak);
    measurement.source = LoudnessMeasurement::Source::GainTags;
    return measurement;
}

} // namespace GainTags
