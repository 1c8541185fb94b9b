#pragma once

#include "playback/playdisplay.h"

// Keeps what playback last showed.
class RecordingDisplay final : public PlayDisplay
{
public:
    QString timeText = QStringLiteral("00:00:00");
    int progress = 0;
    QString caption = QStringLiteral("VORN");
    QString bannerText;
    bool minimized = false;

    void setTimeText(const QString &text) override { timeText = text; }
    void setProgress(int percent) override { progress = percent; }
    void setCaption(const QString &text) override { caption = text; }
    bool isMinimized() const override { return minimized; }
    void setBannerText(const QString &text) override { bannerText = text; }
};
