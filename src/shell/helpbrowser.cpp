#include "helpbrowser.h"

#include <QDesktopServices>

bool DesktopHelpBrowser::openUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}
