#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <vector>

// A top-level window of the desktop; 0 is no window.
using WindowHandle = quintptr;

// The desktop's window messaging as the Winamp protocol needs it. The real
// implementation talks to Win32; tests use a scripted desktop.
class WindowSystem
{
public:
    virtual ~WindowSystem() = default;

    // Every top-level window, in the order in which the system enumerates them.
    virtual std::vector<WindowHandle> topLevelWindows() = 0;
    // The window's owner; 0 when it has none.
    virtual WindowHandle owner(WindowHandle window) = 0;
    // The window's whole title; empty for a window that is gone.
    virtual QString title(WindowHandle window) = 0;

    // Delivers a message and waits, for a bounded time, until the window has
    // handled it; its reply, or 0 when the window is gone or does not answer.
    virtual qintptr send(WindowHandle window, unsigned message, quintptr wParam,
                         qintptr lParam) = 0;
    // Queues a message for the window without waiting; false when it could not
    // be queued (a window that is gone).
    virtual bool post(WindowHandle window, unsigned message, quintptr wParam, qintptr lParam) = 0;

    // Lets this program's message loop handle what is pending, once.
    virtual void processEvents() = 0;

    // Starts the program as a new process whose window is hidden; true when a
    // process was started.
    virtual bool startHidden(const QString &program) = 0;

    // The text in the system's single-byte (ANSI) code page, one byte per
    // character; characters that the code page lacks become '?'.
    virtual QByteArray ansiCodes(const QString &text) const = 0;
};
