#pragma once

#include <QObject>

#include <initializer_list>
#include <vector>

class QSocketNotifier;

// Turns process signals (SIGTERM, SIGINT, SIGHUP, ...) into a Qt signal that
// is emitted from the event loop, where the program may do anything; the
// signal handler itself only writes the signal's number into a pipe. One
// watcher at a time; the handlers that were there before come back when it is
// destroyed. On platforms without such signals it never emits.
class SignalWatcher : public QObject
{
    Q_OBJECT

public:
    explicit SignalWatcher(std::initializer_list<int> watched, QObject *parent = nullptr);
    ~SignalWatcher() override;
    SignalWatcher(const SignalWatcher &) = delete;
    SignalWatcher &operator=(const SignalWatcher &) = delete;

signals:
    void signalled(int signalNumber);

private:
    void readPipe();

    QSocketNotifier *m_notifier = nullptr;
    std::vector<int> m_watched;
    std::vector<void (*)(int)> m_previous;
};
