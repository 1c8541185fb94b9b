#pragma once

#include "salevaluation.h"

#include <QWidget>

#include <functional>
#include <memory>

class Fader;
class MixerLine;
class PlayerLink;
class QAction;
class QCheckBox;
class QSlider;
class QTimer;
class QToolButton;
class SettingsStore;

// The mixer window: the VU meter, the player volume arrows, the faders of the
// mixer lines, the skip on silence near the end of a song and the S.A.L.
// level control. Loaded hidden at start-up and alive until the program ends;
// its close box only hides it.
class frmMixer : public QWidget
{
    Q_OBJECT

public:
    struct Hooks
    {
        // Whether the main window shows Play pressed.
        std::function<bool()> playPressed;
        // Presses the main window's Next button (tbPlayer_ButtonClick).
        std::function<void()> pressNext;
        // The user hid the window with its close box: release tbMixer.
        std::function<void()> hiddenByUser;
    };
    // The line a fader of that "linecontrol" drives.
    using LineFactory = std::function<std::unique_ptr<MixerLine>(int linecontrol)>;

    // The VU meter's stored values in this window.
    static constexpr int kVuHoldDelay = 1200;
    static constexpr bool kVuHoldPeaks = false;
    static constexpr int kVuPriority = 10;
    static constexpr int kFaderRefreshMs = 1500;
    static constexpr int kSalIntervalMs = 100;

    // `vuMeter` is the control made by the VU library, or null when the
    // library could not be loaded: a dark box then takes its place. The
    // window takes it as its child and reaches it by member names only.
    frmMixer(SettingsStore &settings, PlayerLink &link, QWidget *vuMeter, const LineFactory &lines,
             Hooks hooks, QWidget *parent = nullptr);
    ~frmMixer() override;

    // The real unload at program exit: stores the window's settings and
    // stops the meter.
    void unload();

    void Form_Load();
    void chkMaster_Click();
    void chkEnableSAL_Click();
    void udWAVol_DownClick();
    void udWAVol_UpClick();
    void tmrSALMonitor_Timer();

    QWidget *vuMeter() const { return m_vuMeter; }
    bool hasVuMeter() const { return m_vuLoaded; }
    Fader *eqMaster() const { return m_eqMaster; }
    QSlider *sldSAL() const { return m_sldSAL; }
    QCheckBox *chkEnableSAL() const { return m_chkEnableSAL; }
    QCheckBox *chkMaster() const { return m_chkMaster; }
    QTimer *tmrSALMonitor() const { return m_tmrSALMonitor; }
    const SalState &salState() const { return m_sal; }
    qint32 LastPeak() const { return m_lastPeak; }

    // The meter reads levels only while music plays and something uses them:
    // this window shown, S.A.L. on, or the skip on silence set. An idle
    // program keeps it still.
    bool meterRunning() const { return m_meterRunning; }
    // The skip on silence's time (0: off), passed on to the meter.
    void setSilenceDetect(int ms);

    // Follows the main window's Play and Pause: music is on while either is
    // pressed (a paused song still has its silence looked for).
    void followMusic(QAction *play, QAction *pause);

public slots:
    void setMusicPlaying(bool playing);
    void vuMeter_SilenceDetected();
    void vuMeter_PeakValue(int Value);

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void followMeter();
    void createControls(QWidget *vuMeter, const LineFactory &lines);
    Fader *addFader(const char *name, const QString &caption, int linecontrol, int left,
                    const LineFactory &lines);
    void hookVuMeter();
    double dotsPerInch() const;

    SettingsStore &m_settings;
    PlayerLink &m_link;
    Hooks m_hooks;

    QSlider *m_sldSAL = nullptr;
    QCheckBox *m_chkEnableSAL = nullptr;
    QTimer *m_tmrSALMonitor = nullptr;
    QWidget *m_vuMeter = nullptr;
    bool m_vuLoaded = false;
    bool m_meterRunning = false;
    bool m_playing = false;
    QCheckBox *m_chkMaster = nullptr;
    Fader *m_eqMaster = nullptr;
    QToolButton *m_udWAVolUp = nullptr;
    QToolButton *m_udWAVolDown = nullptr;

    qint32 m_lastPeak = 0;
    SalState m_sal;
    bool m_unloaded = false;
};
