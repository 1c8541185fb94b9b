#include "mprisstate.h"

#include "library/mediatypes.h"
#include "mprisnames.h"

#include <QDBusObjectPath>
#include <QMimeDatabase>
#include <QUrl>

namespace Mpris {

QString playbackStatus(RemoteControl::Status status)
{
    switch (status) {
    case RemoteControl::Status::Playing:
        return QStringLiteral("Playing");
    case RemoteControl::Status::Paused:
        return QStringLiteral("Paused");
    case RemoteControl::Status::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

QString loopStatus(bool repeat)
{
    return repeat ? QStringLiteral("Playlist") : QStringLiteral("None");
}

std::optional<bool> repeatOf(const QString &loopStatus)
{
    if (loopStatus == QLatin1String("Playlist"))
        return true;
    if (loopStatus == QLatin1String("None"))
        return false;
    return std::nullopt;
}

QVariantMap metadata(const RemoteControl::Track &track)
{
    QVariantMap map;
    if (track.number <= 0) {
        map.insert(QStringLiteral("mpris:trackid"),
                   QVariant::fromValue(QDBusObjectPath(QLatin1String(kNoTrack))));
        return map;
    }
    map.insert(
        QStringLiteral("mpris:trackid"),
        QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/vorn/Row/%1").arg(track.number))));
    if (!track.title.isEmpty())
        map.insert(QStringLiteral("xesam:title"), track.title);
    if (!track.artist.isEmpty())
        map.insert(QStringLiteral("xesam:artist"), QStringList{track.artist});
    if (!track.album.isEmpty())
        map.insert(QStringLiteral("xesam:album"), track.album);
    if (track.lengthSeconds > 0)
        map.insert(QStringLiteral("mpris:length"), qlonglong(track.lengthSeconds) * 1'000'000);
    if (!track.file.isEmpty())
        map.insert(QStringLiteral("xesam:url"),
                   QUrl::fromLocalFile(track.file).toString(QUrl::FullyEncoded));
    return map;
}

QVariantMap announcedProperties(const RemoteControl::State &state)
{
    return {
        {QStringLiteral("PlaybackStatus"), playbackStatus(state.status)},
        {QStringLiteral("LoopStatus"), loopStatus(state.repeat)},
        {QStringLiteral("Shuffle"), state.random},
        {QStringLiteral("Metadata"), metadata(state.track)},
        {QStringLiteral("Volume"), state.volume},
        {QStringLiteral("CanPlay"), state.canPlay},
        {QStringLiteral("CanPause"), state.canPause},
        {QStringLiteral("CanGoNext"), state.canGoNext},
        {QStringLiteral("CanGoPrevious"), state.canGoPrevious},
    };
}

QStringList supportedUriSchemes()
{
    return {QStringLiteral("file")};
}

QStringList supportedMimeTypes()
{
    QMimeDatabase mimes;
    QStringList types;
    for (const QString &extension : supportedMediaTypes()) {
        const QMimeType type =
            mimes.mimeTypeForFile(QStringLiteral("x.") + extension, QMimeDatabase::MatchExtension);
        if (type.isValid() && !type.isDefault() && !types.contains(type.name()))
            types << type.name();
    }
    return types;
}

} // namespace Mpris
