#include "core/datalocations.h"
#include "core/freedmemory.h"
#include "core/settingsstore.h"
#include "library/fileicons.h"
#include "playback/playerlinkfactory.h"
#include "shell/frmmain.h"
#include "shell/instancelock.h"
#include "shell/qtuserdialogs.h"
#include "shell/shellsettings.h"
#include "shell/signalwatcher.h"

#include <QApplication>
#include <QDBusConnection>

#include <csignal>

int main(int argc, char *argv[])
{
    useOneMemoryPool();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VORN"));
    ensureIconTheme();

    const std::unique_ptr<SettingsStore> settings = openSettingsStore();
    QtUserDialogs dialogs;
    // Before the window exists: its load deletes the folder's working copies.
    InstanceLock lock(programFolder());
    if (!lock.acquire(dialogs))
        return 1;
        // Being told to end (logout, kill, Ctrl+C) ends VORN as closing does,
        // without questions: the player is closed, unsaved work stays in the
        // working copies. Watched before the window exists, because its load
        // waits on the modal splash while the player may already be started.
#ifdef Q_OS_UNIX
    SignalWatcher endSignals({SIGTERM, SIGINT, SIGHUP});
#else
    SignalWatcher endSignals({});
#endif
    frmMain *running = nullptr;
    bool endedWhileLoading = false;
    QObject::connect(&endSignals, &SignalWatcher::signalled, &app, [&running, &endedWhileLoading] {
        if (!running) {
            // Still loading: leave the splash (or a message over it) now,
            // end once the window is whole.
            endedWhileLoading = true;
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
            return;
        }
        running->closeWithoutQuestions();
        // Also leaves a modal dialog's loop that may be running.
        QCoreApplication::quit();
    });

    frmMain window(programFolder(), *settings, dialogs,
                   createPlayerLink(settings->value(ShellSettings::kWinamp)),
                   frmMain::StartUp::WithSplash);
    running = &window;
    dialogs.setParent(&window);
    if (endedWhileLoading) {
        window.closeWithoutQuestions();
        return 0;
    }

    // Media keys and remotes reach VORN over the session bus; without one
    // VORN runs on as it is.
    window.publishRemoteControl(QDBusConnection::sessionBus());
    window.show();
    return QApplication::exec();
}
