#include "privatebus.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QThread>

PrivateBus::PrivateBus()
{
    m_daemon.setProgram(QStringLiteral("dbus-daemon"));
    m_daemon.setArguments({QStringLiteral("--session"), QStringLiteral("--nofork"),
                           QStringLiteral("--print-address=1")});
    m_daemon.start();
    if (!m_daemon.waitForStarted(5000))
        return;
    QDeadlineTimer deadline(10000);
    QByteArray output;
    while (!deadline.hasExpired() && !output.contains('\n')) {
        m_daemon.waitForReadyRead(100);
        output += m_daemon.readAllStandardOutput();
    }
    if (output.contains('\n'))
        m_address = QString::fromUtf8(output.left(output.indexOf('\n')).trimmed());
}

PrivateBus::~PrivateBus()
{
    for (const QString &name : std::as_const(m_connections))
        QDBusConnection::disconnectFromBus(name);
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(3000)) {
            m_daemon.kill();
            m_daemon.waitForFinished(3000);
        }
    }
}

QDBusConnection PrivateBus::connect(const QString &name)
{
    m_connections << name;
    return QDBusConnection::connectToBus(m_address, name);
}

QDBusMessage callAndWait(const QDBusConnection &bus, const QDBusMessage &message, int timeoutMs)
{
    QDBusPendingCall call = bus.asyncCall(message, timeoutMs);
    QDeadlineTimer deadline(timeoutMs + 1000);
    while (!call.isFinished() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    return call.isFinished() ? call.reply() : QDBusMessage();
}

QVariant busProperty(const QDBusConnection &bus, const QString &service, const QString &interface,
                     const QString &name)
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        service, QStringLiteral("/org/mpris/MediaPlayer2"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << interface << name;
    const QDBusMessage reply = callAndWait(bus, get);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().constFirst().value<QDBusVariant>().variant();
}

QVariantMap asMap(const QVariant &value)
{
    if (value.canConvert<QDBusArgument>())
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value.toMap();
}

QString busSignature(const QDBusConnection &bus, const QString &service, const QString &interface,
                     const QString &name)
{
    const QVariant value = busProperty(bus, service, interface, name);
    if (value.canConvert<QDBusArgument>())
        return value.value<QDBusArgument>().currentSignature();
    return QString::fromLatin1(QDBusMetaType::typeToSignature(value.metaType()));
}

PropertiesChangedRecorder::PropertiesChangedRecorder(QDBusConnection bus, const QString &service,
                                                     const QString &path)
{
    bus.connect(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                QStringLiteral("PropertiesChanged"), this,
                SLOT(record(QString, QVariantMap, QStringList)));
}

void PropertiesChangedRecorder::record(const QString &interface, const QVariantMap &changed,
                                       const QStringList &)
{
    changes.append({interface, changed});
}
