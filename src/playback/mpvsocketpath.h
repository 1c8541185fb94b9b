#pragma once

#include <QString>

// Where the control socket of VORN's mpv lives.
//
// The name is derived from the program folder, so VORNs on different folders
// never share a player. It lives in the runtime folder ($XDG_RUNTIME_DIR), or,
// where that is unset, in a folder of the user's own (mode 0700) under the
// system's temporary folder. A path longer than a Unix socket name may be is
// replaced by a short one in that private folder. On Windows it is a named
// pipe.

// Bytes a Unix socket path may hold, its terminating NUL not counted.
inline constexpr qsizetype kMaxSocketPathBytes = 107;

// The control socket of the VORN that keeps its play lists in `programFolder`.
QString mpvSocketPathFor(const QString &programFolder);

// `path` when a socket may bind to it; otherwise a short path in the private
// folder, derived from `path`, so that the same long path always maps to the
// same short one.
QString fitSocketPath(const QString &path);

// The `n`-th alternative to `path` (n = 0 is `path` itself), for when another
// process holds `path`.
QString socketPathVariant(const QString &path, int n);

// The private folder for sockets: $XDG_RUNTIME_DIR when it is a folder, else
// <temp>/vorn-<uid>, created with mode 0700 and used only when it belongs to
// the user and no one else may enter it. Empty when none can be had.
QString privateSocketFolder();
