#include "mprisplayeradaptor.h"

#include "mprisstate.h"
#include "remotecontrol.h"

#include <cmath>

MprisPlayerAdaptor::MprisPlayerAdaptor(RemoteControl &control, QObject *parent)
    : QDBusAbstractAdaptor(parent)
    , m_control(control)
{}

QString MprisPlayerAdaptor::playbackStatus() const
{
    return Mpris::playbackStatus(m_control.state().status);
}

QString MprisPlayerAdaptor::loopStatus() const
{
    return Mpris::loopStatus(m_control.state().repeat);
}

void MprisPlayerAdaptor::setLoopStatus(const QString &status)
{
    const std::optional<bool> repeat = Mpris::repeatOf(status);
    if (!repeat)
        return;
    later([on = *repeat](RemoteControl &control) {
        if (control.state().repeat != on)
            control.setRepeat(on);
    });
}

bool MprisPlayerAdaptor::shuffle() const
{
    return m_control.state().random;
}

void MprisPlayerAdaptor::setShuffle(bool on)
{
    later([on](RemoteControl &control) {
        if (control.state().random != on)
            control.setRandom(on);
    });
}

QVariantMap MprisPlayerAdaptor::metadata() const
{
    return Mpris::metadata(m_control.state().track);
}

double MprisPlayerAdaptor::volume() const
{
    return m_control.state().volume;
}

void MprisPlayerAdaptor::setVolume(double volume)
{
    // NaN means no volume at all; the bounds below would pass it on.
    if (std::isnan(volume))
        return;
    later([volume](RemoteControl &control) { control.setVolume(qBound(0.0, volume, 1.0)); });
}

qlonglong MprisPlayerAdaptor::position() const
{
    return m_control.positionMs() * 1000;
}

bool MprisPlayerAdaptor::canGoNext() const
{
    return m_control.state().canGoNext;
}

bool MprisPlayerAdaptor::canGoPrevious() const
{
    return m_control.state().canGoPrevious;
}

bool MprisPlayerAdaptor::canPlay() const
{
    return m_control.state().canPlay;
}

bool MprisPlayerAdaptor::canPause() const
{
    return m_control.state().canPause;
}

void MprisPlayerAdaptor::Play()
{
    later([](RemoteControl &control) {
        if (control.state().status != RemoteControl::Status::Playing)
            control.play();
    });
}

void MprisPlayerAdaptor::Pause()
{
    later([](RemoteControl &control) {
        if (control.state().status == RemoteControl::Status::Playing)
            control.pause();
    });
}

void MprisPlayerAdaptor::PlayPause()
{
    later([](RemoteControl &control) {
        if (control.state().status == RemoteControl::Status::Playing)
            control.pause();
        else
            control.play();
    });
}

void MprisPlayerAdaptor::Stop()
{
    later([](RemoteControl &control) { control.stop(); });
}

void MprisPlayerAdaptor::Next()
{
    later([](RemoteControl &control) { control.next(); });
}

void MprisPlayerAdaptor::Previous()
{
    later([](RemoteControl &control) { control.previous(); });
}

void MprisPlayerAdaptor::Seek(qlonglong)
{
    // CanSeek is false: nothing to do.
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath &, qlonglong)
{
    // CanSeek is false: nothing to do.
}

void MprisPlayerAdaptor::OpenUri(const QString &)
{
    // Songs come from play lists only; a remote cannot add one.
}

void MprisPlayerAdaptor::later(std::function<void(RemoteControl &)> command)
{
    QMetaObject::invokeMethod(
        &m_control, [control = &m_control, command = std::move(command)] { command(*control); },
        Qt::QueuedConnection);
}
