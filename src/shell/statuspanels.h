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

    // What the panels read before the first refresh.
    static StatusPanelTexts initial();
    // Counts the play lists and songs and totals the songs' lengths.
    static StatusPanelTexts compute(int playListCount, const SongListModel &songs);
};
