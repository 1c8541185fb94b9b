#include "mpvipc.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonParseError>

#include <algorithm>
#include <utility>

namespace {

int remainingMs(const QDeadlineTimer &deadline)
{
    return static_cast<int>(std::max<qint64>(0, deadline.remainingTime()));
}

} // namespace

MpvIpc::MpvIpc(const QString &socketPath)
    : m_socketPath(socketPath)
{
    m_socket.setReadBufferSize(kReadChunkBytes);
}

void MpvIpc::setSocketPath(const QString &socketPath)
{
    disconnectFromPlayer();
    m_socketPath = socketPath;
}

void MpvIpc::setEventHandler(EventHandler handler)
{
    m_eventHandler = std::move(handler);
}

bool MpvIpc::isConnected() const
{
    return m_socket.state() == QLocalSocket::ConnectedState;
}

void MpvIpc::disconnectFromPlayer()
{
    m_socket.abort();
    m_buffer.clear();
}

bool MpvIpc::ensureConnected()
{
    if (isConnected())
        return true;
    disconnectFromPlayer();
    m_socket.connectToServer(m_socketPath);
    if (isConnected())
        return true;
    // A local connection is made or refused at once; only a listener that
    // does not accept makes this wait.
    return m_socket.waitForConnected(kProbeTimeoutMs);
}

void MpvIpc::readAvailable()
{
    // A zero wait reads what has arrived and notices a connection that the
    // player closed.
    if (m_socket.bytesAvailable() == 0 && isConnected())
        m_socket.waitForReadyRead(0);
    // The socket holds at most kReadChunkBytes, so the buffer never grows by
    // more than that past the line cap before the cap is checked.
    m_buffer += m_socket.readAll();
    // Lines after an awaited reply stay buffered: the caller acts on the
    // reply before the events that followed it are handed on.
    qsizetype newline = m_buffer.indexOf('\n');
    while (newline >= 0 && !m_awaitedReply) {
        const QByteArray line = m_buffer.left(newline);
        m_buffer.remove(0, newline + 1);
        handleLine(line);
        newline = m_buffer.indexOf('\n');
    }
    m_peakBuffered = std::max(m_peakBuffered, m_buffer.size());
    if (newline < 0 && m_buffer.size() > kMaxLineBytes) {
        // No player sends such a line: whatever sends it is dropped.
        disconnectFromPlayer();
    }
}

void MpvIpc::handleLine(const QByteArray &line)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return;
    const QJsonObject object = document.object();
    if (object.contains(QLatin1String("event"))) {
        if (m_eventHandler)
            m_eventHandler(object);
        return;
    }
    if (m_awaitedId != 0 && object.value(QLatin1String("request_id")).toInteger(-1) == m_awaitedId)
        m_awaitedReply = object;
}

MpvIpc::Reply MpvIpc::request(const QJsonArray &command, int timeoutMs)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!ensureConnected())
            return {};
        readAvailable();
        if (!isConnected())
            continue; // the player closed this connection; a new one may reach it

        const qint64 id = m_nextRequestId++;
        const QJsonObject message{{QStringLiteral("command"), command},
                                  {QStringLiteral("request_id"), id}};
        m_socket.write(QJsonDocument(message).toJson(QJsonDocument::Compact) + '\n');
        m_socket.flush();

        m_awaitedId = id;
        m_awaitedReply.reset();
        const QDeadlineTimer deadline(m_unresponsive ? std::min(timeoutMs, kProbeTimeoutMs)
                                                     : timeoutMs);
        readAvailable();
        while (!m_awaitedReply && isConnected() && !deadline.hasExpired()) {
            m_socket.waitForReadyRead(remainingMs(deadline));
            readAvailable();
        }
        m_awaitedId = 0;

        if (!m_awaitedReply) {
            if (isConnected()) {
                // A late answer must not be taken for the answer to a later
                // request, and a listener that never answers is not kept.
                m_unresponsive = true;
                disconnectFromPlayer();
            }
            return {};
        }
        m_unresponsive = false;
        const QJsonObject answer = *std::exchange(m_awaitedReply, std::nullopt);
        Reply reply;
        reply.error = answer.value(QLatin1String("error")).toString();
        reply.data = answer.value(QLatin1String("data"));
        reply.outcome =
            reply.error == QLatin1String("success") ? Outcome::Answered : Outcome::Refused;
        return reply;
    }
    return {};
}

void MpvIpc::waitForEvents(int timeoutMs, const std::function<bool()> &done)
{
    const QDeadlineTimer deadline(timeoutMs);
    readAvailable();
    while (!done() && isConnected() && !deadline.hasExpired()) {
        m_socket.waitForReadyRead(remainingMs(deadline));
        readAvailable();
    }
}

bool MpvIpc::waitForDisconnected(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (isConnected() && !deadline.hasExpired()) {
        m_socket.waitForReadyRead(remainingMs(deadline));
        readAvailable();
    }
    return !isConnected();
}
