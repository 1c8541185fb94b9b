#include "playlistimportjob.h"

#include "import/playlistimport.h"
#include "songlength.h"
#include "songlisteditor.h"

#include <QStringList>

namespace {

// The longest path a song of an imported list may have (the longest a
// Windows path can be); longer entries are no files and are left out.
constexpr qsizetype kMaxPathLength = 32767;

} // namespace

PlayListImportJob::PlayListImportJob(QString listFile, std::function<void()> finished)
    : m_listFile(std::move(listFile))
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
    std::optional<PlayListImport::ImportedList> list = PlayListImport::read(m_listFile);
    if (list && !m_stop) {
        QStringList songs;
        songs.reserve(list->songs.size());
        for (const QString &song : list->songs) {
            if (!song.isEmpty() && song.size() <= kMaxPathLength)
                songs.append(song);
        }
        list->songs = QStringList(); // the paths are in `songs` now
        // Each row is made on the thread that looked its file up.
        Result result{list->name, std::vector<SongRow>(static_cast<size_t>(songs.size()))};
        EstimateSongLengths(
            songs,
            [&](qsizetype index, qint32 length) {
                result.rows[static_cast<size_t>(index)] =
                    SongListEditor::rowOfFile(songs[index], length);
            },
            &m_stop);
        if (!m_stop) {
            SongRow::packLines(result.rows);
            m_result = std::move(result);
        }
    }
    m_done = true;
    if (m_whenDone)
        m_whenDone();
}
