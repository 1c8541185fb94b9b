#include "fakempvlistener.h"

#include <QtGlobal>

#ifdef Q_OS_UNIX

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

struct Client
{
    int fd = -1;
    QByteArray input;
    QByteArray output;
};

} // namespace

FakeMpvListener::FakeMpvListener(const QString &path, Behaviour behaviour, qsizetype floodBytes)
    : m_path(path)
    , m_behaviour(behaviour)
    , m_floodBytes(floodBytes)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (name.size() >= static_cast<qsizetype>(sizeof(address.sun_path)))
        return;
    std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return;
    ::unlink(name.constData());
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0 ||
        ::listen(fd, 16) != 0 || ::pipe2(m_wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        ::close(fd);
        return;
    }
    m_listenFd = fd;
    m_thread = std::thread([this] { run(); });
}

FakeMpvListener::~FakeMpvListener()
{
    if (m_listenFd < 0)
        return;
    m_stop = true;
    [[maybe_unused]] const ssize_t written = ::write(m_wakePipe[1], "x", 1);
    m_thread.join();
    ::close(m_listenFd);
    ::close(m_wakePipe[0]);
    ::close(m_wakePipe[1]);
    ::unlink(QFile::encodeName(m_path).constData());
}

QStringList FakeMpvListener::receivedLines() const
{
    const std::lock_guard lock(m_mutex);
    return m_received;
}

QByteArray FakeMpvListener::answerTo(const QByteArray &line) const
{
    switch (m_behaviour) {
    case Behaviour::Silent:
        return {};
    case Behaviour::Garbage:
        return QByteArrayLiteral("\x01\x02 this is no answer {\"request_id\":\n");
    case Behaviour::Flood: {
        const qint64 id = QJsonDocument::fromJson(line).object().value("request_id").toInteger();
        QByteArray answer(m_floodBytes, 'x');
        answer += QJsonDocument(QJsonObject{{"request_id", id}, {"error", "success"}, {"data", 7}})
                      .toJson(QJsonDocument::Compact);
        return answer + '\n';
    }
    }
    return {};
}

void FakeMpvListener::run()
{
    std::vector<Client> clients;
    while (!m_stop) {
        std::vector<pollfd> fds{{m_wakePipe[0], POLLIN, 0}, {m_listenFd, POLLIN, 0}};
        for (const Client &client : clients) {
            const short events = client.output.isEmpty() ? POLLIN : POLLIN | POLLOUT;
            fds.push_back({client.fd, events, 0});
        }
        if (::poll(fds.data(), fds.size(), 1000) < 0 && errno != EINTR)
            break;
        if (fds[1].revents & POLLIN) {
            const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (fd >= 0)
                clients.push_back({fd, {}, {}});
        }
        for (size_t i = 2; i < fds.size(); ++i) {
            Client &client = clients[i - 2];
            bool closed = (fds[i].revents & (POLLERR | POLLHUP)) != 0;
            if (fds[i].revents & POLLIN) {
                char buffer[4096];
                const ssize_t got = ::read(client.fd, buffer, sizeof(buffer));
                if (got <= 0) {
                    closed = true;
                } else {
                    client.input.append(buffer, got);
                    for (qsizetype end = client.input.indexOf('\n'); end >= 0;
                         end = client.input.indexOf('\n')) {
                        const QByteArray line = client.input.left(end);
                        client.input.remove(0, end + 1);
                        {
                            const std::lock_guard lock(m_mutex);
                            m_received << QString::fromUtf8(line);
                        }
                        client.output += answerTo(line);
                    }
                }
            }
            if (!closed && (fds[i].revents & POLLOUT) && !client.output.isEmpty()) {
                const ssize_t sent =
                    ::send(client.fd, client.output.constData(),
                           static_cast<size_t>(client.output.size()), MSG_NOSIGNAL);
                if (sent > 0)
                    client.output.remove(0, sent);
                else if (errno != EAGAIN && errno != EWOULDBLOCK)
                    closed = true;
            }
            if (closed) {
                ::close(client.fd);
                client.fd = -1;
            }
        }
        std::erase_if(clients, [](const Client &client) { return client.fd < 0; });
    }
    for (const Client &client : clients)
        ::close(client.fd);
}

#endif
