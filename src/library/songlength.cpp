#include "songlength.h"

#include "core/numeric.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

enum class EstimatedType
{
    None,
    Mp3,
    Wav,
};

EstimatedType estimatedType(const QString &file)
{
    const QStringView ending = QStringView(file).right(3);
    if (ending.compare(u"mp3", Qt::CaseInsensitive) == 0)
        return EstimatedType::Mp3;
    if (ending.compare(u"wav", Qt::CaseInsensitive) == 0)
        return EstimatedType::Wav;
    return EstimatedType::None;
}

qint32 saturated(qint64 seconds)
{
    return static_cast<qint32>(std::clamp<qint64>(seconds, 0, std::numeric_limits<qint32>::max()));
}

// Bytes per second of playing time: a fixed mp3 rate, and CD-quality wav
// (44100 samples of two 16-bit channels).
constexpr double kMp3BytesPerSecond = 17640.0;
constexpr double kWavBytesPerSecond = 176400.0;

} // namespace

qint32 estimateSongLengthFromSize(const QString &file, qint64 sizeInBytes)
{
    const double size = static_cast<double>(std::max<qint64>(sizeInBytes, 0));
    switch (estimatedType(file)) {
    case EstimatedType::Mp3: {
        const qint64 s = roundHalfEven(size / kMp3BytesPerSecond);
        const qint64 m = roundHalfEven(static_cast<double>(s) / 60.0);
        const qint64 a = 34 * m;
        return saturated(roundHalfEven(static_cast<double>(a) / 6.0 + static_cast<double>(s)));
    }
    case EstimatedType::Wav:
        return saturated(roundHalfEven(size / kWavBytesPerSecond));
    case EstimatedType::None:
        break;
    }
    return 0;
}

qint32 EstimateSongLength(const QString &file)
{
    if (estimatedType(file) == EstimatedType::None)
        return 0;
#ifdef Q_OS_UNIX
    // One stat per song of an import of thousands: without the file
    // information object's own allocations and path parsing.
    struct stat status;
    // A name with a NUL in it names no file (the system would cut it there).
    if (file.isEmpty() || file.contains(QChar(u'\0')) ||
        ::stat(QFile::encodeName(file).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return 0;
    return estimateSongLengthFromSize(file, static_cast<qint64>(status.st_size));
#else
    const QFileInfo info(file);
    if (!info.isFile())
        return 0;
    return estimateSongLengthFromSize(file, info.size());
#endif
}
