#include "statuspanels.h"

#include "core/duration.h"
#include "library/songlistmodel.h"

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
        const qint64 seconds = qBound<qint64>(0, ParseDuration(song.field(chLen)), kMaxPlayTime);
        total = qMin(total + seconds, kMaxPlayTime);
    }
    return {QString::number(playListCount) + QLatin1String(" Play Lists"),
            QString::number(songs.rowCount()) + QLatin1String(" Media Files"),
            QLatin1String("Play Time ") + FormatDuration(total)};
}
