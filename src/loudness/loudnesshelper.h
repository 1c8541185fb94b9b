#pragma once

#include "loudnessmeasurement.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

class QProcess;

// Measures files in the loudness helper program (vorn-loudness), so that the
// decoders and the many libraries they load never enter the program, and a
// file that crashes or hangs a decoder costs that one song, not the music.
// One helper serves song after song; it is started on first use and ended by
// rest() and by the destructor, so none outlives its owner. Used from one
// thread at a time, the one that made it; needs no event loop.
class LoudnessHelper
{
public:
    // The helper's name, without the system's program suffix.
    static constexpr const char *kProgramName = "vorn-loudness";
    // How much processor time a helper may spend on a file without saying
    // that it reads before it is taken for hung; it says so at least once a
    // second while it reads. Processor time, not wall time: a helper starved
    // by a busy machine (it runs at the lowest priority) is not hung, and
    // its song must not be taken for one that cannot be measured.
    static constexpr int kDefaultSilenceMs = 60000;

    // `program` is the helper's path; empty when it was not found.
    explicit LoudnessHelper(QString program = findProgram(), int silenceMs = kDefaultSilenceMs);
    ~LoudnessHelper();
    LoudnessHelper(const LoudnessHelper &) = delete;
    LoudnessHelper &operator=(const LoudnessHelper &) = delete;

    // The helper's answer for `path`. Ends soon with Outcome::Stopped once
    // `stop` is set. A helper that crashes or stays silent on a file ends,
    // and the file is not measured (the next file gets a new helper); one
    // that cannot start, or ends by itself, leaves the file Unavailable, and
    // so does every file after it until rest().
    LoudnessResult measure(const QString &path, const std::atomic<bool> &stop);
    // Ends the helper until the next measure(), and forgets a helper that
    // could not run, so the next work tries it again.
    void rest();
    // The running helper's process id, or 0.
    qint64 processId() const;

    // The helper beside the program, else in its installed library folder;
    // empty when it is in neither.
    static QString findProgram();

private:
    bool ensureRunning();
    void end();
    // The processor time the helper has used, in ms; where the system does
    // not tell, the time since `since` started.
    qint64 busyMs(const QElapsedTimer &since) const;

    QString m_program;
    int m_silenceMs;
    std::unique_ptr<QProcess> m_process;
    // Why the helper cannot run, until rest().
    QString m_problem;
};
