#pragma once

#include <QObject>
#include <QString>

// What a remote control (desktop media keys, a phone, a command line) may ask
// of VORN and see of it. The main window implements it; the remote side only
// forwards. Commands act exactly as the matching player toolbar buttons, so
// every rule of playing (the lock of the play-list controls, the missing
// player's warning) holds for them too.
class RemoteControl : public QObject
{
    Q_OBJECT

public:
    enum class Status
    {
        Stopped,
        Playing,
        Paused,
    };

    // The song of the current row; `number` 0 when there is none.
    struct Track
    {
        int number = 0;
        QString title;
        QString artist;
        QString album;
        // Full path of the media file.
        QString file;
        // Whole seconds; 0 while unknown.
        int lengthSeconds = 0;

        bool operator==(const Track &) const = default;
    };

    struct State
    {
        Status status = Status::Stopped;
        Track track;
        bool repeat = false;
        bool random = false;
        // The player's volume, 0 to 1; a player that cannot tell reads 0.
        double volume = 0.0;
        bool canPlay = false;
        bool canPause = false;
        bool canGoNext = false;
        bool canGoPrevious = false;

        bool operator==(const State &) const = default;
    };

    using QObject::QObject;

    virtual State state() = 0;
    // Position in the playing file in milliseconds; 0 when stopped. Read
    // when asked, never announced: it changes all the time.
    virtual qint64 positionMs() = 0;

    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    virtual void next() = 0;
    virtual void previous() = 0;
    virtual void setRepeat(bool on) = 0;
    virtual void setRandom(bool on) = 0;
    // 0 to 1; a value outside is taken as the nearer end.
    virtual void setVolume(double volume) = 0;
    // Shows and activates the main window.
    virtual void raise() = 0;
    // Closes the main window as the user would, with its questions.
    virtual void quit() = 0;

signals:
    // Something of state() may have changed.
    void changed();
};
