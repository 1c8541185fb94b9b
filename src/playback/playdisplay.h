#pragma once

#include <QString>

// Where playback shows itself: the time display, the window caption and the
// banner. The main window provides it; tests record what was shown.
class PlayDisplay
{
public:
    virtual ~PlayDisplay() = default;

    // lblTime, "00:00:00" when stopped.
    virtual void setTimeText(const QString &text) = 0;
    // pbTime, 0 to 100.
    virtual void setProgress(int percent) = 0;
    virtual void setCaption(const QString &caption) = 0;
    virtual bool isMinimized() const = 0;
    // The text both banner labels scroll.
    virtual void setBannerText(const QString &text) = 0;
};
