#pragma once

class PlayListCommands;
class PlayListLibraryView;
class QObject;
class SongListEditor;
class SongListView;
struct MainActions;
struct SongListActions;

// Routes the menu bar's and tbTools' commands to the play list commands and
// the song list editor. The View menu, the Add Wizard item and the Help
// items are the window's own.
void routeCommands(const MainActions &actions, PlayListCommands &commands, SongListEditor &editor,
                   QObject *context);

// Routes the song list's buttons, its pop-up menu's Add and Remove, and the
// song list view's clicks, drags and drops to the song list editor.
void routeSongList(const SongListActions &actions, SongListView &view, SongListEditor &editor,
                   QObject *context);

// Routes the library list's mouse, key, rename and drop events to the play
// list commands.
void routeLibraryView(PlayListLibraryView &view, PlayListCommands &commands, QObject *context);
