#pragma once

#include "windowsystem.h"

// Window messaging through Win32. Only built on Windows.
class Win32WindowSystem : public WindowSystem
{
public:
    std::vector<WindowHandle> topLevelWindows() override;
    WindowHandle owner(WindowHandle window) override;
    QString title(WindowHandle window) override;
    qintptr send(WindowHandle window, unsigned message, quintptr wParam, qintptr lParam) override;
    bool post(WindowHandle window, unsigned message, quintptr wParam, qintptr lParam) override;
    void processEvents() override;
    bool startHidden(const QString &program) override;
    QByteArray ansiCodes(const QString &text) const override;
};
