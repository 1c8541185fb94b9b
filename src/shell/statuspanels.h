#pragma once

#include <QString>
#include <QtGlobal>

class SongListModel;

// The texts of the three status bar panels.
struct StatusPanelTexts
{
    QString playLists;  // pPlayLists
    QString mediaFiles; // pMediaFiles
    QString playTime;   // pPlayTime

    // The longest total shown, 99999:59:59; longer totals show as this.
    static constexpr qint64 kMaxPlayTime = 99999LL * 3600 + 59 * 60 + 59;

    // What the panels read before the first refresh.
    static StatusPanelTexts initial();
    // Counts the play lists and songs and totals the songs' lengths.
    static StatusPanelTexts compute(int playListCount, const SongListModel &songs);
};
