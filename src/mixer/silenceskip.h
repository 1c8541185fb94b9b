#pragma once

// Whether silence at `positionMs` into a song of `lengthSeconds` skips to the
// next song: only when more than 85 percent of it has played. A song without
// a length never skips.
bool skipOnSilence(int positionMs, int lengthSeconds);

// The milliseconds of silence of the stored SilenceDetection option (0 OFF,
// 1 0.5 s, 2 1 s, 3 1.5 s, 4 2 s, 5 3 s, 6 5 s); any other option is OFF.
int silenceDetectMs(int option);
