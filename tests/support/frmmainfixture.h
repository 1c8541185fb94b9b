#pragma once

#include "core/settingsstore.h"
#include "shell/frmmain.h"
#include "shell/playeranswercheck.h"
#include "support/fakeplayerlink.h"
#include "support/playlistfiles.h"
#include "support/scripteddialogs.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

// A main window over a temporary program folder, a settings file in it, the
// scripted dialogs and a fake player.
class frmMainFixture : public ::testing::Test
{
protected:
    std::unique_ptr<frmMain> start()
    {
        auto window = makeWindow();
        window->show();
        window->tmrInit_Timer();
        return window;
    }

    // A window started where no player can be found or started.
    std::unique_ptr<frmMain> startWithoutPlayer()
    {
        auto window = makeWindow();
        link->present = false;
        link->startSucceeds = false;
        window->show();
        window->tmrInit_Timer();
        return window;
    }

    // A window over a fake player; `link` points at it while the window lives.
    std::unique_ptr<frmMain> makeWindow()
    {
        auto player = std::make_unique<FakePlayerLink>();
        link = player.get();
        return std::make_unique<frmMain>(dir.path(), *settings, dialogs, std::move(player));
    }

    // Closes the window as the user would; true when it closed.
    static bool closeWindow(frmMain &window)
    {
        window.close();
        return !window.isVisible();
    }

    // Waits, bounded, until the check of a new player location has ended.
    static bool checked(frmMain &window)
    {
        auto *check = window.findChild<PlayerAnswerCheck *>();
        QDeadlineTimer deadline(15'000);
        while (check && check->isChecking() && !deadline.hasExpired())
            QTest::qWait(50);
        return check && !check->isChecking();
    }

    QString path(const QString &file) const { return dir.filePath(file); }
    bool exists(const QString &file) const { return QFile::exists(path(file)); }
    QString panel(frmMain &window, const char *key) const
    {
        return window.findChild<QLabel *>(QLatin1String(key))->text();
    }
    void reopenSettings() { settings = std::make_unique<SettingsStore>(ini()); }
    QString ini() const { return path(QStringLiteral("VORN.ini")); }

    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> settings = std::make_unique<SettingsStore>(ini());
    ScriptedDialogs dialogs;
    FakePlayerLink *link = nullptr;

    const QByteArray threeSongs = storedLine({"One", "A", "", "", "03:25", "/m/1.mp3"}) +
                                  storedLine({"Two", "B", "", "", "02:40", "/m/2.mp3"}) +
                                  storedLine({"Three", "", "", "", "", "/m/3.mid"});
};
