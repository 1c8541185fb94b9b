#include "helpcontents.h"

#include "core/resourcefolders.h"
#include "core/userdialogs.h"
#include "helpbrowser.h"

#include <QDir>
#include <QStringList>
#include <QUrl>

QString helpIndexPath(const QString &programFolder)
{
    return QDir(ResourceFolders::helpFolder(programFolder)).filePath(QStringLiteral("index.html"));
}

void mnuHelpContents_Click(HelpBrowser &browser, UserDialogs &dialogs, const QString &programFolder)
{
    if (browser.openUrl(QUrl::fromLocalFile(helpIndexPath(programFolder))))
        return;
    dialogs.messageBox(QStringLiteral("VORN"),
                       QStringLiteral("VORN was unable to locate your default browser!"),
                       DialogButtons::Ok, DialogIcon::Critical);
}

QString versionCaption(const QString &version)
{
    const QStringList parts = version.split(QLatin1Char('.'));
    QStringList numbers;
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const qulonglong number = i < parts.size() ? parts.at(i).trimmed().toULongLong(&ok) : 0;
        numbers << QString::number(ok ? number : 0);
    }
    return numbers.join(QLatin1Char('.'));
}
