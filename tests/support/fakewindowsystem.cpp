#include "fakewindowsystem.h"

#include <algorithm>

namespace {

// The player's messages, written out here on their own so that the link's
// numbers are checked against an independent statement of the protocol.
constexpr unsigned kClose = 16;
constexpr unsigned kCommand = 273;
constexpr unsigned kUser = 1024;

} // namespace

WindowHandle FakeWindowSystem::addWindow(const QString &title, WindowHandle owner)
{
    const WindowHandle handle = m_nextHandle++;
    m_windows.push_back({handle, title, owner});
    return handle;
}

void FakeWindowSystem::removeWindow(WindowHandle window)
{
    std::erase_if(m_windows, [window](const Window &w) { return w.handle == window; });
}

void FakeWindowSystem::setTitle(WindowHandle window, const QString &title)
{
    for (Window &w : m_windows) {
        if (w.handle == window)
            w.title = title;
    }
}

void FakeWindowSystem::runWinamp(const QString &mainTitle, bool equalizerFirst)
{
    m_player = Player();
    if (equalizerFirst) {
        m_player.equalizer = addWindow(QStringLiteral("Winamp Equalizer"));
        m_player.main = addWindow(mainTitle);
    } else {
        m_player.main = addWindow(mainTitle);
        m_player.equalizer = addWindow(QStringLiteral("Winamp Equalizer"));
    }
}

void FakeWindowSystem::exitWinamp()
{
    removeWindow(m_player.main);
    removeWindow(m_player.equalizer);
    m_player.main = 0;
    m_player.equalizer = 0;
    m_player.state = 0;
}

const FakeWindowSystem::Window *FakeWindowSystem::find(WindowHandle window) const
{
    const auto it = std::find_if(m_windows.begin(), m_windows.end(),
                                 [window](const Window &w) { return w.handle == window; });
    return it == m_windows.end() ? nullptr : &*it;
}

std::vector<WindowHandle> FakeWindowSystem::topLevelWindows()
{
    std::vector<WindowHandle> handles;
    for (const Window &w : m_windows)
        handles.push_back(w.handle);
    return handles;
}

WindowHandle FakeWindowSystem::owner(WindowHandle window)
{
    const Window *w = find(window);
    return w ? w->owner : 0;
}

QString FakeWindowSystem::title(WindowHandle window)
{
    const Window *w = find(window);
    return w ? w->title : QString();
}

qintptr FakeWindowSystem::send(WindowHandle window, unsigned message, quintptr wParam,
                               qintptr lParam)
{
    messages.push_back({false, window, message, wParam, lParam});
    if (!find(window))
        return 0;
    if (window == m_player.main)
        return answerMain(message, wParam, lParam);
    if (window == m_player.equalizer)
        return answerEqualizer(message, wParam);
    return 0;
}

bool FakeWindowSystem::post(WindowHandle window, unsigned message, quintptr wParam, qintptr lParam)
{
    const Message posted{true, window, message, wParam, lParam};
    messages.push_back(posted);
    timeline += QLatin1Char('p');
    if (!find(window))
        return false;
    m_queue.push_back(posted);
    return true;
}

void FakeWindowSystem::processEvents()
{
    timeline += QLatin1Char('y');
    while (!m_queue.empty()) {
        const Message message = m_queue.front();
        m_queue.pop_front();
        deliver(message);
    }
}

bool FakeWindowSystem::startHidden(const QString &program)
{
    launched << program;
    if (onLaunch)
        onLaunch(program);
    if (!launchSucceeds)
        return false;
    if (launchRunsWinamp)
        runWinamp();
    return true;
}

QByteArray FakeWindowSystem::ansiCodes(const QString &text) const
{
    return text.toLatin1();
}

void FakeWindowSystem::deliver(const Message &message)
{
    if (message.window != m_player.main || !find(message.window))
        return;
    if (message.message == kClose) {
        exitWinamp();
        return;
    }
    if (message.message == kUser && message.lParam == 100) {
        if (message.wParam == 0) {
            if (!m_collected.isEmpty())
                m_player.playList << QString::fromLatin1(m_collected);
            m_collected.clear();
        } else {
            m_collected += static_cast<char>(message.wParam);
        }
    }
}

qintptr FakeWindowSystem::answerMain(unsigned message, quintptr wParam, qintptr lParam)
{
    Player &p = m_player;
    if (message == kUser) {
        switch (lParam) {
        case 101:
            p.playList.clear();
            return 0;
        case 102:
            if (!p.playList.isEmpty()) {
                p.current = p.playList.first();
                p.state = 1;
                p.positionMs = 0;
            }
            return 0;
        case 104:
            return p.state;
        case 105:
            if (p.state == 0)
                return 0;
            return wParam == 1 ? p.lengthSeconds : p.positionMs;
        default:
            return 0;
        }
    }
    if (message != kCommand)
        return 0;
    switch (wParam) {
    case 40045: // play
        if (p.state == 3)
            p.state = 1;
        else if (p.state == 0 && !p.playList.isEmpty()) {
            p.current = p.playList.first();
            p.state = 1;
            p.positionMs = 0;
        }
        break;
    case 40046: // pause toggle
        if (p.state == 1)
            p.state = 3;
        else if (p.state == 3)
            p.state = 1;
        break;
    case 40047: // stop
        p.state = 0;
        break;
    case 40147: // fade out and stop
        ++p.fadeOuts;
        p.state = 0;
        break;
    case 40058:
        ++p.volumeSteps;
        break;
    case 40059:
        --p.volumeSteps;
        break;
    default:
        break;
    }
    return 0;
}

qintptr FakeWindowSystem::answerEqualizer(unsigned message, quintptr wParam)
{
    if (message != kCommand)
        return 0;
    if (wParam == 40277)
        ++m_player.levelSteps;
    else if (wParam == 40278)
        --m_player.levelSteps;
    return 0;
}
