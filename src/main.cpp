#include "library/fileicons.h"
#include "playback/playerlinkfactory.h"
#include "core/datalocations.h"
#include "shell/frmmain.h"
#include "shell/instancelock.h"
#include "shell/qtuserdialogs.h"
#include "core/settingsstore.h"
#include "shell/shellsettings.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VORN"));
    ensureIconTheme();

    const std::unique_ptr<SettingsStore> settings = openSettingsStore();
    QtUserDialogs dialogs;
    // Before the window exists: its load deletes the folder's working copies.
    InstanceLock lock(programFolder());
    if (!lock.acquire(dialogs))
        return 1;
    frmMain window(programFolder(), *settings, dialogs,
                   createPlayerLink(settings->value(ShellSettings::kWinamp)));
    dialogs.setParent(&window);
    window.show();
    return QApplication::exec();
}
