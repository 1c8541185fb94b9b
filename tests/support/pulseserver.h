#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A private PulseAudio server with one null output as its default, in a
// runtime folder of its own; it never meets a sound server of the user.
// Clients reach it through PULSE_SERVER, which the server object sets for
// this process (and so for the players it starts) while it lives.
class PulseServer
{
public:
    PulseServer();
    ~PulseServer();

    static bool installed();
    // Starts the server and waits (at most 10 s) until it takes clients.
    bool start();
    // Ends the server and waits for it.
    void stop();
    QString socketPath() const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
};
