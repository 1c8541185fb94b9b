#include "playlistimport.h"

#include "m3uparser.h"
#include "plsparser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>

namespace PlayListImport {
namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// "C:\...", "C:/..." and the drive-relative "C:..." alike.
bool hasDriveLetter(QStringView entry)
{
    return entry.size() >= 2 && isAsciiLetter(entry[0]) && entry[1] == u':';
}

// A URL scheme: a letter, then letters, digits, "+", "-" or ".", then "://".
// Two characters at least, so that a drive letter is never one.
bool hasUrlScheme(QStringView entry)
{
    const qsizetype colon = entry.indexOf(u"://");
    if (colon < 2 || !isAsciiLetter(entry[0]))
        return false;
    return std::all_of(entry.begin(), entry.begin() + colon, [](QChar c) {
        return isAsciiLetter(c) || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
    });
}

bool isWindowsAbsolute(QStringView entry)
{
    return hasDriveLetter(entry) || entry.startsWith(u'\\') || entry.startsWith(u'/');
}

QString withBackslashes(QString path)
{
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return path;
}

} // namespace

PathStyle hostPathStyle()
{
#ifdef Q_OS_WIN
    return PathStyle::Windows;
#else
    return PathStyle::Posix;
#endif
}

QString resolveEntry(const QString &entry, const QString &listFolder, PathStyle style)
{
    QString path = entry;
    if (path.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(path);
        if (url.isValid() && url.isLocalFile() && !url.toLocalFile().isEmpty())
            path = url.toLocalFile();
        // file:///C:/a.mp3 gives /C:/a.mp3 where the drive is not the host's.
        if (style == PathStyle::Windows && path.startsWith(QLatin1Char('/')) &&
            hasDriveLetter(QStringView(path).sliced(1)))
            path.remove(0, 1);
    }
    if (hasUrlScheme(path))
        return path;

    if (style == PathStyle::Windows) {
        if (isWindowsAbsolute(path))
            return path == entry ? path : withBackslashes(path);
        QString joined = listFolder;
        if (!joined.isEmpty() && !joined.endsWith(QLatin1Char('/')) &&
            !joined.endsWith(QLatin1Char('\\')))
            joined += QLatin1Char('\\');
        return withBackslashes(joined + path);
    }

    if (path.startsWith(QLatin1Char('/')) || isWindowsAbsolute(path))
        return path;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::cleanPath(listFolder + QLatin1Char('/') + path);
}

QString playListName(const QString &listFile)
{
    const qsizetype nameStart =
        std::max(listFile.lastIndexOf(QLatin1Char('/')), listFile.lastIndexOf(QLatin1Char('\\'))) +
        1;
    const QString name = listFile.mid(nameStart);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

std::unique_ptr<PlayListParser> parserFor(const QString &listFile)
{
    const PlayListEncoding encoding = listFile.endsWith(QLatin1String(".m3u8"), Qt::CaseInsensitive)
                                          ? PlayListEncoding::Utf8
                                          : PlayListEncoding::Utf8OrWindows1252;
    if (listFile.endsWith(QLatin1String("pls"), Qt::CaseInsensitive))
        return std::make_unique<PlsParser>(encoding);
    return std::make_unique<M3uParser>(encoding);
}

std::optional<ImportedList> read(const QString &listFile)
{
    QFile file(listFile);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    if (file.size() > kMaxListFileSize)
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;

    ImportedList list;
    list.name = playListName(listFile);
    const QString folder = QFileInfo(listFile).absolutePath();
    list.songs = parserFor(listFile)->parse(
        bytes, [&folder](QStringView entry) { return resolveEntry(entry.toString(), folder); });
    return list;
}

} // namespace PlayListImport
