#include "songrow.h"

namespace {

constexpr std::array<const char *, kSongColumnCount> kKeys{"chTitle", "chArtist", "chAlbum",
                                                           "chGenre", "chLen",    "chFile"};
constexpr std::array<const char *, kSongColumnCount> kCaptions{"Title", "Artist", "Album",
                                                               "Genre", "Len",    "File"};

} // namespace

QString songColumnKey(SongColumn column)
{
    return QString::fromLatin1(kKeys[column]);
}

std::optional<SongColumn> songColumnFromKey(QStringView key)
{
    for (int i = 0; i < kSongColumnCount; ++i) {
        if (key == QLatin1String(kKeys[i]))
            return static_cast<SongColumn>(i);
    }
    return std::nullopt;
}

QString songColumnCaption(SongColumn column)
{
    return QString::fromLatin1(kCaptions[column]);
}
