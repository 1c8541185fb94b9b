#include "playlistimportjob.h"

#include "mediatypes.h"
#include "songlisteditor.h"

#include <QStringList>

namespace {

// The longest path a song of an imported list may have (the longest a
// Windows path can be); longer entries are no files and are left out.
constexpr qsizetype kMaxPathLength = 32767;

} // namespace

PlayListImportJob::Reader PlayListImportJob::listFile(QString path)
{
    return [path = std::move(path)] { return PlayListImport::read(path); };
}

PlayListImportJob::Reader PlayListImportJob::folder(QString path)
{
    return [path = std::move(path)] {
        return std::optional(PlayListImport::ImportedList{QString(), listMediaFiles(path)});
    };
}

PlayListImportJob::PlayListImportJob(Reader read, std::function<void()> finished)
    : m_read(std::move(read))
    , m_whenDone(std::move(finished))
    , m_thread([this] { run(); })
{}

PlayListImportJob::~PlayListImportJob()
{
    cancel();
    m_thread.join();
}

std::optional<PlayListImportJob::Result> PlayListImportJob::take()
{
    if (!m_done || m_stop)
        return std::nullopt;
    return std::exchange(m_result, std::nullopt);
}

void PlayListImportJob::run()
{
    std::optional<PlayListImport::ImportedList> list = m_read();
    if (list && !m_stop) {
        QStringList songs;
        songs.reserve(list->songs.size());
        for (const QString &song : list->songs) {
            if (!song.isEmpty() && song.size() <= kMaxPathLength)
                songs.append(song);
        }
        list->songs = QStringList(); // the paths are in `songs` now
        Result result{list->name, SongListEditor::rowsOfFiles(songs, &m_stop)};
        if (!m_stop)
            m_result = std::move(result);
    }
    m_done = true;
    if (m_whenDone)
        m_whenDone();
}
