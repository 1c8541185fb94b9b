#include "mprisservice.h"

#include "mprisnames.h"
#include "mprisplayeradaptor.h"
#include "mprisrootadaptor.h"
#include "mprisstate.h"
#include "remotecontrol.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QTimer>

MprisService::MprisService(RemoteControl &control, QObject *parent)
    : QObject(parent)
    , m_control(control)
    , m_refresh(new QTimer(this))
{
    new MprisRootAdaptor(control, this);
    new MprisPlayerAdaptor(control, this);
    m_refresh->setSingleShot(true);
    m_refresh->setInterval(0);
    connect(m_refresh, &QTimer::timeout, this, &MprisService::refresh);
    connect(&control, &RemoteControl::changed, m_refresh, [this] {
        if (m_bus && !m_refresh->isActive())
            m_refresh->start();
    });
}

MprisService::~MprisService()
{
    if (!m_bus)
        return;
    m_bus->unregisterService(m_serviceName);
    m_bus->unregisterObject(QLatin1String(Mpris::kObjectPath));
}

QString MprisService::publish(const QDBusConnection &bus)
{
    if (m_bus || !bus.isConnected())
        return m_serviceName;
    QDBusConnection connection = bus;
    if (!connection.registerObject(QLatin1String(Mpris::kObjectPath), this,
                                   QDBusConnection::ExportAdaptors))
        return {};
    QString name = QLatin1String(Mpris::kServiceName);
    if (!connection.registerService(name)) {
        name += QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid());
        if (!connection.registerService(name)) {
            connection.unregisterObject(QLatin1String(Mpris::kObjectPath));
            return {};
        }
    }
    m_bus = connection;
    m_serviceName = name;
    m_announced = Mpris::announcedProperties(m_control.state());
    return m_serviceName;
}

void MprisService::refresh()
{
    if (!m_bus)
        return;
    const QVariantMap now = Mpris::announcedProperties(m_control.state());
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (m_announced.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    }
    m_announced = now;
    if (changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(
        QLatin1String(Mpris::kObjectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << QLatin1String(Mpris::kPlayerInterface) << changed << QStringList();
    m_bus->send(signal);
}
