#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QVariantMap>

// A session bus of the test's own: a dbus-daemon started for it and ended
// with it, so that nothing reaches (or comes from) the desktop's bus.
class PrivateBus
{
public:
    // Starts the daemon and waits (at most 10 s) for its address.
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    bool isRunning() const { return !m_address.isEmpty(); }
    // What DBUS_SESSION_BUS_ADDRESS holds for programs on this bus.
    QString address() const { return m_address; }
    // A new connection of this process to the bus.
    QDBusConnection connect(const QString &name);

private:
    QProcess m_daemon;
    QString m_address;
    QStringList m_connections;
};

// Sends `message` and keeps the event loop running until the reply comes, at
// most `timeoutMs`, so that a service of this same process can answer.
QDBusMessage callAndWait(const QDBusConnection &bus, const QDBusMessage &message,
                         int timeoutMs = 5000);
// org.freedesktop.DBus.Properties.Get, unpacked; invalid when it failed.
QVariant busProperty(const QDBusConnection &bus, const QString &service, const QString &interface,
                     const QString &name);
// A nested a{sv} as it comes off the bus, as a map.
QVariantMap asMap(const QVariant &value);
// The D-Bus type signature a property's value travels in ("o", "as", "x").
QString busSignature(const QDBusConnection &bus, const QString &service, const QString &interface,
                     const QString &name);

// Records the PropertiesChanged signals of one object on a bus.
class PropertiesChangedRecorder : public QObject
{
    Q_OBJECT

public:
    PropertiesChangedRecorder(QDBusConnection bus, const QString &service, const QString &path);

    struct Change
    {
        QString interface;
        QVariantMap changed;
    };
    QList<Change> changes;

public slots:
    void record(const QString &interface, const QVariantMap &changed,
                const QStringList &invalidated);
};
