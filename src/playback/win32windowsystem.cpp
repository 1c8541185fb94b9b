#include <QtGlobal>

#ifdef Q_OS_WIN

#include "win32windowsystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <string>
#include <vector>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {

// Long enough for the player's own fade-out, which it finishes before it
// answers; a player that stopped handling messages is given up at once.
constexpr UINT kSendTimeoutMs = 10000;

HWND toHwnd(WindowHandle window)
{
    return reinterpret_cast<HWND>(window);
}

BOOL CALLBACK appendWindow(HWND window, LPARAM list)
{
    reinterpret_cast<std::vector<WindowHandle> *>(list)->push_back(
        reinterpret_cast<WindowHandle>(window));
    return TRUE;
}

} // namespace

std::vector<WindowHandle> Win32WindowSystem::topLevelWindows()
{
    std::vector<WindowHandle> windows;
    EnumWindows(appendWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

WindowHandle Win32WindowSystem::owner(WindowHandle window)
{
    return static_cast<WindowHandle>(GetWindowLongPtrA(toHwnd(window), GWLP_HWNDPARENT));
}

QString Win32WindowSystem::title(WindowHandle window)
{
    const int length = GetWindowTextLengthA(toHwnd(window));
    if (length <= 0)
        return {};
    // The whole title: a long song name must not cut off the " - Winamp" that
    // marks the player's main window.
    QByteArray buffer(length + 1, '\0');
    const int copied = GetWindowTextA(toHwnd(window), buffer.data(), length + 1);
    buffer.truncate(qBound(0, copied, length));
    return QString::fromLocal8Bit(buffer);
}

qintptr Win32WindowSystem::send(WindowHandle window, unsigned message, quintptr wParam,
                                qintptr lParam)
{
    DWORD_PTR reply = 0;
    if (!SendMessageTimeoutA(toHwnd(window), message, static_cast<WPARAM>(wParam),
                             static_cast<LPARAM>(lParam), SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &reply)) {
        return 0;
    }
    return static_cast<qintptr>(reply);
}

bool Win32WindowSystem::post(WindowHandle window, unsigned message, quintptr wParam, qintptr lParam)
{
    return PostMessageA(toHwnd(window), message, static_cast<WPARAM>(wParam),
                        static_cast<LPARAM>(lParam)) != 0;
}

void Win32WindowSystem::processEvents()
{
    QCoreApplication::processEvents();
}

bool Win32WindowSystem::startHidden(const QString &program)
{
    if (program.isEmpty())
        return false;
    const QString nativeProgram = QDir::toNativeSeparators(program);
    std::wstring commandLine = L"\"" + nativeProgram.toStdWString() + L"\"";
    const std::wstring folder =
        QDir::toNativeSeparators(QFileInfo(program).absolutePath()).toStdWString();

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    const BOOL started =
        CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       folder.empty() ? nullptr : folder.c_str(), &startup, &process);
    if (!started)
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

QByteArray Win32WindowSystem::ansiCodes(const QString &text) const
{
    // Qt's local 8-bit encoding on Windows is the ANSI code page.
    return text.toLocal8Bit();
}

#endif // Q_OS_WIN
