#pragma once

#include "library/songrow.h"

#include <QString>
#include <QStringList>

#include <vector>

// The files of a song list, as the loudness work reads them: given as paths,
// or as the list's rows, whose file fields are decoded only when read. A copy
// of the rows of a list of 100,000 songs costs the window a few milliseconds;
// decoding its paths there cost it tens.
class SongFiles
{
public:
    SongFiles() = default;
    // Not explicit: a list of paths is a list of song files.
    SongFiles(QStringList paths)
        : m_paths(std::move(paths))
    {}
    explicit SongFiles(std::vector<SongRow> rows)
        : m_rows(std::move(rows))
    {}

    qsizetype size() const
    {
        return m_rows.empty() ? m_paths.size() : static_cast<qsizetype>(m_rows.size());
    }
    bool isEmpty() const { return size() == 0; }
    QString at(qsizetype index) const
    {
        return m_rows.empty() ? m_paths.at(index)
                              : m_rows[static_cast<size_t>(index)].field(chFile);
    }

private:
    QStringList m_paths;
    std::vector<SongRow> m_rows;
};
