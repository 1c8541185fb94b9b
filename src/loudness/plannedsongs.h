#pragma once

#include "songfiles.h"

#include <QString>
#include <QStringList>

#include <vector>

// The songs of a loudness plan in work order, each once: the songs of the
// playing list from its next song on, then those before it, then those of
// the shown list. They stay the rows or paths they came as; a path is
// decoded when its turn comes, or to tell two songs apart whose paths hash
// alike. So a plan of 100,000 songs costs a table of about 20 bytes a song
// beside the rows the list holds anyway, not a decoded path and a set entry
// per song.
class PlannedSongs
{
public:
    PlannedSongs() = default;
    // Orders and counts the songs; takes as long as decoding every path once.
    PlannedSongs(SongFiles playing, qsizetype nextRow, QStringList shown);

    // The songs of the plan, each counted once.
    qsizetype size() const { return m_size; }
    bool contains(const QString &path) const;
    bool hasNext() const { return m_left > 0; }
    // The next song in work order; an empty path once none is left.
    QString takeNext();
    // No song is taken any more; contains() still knows them all.
    void dropRest() { m_left = 0; }

private:
    // All places of the work order, repeated songs too.
    qsizetype places() const { return m_playing.size() + m_shown.size(); }
    QString pathAt(qsizetype place) const;
    // Where `path` is in the table, or the free slot where it would go.
    size_t slotOf(const QString &path, quint32 hash) const;

    struct Slot
    {
        quint32 hash = 0;
        // The first place of the song; -1 for a free slot.
        qint32 place = -1;
    };

    SongFiles m_playing;
    qsizetype m_start = 0;
    QStringList m_shown;
    // Open addressing, a power of two at most half full.
    std::vector<Slot> m_slots;
    // Whether a place holds the first of its song.
    std::vector<bool> m_first;
    qsizetype m_size = 0;
    qsizetype m_next = 0;
    qsizetype m_left = 0;
};
