#pragma once

class PlayListCommands;
class QObject;
class SongListEditor;
struct MainActions;

// Routes the menu bar's and tbTools' commands to the play list commands and
// the song list editor. The View menu and the Add Wizard item are the
// window's own; the Help items stay without action until those exist.
void routeCommands(const MainActions &actions, PlayListCommands &commands, SongListEditor &editor,
                   QObject *context);
