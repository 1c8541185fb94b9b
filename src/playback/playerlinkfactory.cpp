#include "playerlinkfactory.h"

#include "mpvlink.h"

#include <algorithm>

#ifdef Q_OS_WIN
#include "win32windowsystem.h"
#include "winamplink.h"
#endif

bool usesWinampProtocol(const QString &path)
{
    const qsizetype separator =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return QStringView(path)
        .mid(separator + 1)
        .startsWith(QLatin1String("winamp"), Qt::CaseInsensitive);
}

std::unique_ptr<PlayerLink> createPlayerLink(const QString &path)
{
#ifdef Q_OS_WIN
    if (usesWinampProtocol(path))
        return std::make_unique<WinampLink>(std::make_unique<Win32WindowSystem>());
#else
    Q_UNUSED(path);
#endif
    return std::make_unique<MpvLink>();
}
