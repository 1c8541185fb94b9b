#pragma once

#include "mixerline.h"

#include <QWidget>

#include <memory>

class QLabel;
class QSlider;
class QTimer;

// A vertical fader over one mixer line, with a caption above it. It carries
// the stored properties "linecontrol" (which line it drives) and
// "refreshrate" (how often, in ms, it follows changes made elsewhere), and
// the line's mute switch as the Boolean property "mute". A fader whose line
// cannot be reached is disabled, and its tool tip says why.
class Fader : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int linecontrol READ linecontrol WRITE setLinecontrol)
    Q_PROPERTY(int refreshrate READ refreshrate WRITE setRefreshrate)
    Q_PROPERTY(bool mute READ mute WRITE setMute)

public:
    // Line numbers of "linecontrol".
    static constexpr int kMasterLine = 1;
    static constexpr int kMidiLine = 2;
    static constexpr int kCdLine = 3;
    static constexpr int kBassLine = 101;
    static constexpr int kTrebleLine = 102;
    static constexpr int kDefaultRefreshMs = 1000;

    explicit Fader(const QString &caption, QWidget *parent = nullptr);
    ~Fader() override;

    int linecontrol() const { return m_linecontrol; }
    void setLinecontrol(int line) { m_linecontrol = line; }
    int refreshrate() const;
    void setRefreshrate(int ms);
    bool mute() const;
    void setMute(bool mute);

    // Takes the line this fader drives and shows its state.
    void setLine(std::unique_ptr<MixerLine> line);
    MixerLine *line() const { return m_line.get(); }

    // Shows the line's current state; runs at every refresh tick.
    void refresh();

    QSlider *slider() const { return m_slider; }
    QTimer *refreshTimer() const { return m_refresh; }

private:
    int m_linecontrol = kMasterLine;
    std::unique_ptr<MixerLine> m_line;
    QLabel *m_caption;
    QSlider *m_slider;
    QTimer *m_refresh;
    bool m_showing = false;
};
