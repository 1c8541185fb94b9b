#include "winamplink.h"

#include "core/numeric.h"
#include "iniwriter.h"

#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace {

constexpr unsigned kWmClose = 16;
constexpr unsigned kWmCommand = 273;
constexpr unsigned kWmUser = 1024;

// lParam of the WM_USER commands.
constexpr qintptr kAddCharacter = 100;
constexpr qintptr kClearList = 101;
constexpr qintptr kStartPlay = 102;
constexpr qintptr kIsPlaying = 104;
constexpr qintptr kPositionOrLength = 105;

// wParam of the WM_COMMAND buttons.
constexpr quintptr kPlayButton = 40045;
constexpr quintptr kPauseButton = 40046;
constexpr quintptr kStopButton = 40047;
constexpr quintptr kFadeOutStopButton = 40147;
constexpr quintptr kVolumeUpButton = 40058;
constexpr quintptr kVolumeDownButton = 40059;
constexpr quintptr kLevelUpButton = 40277;
constexpr quintptr kLevelDownButton = 40278;

// Message-loop yields before and after each posted character of a file name.
constexpr int kYieldsBeforeCharacter = 6;
constexpr int kYieldsAfterCharacter = 12;

const QString kEqualizerTitle = QStringLiteral("Winamp Equalizer");
const QString kIniSection = QStringLiteral("Winamp");

bool isMainWindowTitle(const QString &title)
{
    if (title.startsWith(QLatin1String("Winamp")))
        return leadingNumber(QStringView(title).mid(7)) > 0;
    return title.contains(QLatin1String("- Winamp"));
}

} // namespace

WinampLink::WinampLink(std::unique_ptr<WindowSystem> windows)
    : m_windows(std::move(windows))
{}

QString WinampLink::playerName() const
{
    return QStringLiteral("Winamp");
}

bool WinampLink::listed(WindowHandle window) const
{
    return window != 0 &&
           std::find(m_windowList.begin(), m_windowList.end(), window) != m_windowList.end();
}

bool WinampLink::FindWinamp()
{
    m_windowList = m_windows->topLevelWindows();
    for (const WindowHandle window : m_windowList) {
        if (m_windows->owner(window) != 0)
            continue;
        const QString title = m_windows->title(window);
        // A remembered handle counts only while it is still a window of this
        // desktop: after the player was restarted, commands must not go to
        // the windows of the one that is gone.
        if (title == kEqualizerTitle) {
            const bool mainKnown = listed(m_hWinamp);
            m_hWinampEQ = window;
            if (mainKnown)
                return true;
        } else if (isMainWindowTitle(title)) {
            m_hWinamp = window;
            if (listed(m_hWinampEQ))
                return true;
        }
    }
    return false;
}

bool WinampLink::StartWinamp(const QString &path)
{
    if (FindWinamp())
        return true;
    PrepareWinampIni(path);
    return m_windows->startHidden(path);
}

void WinampLink::PrepareWinampIni(const QString &path)
{
    if (path.size() < 3 || !QFileInfo(path).isFile())
        return;
    const QString iniPath = path.left(path.size() - 3) + QLatin1String("ini");
    IniWriter writer(iniPath);
    static const std::pair<const char *, const char *> kKeys[] = {
        {"eq_open", "0"}, {"mw_open", "0"},     {"pe_open", "0"},
        {"ss_open", "0"}, {"autoload_eq", "1"}, {"use_eq", "1"},
    };
    for (const auto &[key, value] : kKeys)
        writer.writeValue(kIniSection, QLatin1String(key), QLatin1String(value));
    m_winampIniPath = iniPath;
}

void WinampLink::CloseWinamp()
{
    if (!FindWinamp())
        return;
    m_windows->post(m_hWinamp, kWmClose, 0, 0);
    if (!m_winampIniPath.isEmpty())
        IniWriter(m_winampIniPath)
            .writeValue(kIniSection, QStringLiteral("mw_open"), QStringLiteral("1"));
}

int WinampLink::sendToMain(unsigned message, quintptr wParam, qintptr lParam)
{
    if (!FindWinamp())
        return 0;
    return static_cast<int>(m_windows->send(m_hWinamp, message, wParam, lParam));
}

void WinampLink::pressButton(quintptr button)
{
    sendToMain(kWmCommand, button, 0);
}

void WinampLink::pressEqualizerButton(quintptr button)
{
    if (FindWinamp())
        m_windows->send(m_hWinampEQ, kWmCommand, button, 0);
}

void WinampLink::WinampClearList()
{
    sendToMain(kWmUser, 0, kClearList);
}

void WinampLink::WinampAddFile(const QString &file)
{
    const QByteArray codes = m_windows->ansiCodes(file) + '\0';
    if (!FindWinamp())
        return;
    for (const char code : codes) {
        for (int i = 0; i < kYieldsBeforeCharacter; ++i)
            m_windows->processEvents();
        m_windows->post(m_hWinamp, kWmUser, static_cast<unsigned char>(code), kAddCharacter);
        for (int i = 0; i < kYieldsAfterCharacter; ++i)
            m_windows->processEvents();
    }
}

void WinampLink::WinampStartPlay()
{
    sendToMain(kWmUser, 0, kStartPlay);
}

int WinampLink::WinampIsPlaying()
{
    return sendToMain(kWmUser, 0, kIsPlaying);
}

int WinampLink::WinampGetPosition()
{
    return sendToMain(kWmUser, 0, kPositionOrLength);
}

int WinampLink::WinampGetLength()
{
    return sendToMain(kWmUser, 1, kPositionOrLength);
}

void WinampLink::WinampPlayButton()
{
    pressButton(kPlayButton);
}

void WinampLink::WinampPauseButton()
{
    pressButton(kPauseButton);
}

void WinampLink::WinampStopButton()
{
    pressButton(kStopButton);
}

void WinampLink::WinampFadeOutStop()
{
    pressButton(kFadeOutStopButton);
}

void WinampLink::WinampVolumeUp()
{
    pressButton(kVolumeUpButton);
}

void WinampLink::WinampVolumeDown()
{
    pressButton(kVolumeDownButton);
}

void WinampLink::WinampLevelUp()
{
    pressEqualizerButton(kLevelUpButton);
}

void WinampLink::WinampLevelDown()
{
    pressEqualizerButton(kLevelDownButton);
}
