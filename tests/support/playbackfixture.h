#pragma once

#include "library/playlistlibrarymodel.h"
#include "library/songlistmodel.h"
#include "playback/playbacksequencer.h"
#include "playback/playeractions.h"
#include "support/fakeplayerlink.h"
#include "support/playlistfiles.h"
#include "support/recordingdisplay.h"
#include "support/scripteddialogs.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>

// A sequencer over a song list of numbered rows (files /m/1.mp3 ...), a
// recording fake player and scripted random draws.
class PlaybackFixture : public ::testing::Test
{
protected:
    PlaybackFixture()
        : actions(PlayerActions::create(&owner))
        , selection(&songs)
        , sequencer(link, songs, selection, library, actions, display, dialogs)
    {
        library.addEntry({QStringLiteral("Numbers"), QString(), QString()});
        PlaybackSequencer::Hooks hooks;
        hooks.enablePlayListControls = [this](bool enabled) { controlsEnabled = enabled; };
        hooks.showPreferences = [this] { ++preferencesShown; };
        hooks.playerPath = [] { return QStringLiteral("/usr/bin/mpv"); };
        hooks.random = [this] {
            if (draws.empty())
                return 0.0;
            const double r = draws.front();
            draws.pop_front();
            return r;
        };
        sequencer.setHooks(hooks);
        sequencer.setPlayerLinked(true);
        link.lengthSeconds = 185;
    }

    void rows(int count)
    {
        for (int i = 1; i <= count; ++i) {
            SongRow row = songRow(QStringLiteral("Song %1").arg(i), QString(), {},
                                  QStringLiteral("/m/%1.mp3").arg(i));
            row.icon = row.smallIcon = 5;
            songs.appendRow(row);
        }
    }

    void click(QAction *button) { sequencer.tbPlayer_ButtonClick(button->objectName()); }

    // The numbers of the rows played so far, in order.
    QList<int> playedRows() const
    {
        QList<int> numbers;
        for (const QString &file : link.played)
            numbers << file.mid(3).chopped(4).toInt();
        return numbers;
    }

    bool stoppedState() const
    {
        return actions.tbStop->isChecked() && !actions.tbPlay->isChecked() &&
               !sequencer.tmrMonitor()->isActive() && !actions.tbNext->isEnabled() &&
               !actions.tbPause->isEnabled() && !actions.tbPrev->isEnabled();
    }

    QObject owner;
    PlayerActions actions;
    FakePlayerLink link;
    SongListModel songs;
    QItemSelectionModel selection;
    PlayListLibraryModel library;
    RecordingDisplay display;
    ScriptedDialogs dialogs;
    PlaybackSequencer sequencer;
    std::deque<double> draws;
    bool controlsEnabled = true;
    int preferencesShown = 0;
};
