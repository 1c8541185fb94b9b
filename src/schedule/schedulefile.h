#pragma once

#include "scheduleplan.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The day schedule's file in the program folder, "VORN.schedule": UTF-8 text
// of INI-like sections, one slot a line.
//
//     # VORN day schedule
//     [Schedule]
//     Follow = on
//
//     [Monday]
//     07:00 = "Morning Calm", in order, let finish
//     11:30 = "Lunch", random, fade out
//     19:00 = closed
//
//     [2026-12-25]
//     00:00 = closed
//
// Sections are [Schedule], the seven days and dates (YYYY-MM-DD) with a plan
// of their own. A play list name never holds a double quote, so the quotes
// end it unambiguously. Blank lines and lines starting with # or ; are
// comments. The writer gives one text for one plan, so a file read and
// written again is the same file.
namespace ScheduleFile {

inline constexpr const char *kFileName = "VORN.schedule";
// A longer file is no schedule of a shop.
inline constexpr qint64 kMaxBytes = 1024 * 1024;

struct ReadResult
{
    std::optional<SchedulePlan> plan;
    // The first problem: its line (1-based, 0 for the whole file) and reason.
    int line = 0;
    QString reason;

    // "line 7: ..." for the user and the log.
    QString problem() const;
};

ReadResult parse(const QByteArray &text);
QByteArray format(const SchedulePlan &plan);

// Reads `path`; a missing file is an empty plan that is not followed.
ReadResult read(const QString &path);
// Writes `path` atomically: a failure leaves the old file whole. Returns the
// reason of a failure, empty on success.
QString write(const QString &path, const SchedulePlan &plan);

} // namespace ScheduleFile
