#include "plannedsongs.h"

#include <QHashFunctions>

#include <bit>

namespace {

quint32 hashOf(const QString &path)
{
    const size_t full = qHash(path, QHashSeed::globalSeed());
    return static_cast<quint32>(full ^ (full >> 32));
}

} // namespace

PlannedSongs::PlannedSongs(SongFiles playing, qsizetype nextRow, QStringList shown)
    : m_playing(std::move(playing))
    , m_start(nextRow >= 0 && nextRow < m_playing.size() ? nextRow : 0)
    , m_shown(std::move(shown))
{
    const qsizetype count = places();
    if (count == 0)
        return;
    m_slots.resize(std::bit_ceil(static_cast<size_t>(count) * 2));
    m_first.resize(static_cast<size_t>(count));
    for (qsizetype place = 0; place < count; ++place) {
        const QString path = pathAt(place);
        if (path.isEmpty())
            continue;
        const quint32 hash = hashOf(path);
        Slot &slot = m_slots[slotOf(path, hash)];
        if (slot.place >= 0)
            continue;
        slot = {hash, static_cast<qint32>(place)};
        m_first[static_cast<size_t>(place)] = true;
        ++m_size;
    }
    m_left = m_size;
}

QString PlannedSongs::pathAt(qsizetype place) const
{
    const qsizetype playing = m_playing.size();
    if (place < playing)
        return m_playing.at((m_start + place) % playing);
    return m_shown.at(place - playing);
}

size_t PlannedSongs::slotOf(const QString &path, quint32 hash) const
{
    const size_t mask = m_slots.size() - 1;
    for (size_t at = hash & mask;; at = (at + 1) & mask) {
        const Slot &slot = m_slots[at];
        if (slot.place < 0 || (slot.hash == hash && pathAt(slot.place) == path))
            return at;
    }
}

bool PlannedSongs::contains(const QString &path) const
{
    if (m_slots.empty() || path.isEmpty())
        return false;
    return m_slots[slotOf(path, hashOf(path))].place >= 0;
}

QString PlannedSongs::takeNext()
{
    if (m_left == 0)
        return {};
    while (!m_first[static_cast<size_t>(m_next)])
        ++m_next;
    --m_left;
    return pathAt(m_next++);
}
