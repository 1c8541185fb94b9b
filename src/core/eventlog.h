#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

// An append-only text log for what happens while nobody watches (a player
// that died and was restarted). Each entry is one line, "yyyy-MM-dd
// hh:mm:ss.zzz  text", ending in LF. When an entry would take the file past
// its size limit, the file is first renamed to the same name with ".1"
// appended (replacing an older one), so at most about twice the limit is
// ever kept. Failures to write are ignored: the log must never stop the
// program.
class EventLog
{
public:
    static constexpr qint64 kDefaultLimit = 1024 * 1024;

    explicit EventLog(QString path, qint64 limitBytes = kDefaultLimit);

    // The clock that stamps entries; the local time when left empty.
    void setClock(std::function<QDateTime()> clock);

    void write(const QString &text);

    const QString &path() const { return m_path; }

private:
    QString m_path;
    qint64 m_limit;
    std::function<QDateTime()> m_clock;
};
