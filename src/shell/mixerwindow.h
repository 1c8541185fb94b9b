#pragma once

class EventLog;
class PlaybackSequencer;
class PlayerLink;
class QWidget;
class SettingsStore;
class frmMixer;
struct PlayerActions;

// Makes the mixer window, hidden, for the main window `parent`: its VU meter
// comes from the meter library (a dark meter when the library is missing, so
// no silence skip and no readings for the level control), its silence skip
// presses the player toolbar's Next, and hiding it releases the Mixer button.
// Where the meter library and the help pages were found goes to `log`, for
// whoever checks an installation.
frmMixer *createMixerWindow(SettingsStore &settings, PlayerLink &link, PlaybackSequencer &sequencer,
                            const PlayerActions &actions, EventLog &log, QWidget *parent);
