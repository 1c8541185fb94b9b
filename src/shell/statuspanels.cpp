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
    const qint64 total = songs.totalPlaySeconds();
    return {QString::number(playListCount) + QLatin1String(" Play Lists"),
            QString::number(songs.rowCount()) + QLatin1String(" Media Files"),
            QLatin1String("Play Time ") + FormatDuration(total)};
}
