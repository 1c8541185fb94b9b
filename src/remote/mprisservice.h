#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <optional>

class QTimer;
class RemoteControl;

// Offers a RemoteControl on a bus under the MPRIS names, so that desktop
// media keys, playerctl and phone remotes reach VORN, and announces every
// change of its state with org.freedesktop.DBus.Properties.PropertiesChanged.
// Changes told in one go (one command moves several buttons) are announced
// once, from the event loop.
class MprisService : public QObject
{
    Q_OBJECT

public:
    explicit MprisService(RemoteControl &control, QObject *parent = nullptr);
    ~MprisService() override;

    // Registers the object and a name on `bus`: the well-known name, or that
    // name with ".instance<pid>" when another program holds it. Returns the
    // name taken; empty (and nothing registered) when the bus cannot be used,
    // which is no error: VORN runs on without remote control.
    QString publish(const QDBusConnection &bus);
    QString serviceName() const { return m_serviceName; }

    // Compares the state with what was last announced and announces what
    // changed. Runs by itself shortly after the control says it changed.
    void refresh();

private:
    RemoteControl &m_control;
    QTimer *m_refresh;
    std::optional<QDBusConnection> m_bus;
    QString m_serviceName;
    QVariantMap m_announced;
};
