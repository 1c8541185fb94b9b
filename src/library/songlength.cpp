#include "songlength.h"

#include "core/numeric.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>
#include <optional>

#include <system_error>
#include <thread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
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

#ifdef Q_OS_UNIX
// The size of a regular file, or nothing.
std::optional<qint64> regularFileSize(int folder, const char *path)
{
    struct stat status;
    if (::fstatat(folder, path, &status, 0) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return static_cast<qint64>(status.st_size);
}

// The folder of the last file looked at, kept open while the files that
// follow are in it too.
class OpenFolder
{
public:
    OpenFolder() = default;
    OpenFolder(const OpenFolder &) = delete;
    OpenFolder &operator=(const OpenFolder &) = delete;
    ~OpenFolder() { close(); }

    // A handle of the folder, or AT_FDCWD when it cannot be opened: then
    // the caller looks the whole path up, and sees what a single lookup sees.
    int of(QByteArrayView folder)
    {
        if (m_fd >= 0 && folder == QByteArrayView(m_name))
            return m_fd;
        close();
        m_name = folder.toByteArray();
#ifdef O_PATH
        m_fd = ::open(m_name.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
#else
        m_fd = ::open(m_name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#endif
        return m_fd >= 0 ? m_fd : AT_FDCWD;
    }

private:
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    QByteArray m_name;
    int m_fd = -1;
};

void estimateRange(const QStringList &files, qsizetype from, qsizetype to,
                   const std::function<void(qsizetype index, qint32 length)> &take,
                   const std::atomic<bool> *stop)
{
    OpenFolder folder;
    for (qsizetype i = from; i < to; ++i) {
        if (stop && stop->load(std::memory_order_relaxed))
            return;
        const QString &file = files[i];
        // A name with a NUL in it names no file (the system would cut it there).
        if (estimatedType(file) == EstimatedType::None || file.contains(QChar(u'\0'))) {
            take(i, 0);
            continue;
        }
        const QByteArray path = QFile::encodeName(file);
        const qsizetype slash = path.lastIndexOf('/');
        std::optional<qint64> size;
        if (slash <= 0) {
            size = regularFileSize(AT_FDCWD, path.constData());
        } else {
            const int at = folder.of(QByteArrayView(path).first(slash));
            size = regularFileSize(at, at == AT_FDCWD ? path.constData()
                                                      : path.constData() + slash + 1);
        }
        take(i, size ? estimateSongLengthFromSize(file, *size) : 0);
    }
}
#endif

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

void EstimateSongLengths(const QStringList &files,
                         const std::function<void(qsizetype index, qint32 length)> &take,
                         const std::atomic<bool> *stop)
{
#ifdef Q_OS_UNIX
    // Looking files up is the kernel's work and scales with the cores; a
    // short list is not worth a thread.
    constexpr qsizetype kWorthAThread = 4096;
    const qsizetype half = files.size() / 2;
    std::thread second;
    if (files.size() >= kWorthAThread && std::thread::hardware_concurrency() > 1) {
        try {
            second = std::thread([&] { estimateRange(files, half, files.size(), take, stop); });
        } catch (const std::system_error &) {
            // No thread to be had: the whole list on this one.
        }
    }
    estimateRange(files, 0, second.joinable() ? half : files.size(), take, stop);
    if (second.joinable())
        second.join();
#else
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (stop && stop->load(std::memory_order_relaxed))
            return;
        take(i, EstimateSongLength(files[i]));
    }
#endif
}
