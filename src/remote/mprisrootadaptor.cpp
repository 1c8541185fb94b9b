#include "mprisrootadaptor.h"

#include "mprisstate.h"
#include "remotecontrol.h"

MprisRootAdaptor::MprisRootAdaptor(RemoteControl &control, QObject *parent)
    : QDBusAbstractAdaptor(parent)
    , m_control(control)
{}

QString MprisRootAdaptor::identity() const
{
    return QStringLiteral("VORN");
}

QString MprisRootAdaptor::desktopEntry() const
{
    return QStringLiteral("vorn");
}

QStringList MprisRootAdaptor::supportedUriSchemes() const
{
    return Mpris::supportedUriSchemes();
}

QStringList MprisRootAdaptor::supportedMimeTypes() const
{
    return Mpris::supportedMimeTypes();
}

void MprisRootAdaptor::Raise()
{
    QMetaObject::invokeMethod(
        &m_control, [control = &m_control] { control->raise(); }, Qt::QueuedConnection);
}

void MprisRootAdaptor::Quit()
{
    QMetaObject::invokeMethod(
        &m_control, [control = &m_control] { control->quit(); }, Qt::QueuedConnection);
}
