#pragma once

#include "playerlink.h"
#include "windowsystem.h"

#include <QString>

#include <memory>
#include <vector>

// Drives Winamp through window messages. Every operation first finds the
// player's main and equalizer windows afresh (`FindWinamp`); when they are not
// found nothing is sent and queries answer 0.
//
// Commands are WM_USER messages of the player's command interface (lParam
// selects the command) and WM_COMMAND messages that press one of its buttons
// (wParam selects it). A file name is handed over as one queued WM_USER message
// per byte of its ANSI text, ended by a 0, with message-loop yields around each
// so that the player keeps up and this program stays responsive.
class WinampLink : public PlayerLink
{
public:
    explicit WinampLink(std::unique_ptr<WindowSystem> windows);

    QString playerName() const override;

    // Discovery: walks the unowned top-level windows in enumeration order,
    // recording the equalizer ("Winamp Equalizer") and the main window ("Winamp"
    // followed by a version number, or a song title ending in "- Winamp").
    // Succeeds when meeting one of them while the other is known and still a
    // window of the desktop; the very first discovery therefore needs both.
    bool FindWinamp() override;
    // True without touching anything when the player runs; otherwise prepares
    // its settings file and starts it hidden, true when a process was started.
    bool StartWinamp(const QString &path) override;
    // Asks the player to close; when this link started it, sets its settings
    // file to show the main window again at the next start by hand.
    void CloseWinamp() override;

    void WinampClearList() override;
    void WinampAddFile(const QString &file) override;
    void WinampStartPlay() override;
    int WinampIsPlaying() override;
    int WinampGetPosition() override;
    int WinampGetLength() override;
    void WinampPlayButton() override;
    void WinampPauseButton() override;
    void WinampStopButton() override;
    void WinampFadeOutStop() override;
    void WinampVolumeUp() override;
    void WinampVolumeDown() override;
    void WinampLevelUp() override;
    void WinampLevelDown() override;

    // Writes the keys that make the player start without showing its windows
    // and with its equalizer on, into the settings file beside the program
    // ("...winamp.exe" -> "...winamp.ini"). Does nothing for a path that names
    // no existing file, so no stray settings file is made.
    void PrepareWinampIni(const QString &path);

    // The remembered windows; 0 until first found, never reset.
    WindowHandle hWinamp() const { return m_hWinamp; }
    WindowHandle hWinampEQ() const { return m_hWinampEQ; }
    // The settings file prepared by the last start; empty when this link
    // started no player.
    QString WinampIniPath() const { return m_winampIniPath; }

private:
    int sendToMain(unsigned message, quintptr wParam, qintptr lParam);
    void pressButton(quintptr button);
    void pressEqualizerButton(quintptr button);
    bool listed(WindowHandle window) const;

    std::unique_ptr<WindowSystem> m_windows;
    std::vector<WindowHandle> m_windowList;
    WindowHandle m_hWinamp = 0;
    WindowHandle m_hWinampEQ = 0;
    QString m_winampIniPath;
};
