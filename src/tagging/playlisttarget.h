#pragma once

#include <QString>
#include <QStringList>

// What the Add Wizard needs of the main window's play lists: the public
// operations it calls back, and whether a play list is selected.
class PlayListTarget
{
public:
    virtual ~PlayListTarget() = default;

    virtual bool hasSelectedPlayList() const = 0;
    // Whether a new play list may be made now: not while music plays, since
    // the list that plays must stay the one shown.
    virtual bool mayCreatePlayList() const = 0;
    // A new, empty play list that receives the songs added next; an empty
    // name lets the library name it.
    virtual void NewPlayList(const QString &name) = 0;
    // Appends one song; `fields` as built by the parsing engines.
    virtual void Add2PlayList(const QString &file, const QStringList &fields) = 0;
    // Marks the current play list changed; called once after a batch.
    virtual void SetModifyedPLFlag() = 0;
    // Writes the songs added so far where a crash cannot lose them (the
    // play list's working copy); called now and then during a long batch.
    virtual void keepAddedSongs() = 0;
};
