#include "mpvsocketpath.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const QLatin1String kSocketSuffix(".sock");

// 12 hex digits: short, and two folders of one user practically never meet.
QString shortHash(const QString &text)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex().left(12));
}

#ifdef Q_OS_UNIX
// Room kept for the "-N" of a variant.
constexpr qsizetype kVariantReserve = 3;

bool fits(const QString &path)
{
    return QFile::encodeName(path).size() <= kMaxSocketPathBytes - kVariantReserve;
}

// A folder that only this user may enter: made when missing, never trusted
// when someone else owns it or it is not a real folder.
bool ensurePrivateFolder(const QString &folder)
{
    const QByteArray name = QFile::encodeName(folder);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info;
    if (::lstat(name.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::getuid())
        return false;
    return (info.st_mode & 0777) == 0700 || ::chmod(name.constData(), 0700) == 0;
}

// The private folders in the order they are preferred: the runtime folder
// (the user's by its definition), then one made under the temporary folder,
// then one under /tmp, short whatever the temporary folder is called.
QStringList privateFolderCandidates()
{
    const QString user = QStringLiteral("vorn-%1").arg(::getuid());
    QStringList candidates;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        candidates << runtime;
    candidates << QDir(QDir::tempPath()).filePath(user) << QStringLiteral("/tmp/") + user;
    return candidates;
}

bool usable(const QString &folder)
{
    return folder == qEnvironmentVariable("XDG_RUNTIME_DIR") || ensurePrivateFolder(folder);
}
#endif

} // namespace

QString privateSocketFolder()
{
#ifdef Q_OS_UNIX
    for (const QString &folder : privateFolderCandidates()) {
        if (usable(folder))
            return folder;
    }
    return {};
#else
    return QDir::tempPath();
#endif
}

QString mpvSocketPathFor(const QString &programFolder)
{
    const QString name =
        QStringLiteral("vorn-mpv-") + shortHash(QDir(programFolder).absolutePath());
#ifdef Q_OS_WIN
    return QStringLiteral("\\\\.\\pipe\\") + name;
#else
    const QString folder = privateSocketFolder();
    return fitSocketPath(
        QDir(folder.isEmpty() ? QDir::tempPath() : folder).filePath(name + kSocketSuffix));
#endif
}

QString fitSocketPath(const QString &path)
{
#ifdef Q_OS_WIN
    return path;
#else
    if (fits(path))
        return path;
    const QString name = QStringLiteral("vorn-") + shortHash(path) + kSocketSuffix;
    for (const QString &folder : privateFolderCandidates()) {
        const QString candidate = QDir(folder).filePath(name);
        if (fits(candidate) && usable(folder))
            return candidate;
    }
    return path; // nothing shorter to be had: binding fails, the start reports it
#endif
}

QString socketPathVariant(const QString &path, int n)
{
    if (n <= 0)
        return path;
    const QString tag = QStringLiteral("-%1").arg(n);
    if (path.endsWith(kSocketSuffix))
        return path.chopped(kSocketSuffix.size()) + tag + kSocketSuffix;
    return path + tag;
}
