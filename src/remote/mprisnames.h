#pragma once

// Where VORN shows itself on the session bus for remote controls.
namespace Mpris {

inline constexpr char kObjectPath[] = "/org/mpris/MediaPlayer2";
inline constexpr char kRootInterface[] = "org.mpris.MediaPlayer2";
inline constexpr char kPlayerInterface[] = "org.mpris.MediaPlayer2.Player";
// Taken by the first VORN on the bus; a later one adds ".instance<pid>".
inline constexpr char kServiceName[] = "org.mpris.MediaPlayer2.vorn";
// The track id of "no current song".
inline constexpr char kNoTrack[] = "/org/mpris/MediaPlayer2/TrackList/NoTrack";

} // namespace Mpris
