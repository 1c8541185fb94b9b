#pragma once

#include "remotecontrol.h"

#include <QStringList>
#include <QVariantMap>

#include <optional>

// How VORN's remote state reads in the terms of the MPRIS player interface.
namespace Mpris {

// "Playing", "Paused" or "Stopped".
QString playbackStatus(RemoteControl::Status status);
// Repeat on is "Playlist", off is "None".
QString loopStatus(bool repeat);
// The Repeat a loop status asks for; none for "Track" (VORN repeats no single
// song) and for any unknown text.
std::optional<bool> repeatOf(const QString &loopStatus);
// mpris:trackid (an object path naming the row), xesam:title, xesam:artist
// (a list), xesam:album, mpris:length (microseconds) and xesam:url. Empty
// fields are left out; without a song only the "no track" id remains.
QVariantMap metadata(const RemoteControl::Track &track);
// The player properties that are announced when they change, by name.
QVariantMap announcedProperties(const RemoteControl::State &state);
// The URI schemes and MIME types of the media files VORN plays.
QStringList supportedUriSchemes();
QStringList supportedMimeTypes();

} // namespace Mpris
