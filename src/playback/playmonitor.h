#pragma once

#include <QString>

#include <functional>

class PlayDisplay;
class PlaybackSequencer;
class PlayerLink;
class SongListModel;

// Follows the playing song twice a second: shows its time and progress, puts
// its title in the minimized window's caption and in the banner, and moves
// on when the player's position says the song has ended. A player that is
// gone is handed to the sequencer, which brings it back and plays on.
class PlayMonitor
{
public:
    PlayMonitor(PlaybackSequencer &sequencer, SongListModel &songs, PlayDisplay &display);

    // The tick of tmrMonitor.
    void tmrMonitor_Timer();

    // Shows the time left instead of the time played.
    bool ShowRemainingTime = false;

private:
    void endOfSong();
    void showSong();

    PlaybackSequencer &m_sequencer;
    SongListModel &m_songs;
    PlayDisplay &m_display;
};

// Minutes, seconds and hundredths of one instant, two digits each at least,
// joined by ":" (10.7 s gives 00:10:70; 65.4 s gives 01:05:40).
QString formatPlayTime(double seconds);
