#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>
#include <mutex>
#include <thread>

// A process-local stand-in for whatever may listen on mpv's socket path: it
// accepts connections on its own thread and treats each request line as its
// behaviour says. It never runs the caller's event loop, so the code under
// test may block on its socket.
class FakeMpvListener
{
public:
    enum class Behaviour
    {
        Silent,  // reads requests, never answers
        Garbage, // answers every request with a line that is not JSON
        Flood,   // sends floodBytes without a line end, then the proper answer
    };

    FakeMpvListener(const QString &path, Behaviour behaviour, qsizetype floodBytes = 0);
    ~FakeMpvListener();
    FakeMpvListener(const FakeMpvListener &) = delete;
    FakeMpvListener &operator=(const FakeMpvListener &) = delete;

    bool isListening() const { return m_listenFd >= 0; }
    // Every request line received so far, on any connection.
    QStringList receivedLines() const;

private:
    void run();
    QByteArray answerTo(const QByteArray &line) const;

    QString m_path;
    Behaviour m_behaviour;
    qsizetype m_floodBytes;
    int m_listenFd = -1;
    int m_wakePipe[2] = {-1, -1};
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    QStringList m_received;
    std::thread m_thread;
};
