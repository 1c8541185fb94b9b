#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QLocalSocket>
#include <QString>

#include <functional>
#include <optional>

// A client of mpv's JSON IPC on one local socket. Requests are lines of
// {"command": [...], "request_id": N}; the reply with the same id is the
// answer, event lines are handed to the event handler, anything else is
// skipped.
//
// No call waits longer than the time it is given. A request that goes
// unanswered drops the connection, so a late answer never meets a later
// request; after such a failure, later requests wait only briefly until the
// player answers again, so a hung player costs one full wait, not one per
// request.
//
// What is read from the peer is bounded: a line longer than kMaxLineBytes is
// no answer of mpv, and the peer that sends it is dropped.
class MpvIpc
{
public:
    enum class Outcome
    {
        Answered, // the player ran the command
        Refused,  // the player answered with an error
        NoAnswer, // no player, connection lost, or no answer in time
    };

    struct Reply
    {
        Outcome outcome = Outcome::NoAnswer;
        QJsonValue data;
        QString error;

        bool answered() const { return outcome == Outcome::Answered; }
    };

    using EventHandler = std::function<void(const QJsonObject &event)>;

    static constexpr int kRequestTimeoutMs = 2000;
    static constexpr int kProbeTimeoutMs = 250;
    static constexpr qsizetype kMaxLineBytes = 1 << 20;
    // What the socket itself may hold before it is read.
    static constexpr qsizetype kReadChunkBytes = 64 * 1024;

    explicit MpvIpc(const QString &socketPath);

    QString socketPath() const { return m_socketPath; }
    // Talks to the player on `socketPath` from now on; drops the connection.
    void setSocketPath(const QString &socketPath);
    void setEventHandler(EventHandler handler);

    // Sends `command` and waits for its reply, connecting first when needed.
    // A connection found dropped before sending is made anew once.
    Reply request(const QJsonArray &command, int timeoutMs = kRequestTimeoutMs);

    // Reads what the player sends for up to `timeoutMs`, handing events on;
    // returns as soon as `done` answers true (checked after each read).
    void waitForEvents(int timeoutMs, const std::function<bool()> &done);

    // Waits until the player closes the connection; true when it did.
    bool waitForDisconnected(int timeoutMs);

    bool isConnected() const;
    void disconnectFromPlayer();

    // The most bytes ever held for a line not yet complete.
    qsizetype peakBufferedBytes() const { return m_peakBuffered; }

private:
    bool ensureConnected();
    void readAvailable();
    void handleLine(const QByteArray &line);

    QString m_socketPath;
    QLocalSocket m_socket;
    QByteArray m_buffer;
    EventHandler m_eventHandler;
    qint64 m_nextRequestId = 1;
    qint64 m_awaitedId = 0;
    std::optional<QJsonObject> m_awaitedReply;
    bool m_unresponsive = false;
    qsizetype m_peakBuffered = 0;
};
