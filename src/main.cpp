#include "core/datalocations.h"
#include "core/settingsstore.h"
#include "library/fileicons.h"
#include "playback/playerlinkfactory.h"
#include "shell/frmmain.h"
#include "shell/instancelock.h"
#include "shell/qtuserdialogs.h"
#include "shell/shellsettings.h"
#include "shell/signalwatcher.h"

#include <QApplication>

#include <csignal>

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
                   createPlayerLink(settings->value(ShellSettings::kWinamp)),
                   frmMain::StartUp::WithSplash);
    dialogs.setParent(&window);

    // Being told to end (logout, kill, Ctrl+C) ends VORN as closing does,
    // without questions: the player is closed, unsaved work stays in the
    // working copies.
#ifdef Q_OS_UNIX
    SignalWatcher endSignals({SIGTERM, SIGINT, SIGHUP});
#else
    SignalWatcher endSignals({});
#endif
    QObject::connect(&endSignals, &SignalWatcher::signalled, &window, [&window] {
        window.closeWithoutQuestions();
        // Also leaves a modal dialog's loop that may be running.
        QCoreApplication::quit();
    });

    window.show();
    return QApplication::exec();
}
