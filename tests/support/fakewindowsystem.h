#pragma once

#include "playback/windowsystem.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

// A scripted desktop for the Winamp protocol: top-level windows in enumeration
// order with titles and owners, a record of every message sent or posted, and
// a simulated Winamp that answers its messages. Posted messages wait in a
// queue until the next processEvents, as they would in a real message loop.
class FakeWindowSystem : public WindowSystem
{
public:
    struct Message
    {
        bool posted = false;
        WindowHandle window = 0;
        unsigned message = 0;
        quintptr wParam = 0;
        qintptr lParam = 0;

        bool operator==(const Message &) const = default;
    };

    // The simulated player; tests read it and set position and length.
    struct Player
    {
        WindowHandle main = 0;
        WindowHandle equalizer = 0;
        QStringList playList;
        QString current;       // the file that plays or is paused
        int state = 0;         // 0 stopped, 1 playing, 3 paused
        int positionMs = 0;    // reported while playing or paused
        int lengthSeconds = 0; // reported while playing or paused
        int volumeSteps = 0;
        int levelSteps = 0;
        int fadeOuts = 0;
    };

    WindowHandle addWindow(const QString &title, WindowHandle owner = 0);
    void removeWindow(WindowHandle window);
    void setTitle(WindowHandle window, const QString &title);

    // Puts a running Winamp on the desktop: its main window and its equalizer
    // window, appended in that order unless `equalizerFirst`.
    void runWinamp(const QString &mainTitle = QStringLiteral("Winamp 2.24"),
                   bool equalizerFirst = false);
    // Removes the player's windows, as when it exits.
    void exitWinamp();
    bool winampRunning() const { return m_player.main != 0; }
    Player &winamp() { return m_player; }

    // What startHidden does: records the program, calls onLaunch, and, when
    // the launch succeeds and launchRunsWinamp is set, runs Winamp.
    bool launchSucceeds = true;
    bool launchRunsWinamp = true;
    QStringList launched;
    std::function<void(const QString &program)> onLaunch;

    // Every message sent or posted, in order, whether or not a window took it.
    std::vector<Message> messages;
    // 'y' for each processEvents, 'p' for each post, in order.
    QString timeline;

    std::vector<WindowHandle> topLevelWindows() override;
    WindowHandle owner(WindowHandle window) override;
    QString title(WindowHandle window) override;
    qintptr send(WindowHandle window, unsigned message, quintptr wParam, qintptr lParam) override;
    bool post(WindowHandle window, unsigned message, quintptr wParam, qintptr lParam) override;
    void processEvents() override;
    bool startHidden(const QString &program) override;
    QByteArray ansiCodes(const QString &text) const override;

private:
    struct Window
    {
        WindowHandle handle = 0;
        QString title;
        WindowHandle owner = 0;
    };

    const Window *find(WindowHandle window) const;
    qintptr answerMain(unsigned message, quintptr wParam, qintptr lParam);
    qintptr answerEqualizer(unsigned message, quintptr wParam);
    void deliver(const Message &message);

    std::vector<Window> m_windows;
    std::deque<Message> m_queue;
    WindowHandle m_nextHandle = 0x1000;
    QByteArray m_collected;
    Player m_player;
};
