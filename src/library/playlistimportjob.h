#pragma once

#include "songrow.h"

#include <QString>

#include <atomic>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

// The slow part of importing a PLS or M3U file, on a thread of its own so
// that the window keeps answering: reading and parsing the list, looking up
// every song's file for its length, and making the rows (their texts packed,
// icons not yet assigned). The rows are exactly those that adding the same
// paths one by one makes, in the list's order.
class PlayListImportJob
{
public:
    struct Result
    {
        QString name;              // the play list's name, from the file's
        std::vector<SongRow> rows; // the songs, in the file's order
    };

    // Starts at once. `finished` is called once, on the job's thread, when
    // the work is done or has stopped.
    PlayListImportJob(QString listFile, std::function<void()> finished);
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

    QString m_listFile;
    std::function<void()> m_whenDone;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_done{false};
    std::optional<Result> m_result; // written by the job's thread before m_done
    std::thread m_thread;           // last: started once the rest exists
};
