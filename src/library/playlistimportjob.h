#pragma once

#include "import/playlistimport.h"
#include "songrow.h"

#include <QString>

#include <atomic>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

// The slow part of importing a PLS or M3U file or listing a shortcut's
// folder, on a thread of its own so that the window keeps answering: reading
// the list or the folder, looking up every song's file for its length, and
// making the rows (their texts packed, icons not yet assigned). The rows are
// exactly those that adding the same paths one by one makes, in their order.
class PlayListImportJob
{
public:
    struct Result
    {
        QString name;              // the play list's name, from the file's
        std::vector<SongRow> rows; // the songs, in the file's order
    };

    // What the job reads, on its thread: a name and the songs' paths, or
    // nothing when there is nothing to read.
    using Reader = std::function<std::optional<PlayListImport::ImportedList>()>;
    // A PLS or M3U file.
    static Reader listFile(QString path);
    // The media files of a shortcut's folder (listMediaFiles); no name.
    static Reader folder(QString path);

    // Starts at once. `finished` is called once, on the job's thread, when
    // the work is done or has stopped.
    PlayListImportJob(Reader read, std::function<void()> finished);
    // Stops the work and waits for the thread: a moment, never the whole work.
    ~PlayListImportJob();
    PlayListImportJob(const PlayListImportJob &) = delete;
    PlayListImportJob &operator=(const PlayListImportJob &) = delete;

    // Asks the work to stop; take() then gives nothing.
    void cancel() { m_stop = true; }
    bool isFinished() const { return m_done; }
    // Once finished: the list, or nothing when it could not be read (or was
    // larger than a play list may be) or the work was cancelled.
    std::optional<Result> take();

private:
    void run();

    Reader m_read;
    std::function<void()> m_whenDone;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_done{false};
    std::optional<Result> m_result; // written by the job's thread before m_done
    std::thread m_thread;           // last: started once the rest exists
};
