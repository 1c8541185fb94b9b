#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class PlayerLink;
class QTimer;

// Whether the program at a newly chosen player location answers as a
// player. It is started once, on a control socket of its own beside the
// player in use, and given the usual start wait; a program that does not
// answer in that time (one that ends at once, or never opens the socket) is
// reported. Nothing is modal and nothing waits: music may be playing, and the
// player in use plays on either way.
class PlayerAnswerCheck : public QObject
{
    Q_OBJECT

public:
    // `makeProbe` gives a link that never reaches the player in use.
    using ProbeFactory = std::function<std::unique_ptr<PlayerLink>()>;
    using Report = std::function<void(const QString &text)>;

    PlayerAnswerCheck(ProbeFactory makeProbe, Report report, int waitMs,
                      QObject *parent = nullptr);
    ~PlayerAnswerCheck() override;
    // A check that starts the program as mpv, on a socket beside the one of
    // the player in use, with mpv's start wait.
    static PlayerAnswerCheck *forMpv(Report report, QObject *parent);

    // Starts the check of `path`; a check still running for an earlier
    // location is given up.
    void check(const QString &path);
    // Gives up a check on its way and ends the program it started, without a
    // word: VORN is closing.
    void stop();
    bool isChecking() const;

private:
    void poll();
    void finish(bool answered);

    ProbeFactory m_makeProbe;
    Report m_report;
    int m_waitMs;
    std::unique_ptr<PlayerLink> m_probe;
    QString m_path;
    QTimer *m_poll;
    QElapsedTimer m_clock;
};
