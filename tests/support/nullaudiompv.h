#pragma once

// The real mpv without a sound card, for the tests that drive it: while an
// object of this lives, a player VORN starts is started with "--ao=null".
#include <QByteArray>
#include <QStandardPaths>
#include <QString>

class NullAudioMpv
{
public:
    NullAudioMpv()
        : m_old(qgetenv("VORN_MPV_OPTIONS"))
    {
        qputenv("VORN_MPV_OPTIONS", "--ao=null");
    }
    ~NullAudioMpv() { qputenv("VORN_MPV_OPTIONS", m_old); }
    NullAudioMpv(const NullAudioMpv &) = delete;
    NullAudioMpv &operator=(const NullAudioMpv &) = delete;

    static bool installed() { return !QStandardPaths::findExecutable(QStringLiteral("mpv")).isEmpty(); }

private:
    QByteArray m_old;
};
