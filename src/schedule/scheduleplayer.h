#pragma once

#include <QString>

// What the schedule asks of the library and the player. The schedule acts
// only through it, so that it holds no knowledge of the windows.
class SchedulePlayer
{
public:
    virtual ~SchedulePlayer() = default;

    // Music plays or is paused.
    virtual bool playing() const = 0;
    // The name of the play list the song list shows, empty for none.
    virtual QString shownList() const = 0;
    // The number of songs of the play list `list` has (a positive number
    // when it has songs and they are not counted), -1 when there is no such
    // play list.
    virtual int songCount(const QString &list) const = 0;
    // Sets the play order and Repeat for a slot's list that plays already.
    virtual void setOrder(bool random) = 0;
    // Fades the song that plays out over two seconds and stops.
    virtual void fadeOutAndStop() = 0;
    // Makes `list` the shown list (the list shown so far keeps its state in
    // its working copy, as when the user switches) and plays it from its first
    // song, or through the random title selector, repeating; the first song is
    // never the song that played last. False when the list could not be shown.
    virtual bool switchAndPlay(const QString &list, bool random) = 0;
    // The shown list cannot change now: an import or a folder's listing is
    // on its way into it. A slot that begins meanwhile waits for it.
    virtual bool busy() const = 0;
    // Something went wrong while nobody may watch: a status-bar note and an
    // entry in the log, never a modal box.
    virtual void report(const QString &text) = 0;
};
