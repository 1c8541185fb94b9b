#pragma once

class PlayListCommands;
class QObject;
class SongListEditor;
struct MainActions;

// Routes the menu bar's and tbTools' commands to the play list commands and
// the song list editor. The View menu, the Add Wizard item and the Help
// items are the window's own.
void routeCommands(const MainActions &actions, PlayListCommands &commands, SongListEditor &editor,
                   QObject *context);
