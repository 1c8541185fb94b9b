#pragma once

#include <memory>

class MixerLine;
class PlayerLink;

// The line a fader of that "linecontrol" drives on this system: the default
// output (PulseAudio) for the master, the player's tone filters for bass and
// treble; MIDI, CD and anything else have no line here.
std::unique_ptr<MixerLine> makeMixerLine(int linecontrol, PlayerLink &link);
