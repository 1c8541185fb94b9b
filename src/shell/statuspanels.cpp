#include "statuspanels.h"

#include "core/duration.h"
#include "library/songlistmodel.h"

#include <array>

StatusPanelTexts StatusPanelTexts::initial()
{
    return {QStringLiteral("0 Play Lists"), QStringLiteral("0 Media files"),
            QStringLiteral("Play Time 00:00")};
}

StatusPanelTexts StatusPanelTexts::compute(int playListCount, const SongListModel &songs)
{
    // Length texts come from files anyone can edit: the total stops at the
    // longest play time the panel shows instead of running over.
    qint64 total = 0;
    for (const SongRow &song : songs.rows()) {
        // Length texts are short and plain: read in place, without a string each.
        const QByteArrayView len = song.fieldUtf8(chLen);
        std::array<char16_t, 16> units;
        bool ascii = len.size() <= qsizetype(units.size());
        for (qsizetype i = 0; ascii && i < len.size(); ++i) {
            ascii = static_cast<unsigned char>(len[i]) < 0x80;
            units[static_cast<size_t>(i)] = static_cast<char16_t>(len[i]);
        }
        const qint64 parsed = ascii ? ParseDuration(QStringView(units.data(), len.size()))
                                    : ParseDuration(song.field(chLen));
        const qint64 seconds = qBound<qint64>(0, parsed, kMaxPlayTime);
        total = qMin(total + seconds, kMaxPlayTime);
    }
    return {QString::number(playListCount) + QLatin1String(" Play Lists"),
            QString::number(songs.rowCount()) + QLatin1String(" Media Files"),
            QLatin1String("Play Time ") + FormatDuration(total)};
}
