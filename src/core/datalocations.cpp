#include "datalocations.h"

#include "settingsstore.h"

#include <QDir>
#include <QStandardPaths>

namespace {

QString vornHome()
{
    return qEnvironmentVariable("VORN_HOME");
}

} // namespace

QString programFolder()
{
    QString folder = vornHome();
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                 QLatin1String("/VORN");
    }
    QDir().mkpath(folder);
    return QDir(folder).absolutePath();
}

std::unique_ptr<SettingsStore> openSettingsStore()
{
    const QString home = vornHome();
    if (!home.isEmpty())
        return std::make_unique<SettingsStore>(QDir(home).filePath(QStringLiteral("VORN.ini")));
    return std::make_unique<SettingsStore>();
}
