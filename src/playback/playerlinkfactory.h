#pragma once

#include "playerlink.h"

#include <QString>

#include <memory>

// True when the player program at `path` is driven by Winamp's window
// messages: its file name starts with "winamp", in any case. Both '/' and '\'
// separate folders, so a path stored on either system reads the same.
bool usesWinampProtocol(const QString &path);

// The link for the player program in the `Winamp` setting. On Windows a
// Winamp path gets the window-message link; every other path, and every path
// where there are no Win32 windows, gets the mpv link on its default socket.
// The choice is made once: a link for another path needs a new call.
std::unique_ptr<PlayerLink> createPlayerLink(const QString &path);
