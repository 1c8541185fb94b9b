#include "playlistfolderaccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace PlayListFolderAccess {

QString problemText(const QString &folder, int errorNumber)
{
    QString reason;
    switch (errorNumber) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        reason = QStringLiteral("the disk is full.");
        break;
    case EROFS:
    case EACCES:
    case EPERM:
        reason = QStringLiteral("it is read-only.");
        break;
    default:
        reason = QString::fromLocal8Bit(std::strerror(errorNumber)) + QLatin1Char('.');
        break;
    }
    return QStringLiteral("The play list folder %1 cannot be written: %2")
        .arg(QDir::toNativeSeparators(folder), reason);
}

QString writeProblem(const QString &folder)
{
#ifdef Q_OS_UNIX
    // A byte is written, not only a name made: a full disk often still has
    // room for a name.
    const QByteArray probe = QFile::encodeName(QDir(folder).filePath(
        QStringLiteral(".VORN.probe.%1").arg(QCoreApplication::applicationPid())));
    const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return problemText(folder, errno);
    int failure = 0;
    if (::write(fd, "x", 1) != 1)
        failure = errno != 0 ? errno : ENOSPC;
    ::close(fd);
    ::unlink(probe.constData());
    return failure == 0 ? QString() : problemText(folder, failure);
#else
    QFile probe(QDir(folder).filePath(QStringLiteral(".VORN.probe")));
    if (!probe.open(QIODevice::WriteOnly) || probe.write("x", 1) != 1 || !probe.flush()) {
        probe.remove();
        return problemText(folder, EACCES);
    }
    probe.close();
    probe.remove();
    return QString();
#endif
}

} // namespace PlayListFolderAccess
