#include "playlistdisk.h"

#include "core/freedmemory.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <filesystem>
#include <limits>
#include <system_error>

namespace {

// A big list is read into memory whose pages are all handed over first.
QByteArray readWhole(QFile &file)
{
    constexpr qint64 kBigFile = 1 << 20;
    const qint64 size = file.size();
    if (size < kBigFile || size > std::numeric_limits<qsizetype>::max() / 2)
        return file.readAll();
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    prepareFreshMemory(bytes.data(), size);
    qint64 done = 0;
    while (done < size) {
        const qint64 got = file.read(bytes.data() + done, size - done);
        if (got <= 0)
            break;
        done += got;
    }
    bytes.truncate(static_cast<qsizetype>(done));
    // A file that grew meanwhile is read to its end.
    if (done == size && !file.atEnd())
        bytes += file.readAll();
    return bytes;
}

} // namespace

bool PlayListDisk::exists(const QString &path) const
{
    return QFile::exists(path);
}

std::optional<QByteArray> PlayListDisk::read(const QString &path, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return std::nullopt;
    }
    QByteArray bytes = readWhole(file);
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return std::nullopt;
    }
    return bytes;
}

namespace {

// Writes all of `bytes` and flushes. A short write (a disk that fills up on
// the way) leaves Qt's reason empty ("Unknown error"); writing the rest again
// makes the system say why, so that the user reads the real reason.
bool writeAll(QFileDevice &file, const QByteArray &bytes, QString &error)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            error = file.errorString();
            return false;
        }
        done += written;
    }
    // A flush that fails part of the way through the buffer loses the
    // reason too; the flush of the rest meets the failure at once and keeps it.
    if (!file.flush()) {
        file.unsetError();
        if (!file.flush()) {
            error = file.errorString();
            return false;
        }
    }
    return true;
}

// A new file beside `path` renamed over it: the same one-step replacement as
// QSaveFile, without QSaveFile's sync to the disk.
bool replaceUnsynced(const QString &path, const QByteArray &bytes, QString &error)
{
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    file.setAutoRemove(false);
    if (!file.open()) {
        error = file.errorString();
        return false;
    }
    const QString temporary = file.fileName();
    const bool written = writeAll(file, bytes, error);
    file.close();
    if (written && file.error() == QFileDevice::NoError) {
        std::error_code failure;
        std::filesystem::rename(QFileInfo(temporary).filesystemAbsoluteFilePath(),
                                QFileInfo(path).filesystemAbsoluteFilePath(), failure);
        if (!failure)
            return true;
        error = QString::fromStdString(failure.message());
    } else if (error.isEmpty()) {
        error = file.errorString();
    }
    QFile::remove(temporary);
    return false;
}

} // namespace

bool PlayListDisk::write(const QString &path, const QByteArray &bytes, QString &error)
{
    if (m_scratch)
        return writeScratch(path, bytes, error);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    // QSaveFile's commit does not see a failure of the last buffered write
    // (a full disk, a size limit): flush first, so that it is seen here and
    // the stored file is kept.
    if (!writeAll(file, bytes, error)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

bool PlayListDisk::writeScratch(const QString &path, const QByteArray &bytes, QString &error)
{
    return replaceUnsynced(path, bytes, error);
}
