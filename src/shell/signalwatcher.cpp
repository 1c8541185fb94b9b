#include "signalwatcher.h"

#ifdef Q_OS_UNIX
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The pipe of the one watcher; the handler may touch nothing else.
int g_pipe[2] = {-1, -1};

extern "C" void writeSignalNumber(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // A full pipe already holds a wake-up; dropping this one loses nothing.
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

SignalWatcher::SignalWatcher(std::initializer_list<int> watched, QObject *parent)
    : QObject(parent)
{
    if (g_pipe[0] >= 0 || ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalWatcher::readPipe);
    for (const int signalNumber : watched) {
        struct sigaction action = {};
        action.sa_handler = writeSignalNumber;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        struct sigaction previous = {};
        if (::sigaction(signalNumber, &action, &previous) == 0) {
            m_watched.push_back(signalNumber);
            m_previous.push_back(previous.sa_handler);
        }
    }
}

SignalWatcher::~SignalWatcher()
{
    if (!m_notifier)
        return;
    for (size_t i = 0; i < m_watched.size(); ++i) {
        struct sigaction action = {};
        action.sa_handler = m_previous[i];
        sigemptyset(&action.sa_mask);
        ::sigaction(m_watched[i], &action, nullptr);
    }
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void SignalWatcher::readPipe()
{
    unsigned char byte = 0;
    while (::read(g_pipe[0], &byte, 1) == 1)
        emit signalled(byte);
}

#else

SignalWatcher::SignalWatcher(std::initializer_list<int> watched, QObject *parent)
    : QObject(parent)
{
    Q_UNUSED(watched);
}

SignalWatcher::~SignalWatcher() = default;

void SignalWatcher::readPipe()
{}

#endif
