#include "pulseserver.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {

constexpr char kNowhere[] = "unix:/nonexistent/vorn-tests/pulse/native";

} // namespace

PulseServer::PulseServer()
{
    // Set once, before any client thread runs: the environment is not safe
    // to change while the clients' threads read it.
    qputenv("PULSE_SERVER", ("unix:" + socketPath()).toUtf8());
    QDir(m_dir.path()).mkpath(QStringLiteral("run/pulse"));
    QFile::setPermissions(m_dir.filePath(QStringLiteral("run")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(m_dir.filePath(QStringLiteral("run/pulse")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

PulseServer::~PulseServer()
{
    stop();
    qputenv("PULSE_SERVER", kNowhere);
}

bool PulseServer::installed()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty();
}

QString PulseServer::socketPath() const
{
    return m_dir.filePath(QStringLiteral("run/pulse/native"));
}

bool PulseServer::start()
{
    const QString config = m_dir.filePath(QStringLiteral("server.pa"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write("load-module module-null-sink sink_name=vorn_test\n");
    file.write(
        QStringLiteral("load-module module-native-protocol-unix auth-anonymous=1 socket=%1\n")
            .arg(socketPath())
            .toUtf8());
    file.write("set-default-sink vorn_test\n");
    file.close();
    QFile::remove(socketPath());

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), m_dir.path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.filePath(QStringLiteral("run")));
    env.insert(QStringLiteral("PULSE_RUNTIME_PATH"), m_dir.filePath(QStringLiteral("run/pulse")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("PULSE_STATE_PATH"), m_dir.filePath(QStringLiteral("state")));
    env.remove(QStringLiteral("PULSE_SERVER"));
    env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.start(QStringLiteral("pulseaudio"),
                    {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                     QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--use-pid-file=no"),
                     QStringLiteral("--disable-shm=yes"), QStringLiteral("--log-level=error"),
                     QStringLiteral("-F"), config});
    if (!m_process.waitForStarted(5000))
        return false;

    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        QLocalSocket probe;
        probe.connectToServer(socketPath());
        if (probe.waitForConnected(100)) {
            probe.disconnectFromServer();
            return true;
        }
        if (m_process.state() == QProcess::NotRunning)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return false;
}

void PulseServer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}
