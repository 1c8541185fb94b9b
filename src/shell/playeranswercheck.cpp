#include "playeranswercheck.h"

#include "playback/mpvlink.h"
#include "playback/playerlink.h"

#include <QTimer>

namespace {

constexpr int kPollMs = 100;

} // namespace

PlayerAnswerCheck::PlayerAnswerCheck(ProbeFactory makeProbe, Report report, int waitMs,
                                     QObject *parent)
    : QObject(parent)
    , m_makeProbe(std::move(makeProbe))
    , m_report(std::move(report))
    , m_waitMs(waitMs)
    , m_poll(new QTimer(this))
{
    m_poll->setInterval(kPollMs);
    connect(m_poll, &QTimer::timeout, this, [this] { poll(); });
}

PlayerAnswerCheck::~PlayerAnswerCheck() = default;

PlayerAnswerCheck *PlayerAnswerCheck::forMpv(Report report, QObject *parent)
{
    return new PlayerAnswerCheck(
        [] { return std::make_unique<MpvLink>(defaultMpvSocketPath() + QStringLiteral("-check")); },
        std::move(report), MpvLink::kStartTimeoutMs, parent);
}

void PlayerAnswerCheck::check(const QString &path)
{
    m_poll->stop();
    m_probe.reset();
    m_path = path;
    m_probe = m_makeProbe ? m_makeProbe() : nullptr;
    if (!m_probe)
        return;
    m_clock.start();
    m_probe->beginStart(path);
    m_poll->start();
}

void PlayerAnswerCheck::stop()
{
    m_poll->stop();
    m_probe.reset();
}

bool PlayerAnswerCheck::isChecking() const
{
    return m_poll->isActive();
}

void PlayerAnswerCheck::poll()
{
    if (m_probe->FindWinamp()) {
        finish(true);
        return;
    }
    // The probe's own clock ran from beginStart: once the wait is over,
    // finishStart only looks once more and ends a program that did not answer.
    if (m_clock.hasExpired(m_waitMs))
        finish(m_probe->finishStart(m_path));
}

void PlayerAnswerCheck::finish(bool answered)
{
    m_poll->stop();
    if (answered)
        m_probe->CloseWinamp();
    const QString name = m_probe->playerName();
    m_probe.reset();
    if (!answered && m_report)
        m_report(QStringLiteral("%1 did not answer as %2 within %3 s. Check the player "
                                "location in the preferences.")
                     .arg(m_path.isEmpty() ? name : m_path, name)
                     .arg(m_waitMs / 1000));
}
