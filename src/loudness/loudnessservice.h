#pragma once

#include "loudnesscache.h"
#include "loudnesssettings.h"
#include "loudnessworker.h"

#include <QLocale>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QTimer;

// Even loudness for the whole program: keeps what is known about every song
// (the cache file in the play list folder), has the worker measure what is
// not known yet in the order asked for, and answers the gain of a song that
// is about to start. Lives on the window's thread; nothing it does there
// reads audio or waits for the worker.
class LoudnessService : public QObject
{
    Q_OBJECT

public:
    // How long newly measured songs wait before the cache is written.
    static constexpr int kWriteDelayMs = 30000;

    // `log` takes one line for VORN.log. Without `measure`, the worker's
    // real measurement.
    LoudnessService(QString cacheFile, std::function<void(const QString &line)> log,
                    LoudnessWorker::Measure measure = {},
                    QObject *parent = nullptr);
    // Closes as close() does.
    ~LoudnessService() override;
    LoudnessService(const LoudnessService &) = delete;
    LoudnessService &operator=(const LoudnessService &) = delete;

    // Reads the cache file; a damaged one is reported in the log, what is
    // sound of it kept, and written whole again with the next write.
    void load();
    void setOptions(const LoudnessSettings::Options &options);
    // Whether the folder of the cache may be written now; while it may not
    // (a read-only or full folder), results are kept in memory only.
    void setWritable(std::function<bool()> writable) { m_writable = std::move(writable); }
    const LoudnessSettings::Options &options() const { return m_options; }

    // The gain in dB for a song about to start: 0 when even loudness is
    // off, or the song is not measured or changed since it was.
    double gainFor(const QString &path) const;
    // What is known of a song whose file still has the stamp it was
    // measured with.
    std::optional<LoudnessMeasurement> measurementOf(const QString &path) const;

    // What to measure, first to last: the song `nextRow` (0-based) of the
    // playing list, the rest of that list after it and then before it, the
    // shown list, and then the songs of the play list files `otherLists`.
    // Work not done yet is replaced; songs known already are only checked
    // for changes. Nothing is measured while even loudness is off.
    void setWork(SongFiles playing, int nextRow, const QStringList &shown,
                 const QStringList &otherLists);

    // Puts one song before all other work (the song that plays next), cheaply.
    void measureFirst(const QString &path);

    // Stops the worker within about a second and writes what was measured.
    void close();

    const LoudnessEntries &entries() const { return m_entries; }
    // Songs looked at in the current work, and all songs in it; both 0 when idle.
    int doneCount() const;
    int totalCount() const;
    bool isIdle() const;

    // "Measuring loudness: 1,234 of 10,000", or empty when idle.
    static QString progressText(int done, int total, const QLocale &locale = QLocale());

signals:
    // The worker's progress; (0, 0) once it has nothing left to do.
    void progressChanged(int done, int total);

private:
    // On any thread: the stamp of a known song whose result may stand.
    std::optional<FileStamp> knownStamp(const QString &path, bool useGainTags) const;
    void takeResults();
    void record(const LoudnessWorker::Done &done);
    void scheduleWrite();
    void updateProgress();

    QString m_cacheFile;
    std::function<void(const QString &)> m_log;
    LoudnessSettings::Options m_options;
    // Written on the window's thread only, under m_entriesMutex; the worker
    // reads it under that lock.
    LoudnessEntries m_entries;
    mutable QMutex m_entriesMutex;
    std::unique_ptr<LoudnessWorker> m_worker;
    QTimer *m_writeTimer;
    std::function<bool()> m_writable;
    // Files reported as no regular file, so that each is reported once a run.
    QSet<QString> m_reported;
    // Why the measurer could not work, each told once a run.
    QSet<QString> m_reportedProblems;
    bool m_dirty = false;
    bool m_closed = false;
};
