#include "frmmixer.h"

#include "core/settingsstore.h"
#include "core/settingvalues.h"
#include "core/twips.h"
#include "fader.h"
#include "mixerline.h"
#include "mixersettings.h"
#include "playback/playerlink.h"
#include "silenceskip.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QVariantMap>

namespace {

// Design positions in pixels at 96 dots per inch (the twips of the design
// divided by 15).
constexpr int kSliderLeft = 5; // 75 twips
constexpr int kVuLeft = 49;    // 735 twips
constexpr int kVuTop = 8;
constexpr int kVuWidthTwips = 945;
constexpr int kVuHeightTwips = 1890;
constexpr int kFaderTop = 26;
constexpr int kFaderWidth = 48;
constexpr int kFaderHeight = 150;
constexpr int kFirstFaderLeft = 130;

} // namespace

frmMixer::frmMixer(SettingsStore &settings, PlayerLink &link, QWidget *vuMeter,
                   const LineFactory &lines, Hooks hooks, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_settings(settings)
    , m_link(link)
    , m_hooks(std::move(hooks))
{
    setObjectName(QStringLiteral("frmMixer"));
    setWindowTitle(QStringLiteral("Mixer"));
    createControls(vuMeter, lines);
    Form_Load();
}

frmMixer::~frmMixer()
{
    if (m_vuLoaded)
        QMetaObject::invokeMethod(m_vuMeter, "StopVU", Qt::DirectConnection);
}

void frmMixer::createControls(QWidget *vuMeter, const LineFactory &lines)
{
    m_sldSAL = new QSlider(Qt::Vertical, this);
    m_sldSAL->setObjectName(QStringLiteral("sldSAL"));
    m_sldSAL->setRange(0, 100);
    m_sldSAL->setToolTip(QStringLiteral("S.A.L. set point"));
    m_sldSAL->setAccessibleName(m_sldSAL->toolTip());
    m_sldSAL->setGeometry(kSliderLeft, kVuTop, 30, 130);

    m_chkEnableSAL = new QCheckBox(QStringLiteral("S.A.L."), this);
    m_chkEnableSAL->setObjectName(QStringLiteral("chkEnableSAL"));
    m_chkEnableSAL->adjustSize();
    m_chkEnableSAL->move(2, kVuTop + 138);
    // Any change of the check box, by the user or by the load, runs its handler.
    connect(m_chkEnableSAL, &QCheckBox::toggled, this, [this] { chkEnableSAL_Click(); });

    m_tmrSALMonitor = new QTimer(this);
    m_tmrSALMonitor->setObjectName(QStringLiteral("tmrSALMonitor"));
    m_tmrSALMonitor->setInterval(kSalIntervalMs);
    connect(m_tmrSALMonitor, &QTimer::timeout, this, &frmMixer::tmrSALMonitor_Timer);

    m_vuLoaded = vuMeter != nullptr;
    if (vuMeter) {
        m_vuMeter = vuMeter;
        m_vuMeter->setParent(this);
    } else {
        // No meter library: a dark box where the meter would be.
        m_vuMeter = new QWidget(this);
        m_vuMeter->setAutoFillBackground(true);
        QPalette dark = m_vuMeter->palette();
        dark.setColor(QPalette::Window, Qt::black);
        m_vuMeter->setPalette(dark);
        const double dpi = dotsPerInch();
        m_vuMeter->setFixedSize(twipsToPixels(kVuWidthTwips, dpi),
                                twipsToPixels(kVuHeightTwips, dpi));
        m_vuMeter->setToolTip(QStringLiteral("The VU meter library could not be loaded."));
    }
    m_vuMeter->setAccessibleName(QStringLiteral("VU meter"));
    m_vuMeter->setObjectName(QStringLiteral("vuMeter"));
    m_vuMeter->move(kVuLeft, kVuTop);
    hookVuMeter();

    // The player volume arrows, under the meter.
    auto *udWAVol = new QWidget(this);
    udWAVol->setObjectName(QStringLiteral("udWAVol"));
    udWAVol->setToolTip(QStringLiteral("Player volume"));
    m_udWAVolUp = new QToolButton(udWAVol);
    m_udWAVolUp->setObjectName(QStringLiteral("udWAVolUp"));
    m_udWAVolUp->setArrowType(Qt::UpArrow);
    m_udWAVolUp->setAccessibleName(QStringLiteral("Player volume up"));
    m_udWAVolUp->setGeometry(0, 0, 24, 16);
    m_udWAVolDown = new QToolButton(udWAVol);
    m_udWAVolDown->setObjectName(QStringLiteral("udWAVolDown"));
    m_udWAVolDown->setArrowType(Qt::DownArrow);
    m_udWAVolDown->setAccessibleName(QStringLiteral("Player volume down"));
    m_udWAVolDown->setGeometry(0, 16, 24, 16);
    udWAVol->setGeometry(kVuLeft + 20, kVuTop + 134, 24, 32);
    connect(m_udWAVolUp, &QToolButton::clicked, this, &frmMixer::udWAVol_UpClick);
    connect(m_udWAVolDown, &QToolButton::clicked, this, &frmMixer::udWAVol_DownClick);

    m_chkMaster = new QCheckBox(QStringLiteral("Master"), this);
    m_chkMaster->setObjectName(QStringLiteral("chkMaster"));
    m_chkMaster->adjustSize();
    m_chkMaster->move(kFirstFaderLeft - 2, 4);
    // Any change of the check box runs its handler, the repaint's included:
    // a click repaints the window before it reports itself.
    connect(m_chkMaster, &QCheckBox::toggled, this, &frmMixer::chkMaster_Click);

    m_eqMaster = addFader("eqMaster", QStringLiteral(" AMP "), Fader::kMasterLine, 0, lines);
    m_eqMaster->slider()->setAccessibleName(QStringLiteral("Master volume"));
    addFader("eqMIDI", QStringLiteral("MIDI"), Fader::kMidiLine, 1, lines);
    addFader("eqCD", QStringLiteral("CD"), Fader::kCdLine, 2, lines);
    addFader("eqBass", QStringLiteral("Bass"), Fader::kBassLine, 3, lines);
    addFader("eqTreble", QStringLiteral("Treble"), Fader::kTrebleLine, 4, lines);
    m_chkMaster->setChecked(!m_eqMaster->mute());

    setFixedSize(kFirstFaderLeft + 5 * kFaderWidth + 8, kFaderTop + kFaderHeight + 8);
}

Fader *frmMixer::addFader(const char *name, const QString &caption, int linecontrol, int index,
                          const LineFactory &lines)
{
    auto *fader = new Fader(caption, this);
    fader->setObjectName(QLatin1String(name));
    fader->setLinecontrol(linecontrol);
    fader->setRefreshrate(kFaderRefreshMs);
    fader->setGeometry(kFirstFaderLeft + index * kFaderWidth, kFaderTop, kFaderWidth - 4,
                       kFaderHeight);
    std::unique_ptr<MixerLine> line;
    if (lines)
        line = lines(linecontrol);
    if (!line)
        line = std::make_unique<UnavailableLine>(QStringLiteral("No such line on this system."));
    fader->setLine(std::move(line));
    return fader;
}

void frmMixer::hookVuMeter()
{
    if (!m_vuLoaded)
        return;
    // Late binding by member names: the window knows no type of the library.
    QVariantMap stored;
    stored.insert(QStringLiteral("HoldPeaksDelayVal"), kVuHoldDelay);
    stored.insert(QStringLiteral("HoldPeaksVal"), kVuHoldPeaks);
    stored.insert(QStringLiteral("PriorityVal"), kVuPriority);
    QMetaObject::invokeMethod(m_vuMeter, "ReadProperties", Qt::DirectConnection,
                              Q_ARG(QVariantMap, stored));
    connect(m_vuMeter, SIGNAL(SilenceDetected()), this, SLOT(vuMeter_SilenceDetected()));
    connect(m_vuMeter, SIGNAL(PeakValue(int)), this, SLOT(vuMeter_PeakValue(int)));
}

double frmMixer::dotsPerInch() const
{
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

void frmMixer::Form_Load()
{
    const double dpi = dotsPerInch();
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(1024, 768);
    const double x = settingNumber(m_settings.value(MixerSettings::kMixerX))
                         .value_or(pixelsToTwips(screenSize.width(), dpi) / 4.0);
    const double y = settingNumber(m_settings.value(MixerSettings::kMixerY))
                         .value_or(pixelsToTwips(screenSize.height(), dpi) / 4.0);
    move(twipsToPixels(x, dpi), twipsToPixels(y, dpi));

    const double sal = settingNumber(m_settings.value(MixerSettings::kSAL)).value_or(0);
    m_chkEnableSAL->setChecked(sal != 0);
    m_sldSAL->setValue(
        static_cast<int>(settingNumber(m_settings.value(MixerSettings::kSALSP)).value_or(30)));

    const int option = static_cast<int>(
        settingNumber(m_settings.value(MixerSettings::kSilenceDetection)).value_or(0));
    setSilenceDetect(silenceDetectMs(option));
    m_sal.SALSampleIndex = 1;
}

void frmMixer::setSilenceDetect(int ms)
{
    // The meter, or the dark box standing in for it, keeps the time.
    if (m_vuMeter)
        m_vuMeter->setProperty("SilenceDetect", ms);
    followMeter();
}

void frmMixer::followMusic(QAction *play, QAction *pause)
{
    const auto follow = [this, play, pause] {
        setMusicPlaying(play->isChecked() || pause->isChecked());
    };
    connect(play, &QAction::toggled, this, follow);
    connect(pause, &QAction::toggled, this, follow);
    follow();
}

void frmMixer::setMusicPlaying(bool playing)
{
    m_playing = playing;
    followMeter();
}

void frmMixer::followMeter()
{
    if (!m_vuLoaded || m_unloaded)
        return;
    const bool needed = m_playing && (isVisible() || m_chkEnableSAL->isChecked() ||
                                      m_vuMeter->property("SilenceDetect").toInt() > 0);
    if (needed == m_meterRunning)
        return;
    m_meterRunning = needed;
    QMetaObject::invokeMethod(m_vuMeter, needed ? "StartVU" : "StopVU", Qt::DirectConnection);
}

void frmMixer::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    followMeter();
}

void frmMixer::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    followMeter();
}

void frmMixer::unload()
{
    if (m_unloaded)
        return;
    const double dpi = dotsPerInch();
    m_settings.save(MixerSettings::kMixerX,
                    QString::number(static_cast<float>(pixelsToTwips(pos().x(), dpi))));
    m_settings.save(MixerSettings::kMixerY,
                    QString::number(static_cast<float>(pixelsToTwips(pos().y(), dpi))));
    m_settings.save(MixerSettings::kSAL,
                    m_chkEnableSAL->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    m_settings.save(MixerSettings::kSALSP, QString::number(m_sldSAL->value()));
    m_tmrSALMonitor->stop();
    if (m_vuLoaded)
        QMetaObject::invokeMethod(m_vuMeter, "StopVU", Qt::DirectConnection);
    m_meterRunning = false;
    m_unloaded = true;
    close();
}

void frmMixer::closeEvent(QCloseEvent *event)
{
    if (m_unloaded) {
        event->accept();
        return;
    }
    // The close box only hides the window; it lives until the program ends.
    event->ignore();
    hide();
    if (m_hooks.hiddenByUser)
        m_hooks.hiddenByUser();
}

void frmMixer::paintEvent(QPaintEvent *event)
{
    // The master switch shows the master line's mute state on every repaint.
    const bool ticked = !m_eqMaster->mute();
    if (m_chkMaster->isChecked() != ticked)
        m_chkMaster->setChecked(ticked);

    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    const int x = kFirstFaderLeft - 8;
    painter.drawLine(x, 4, x, height() - 4);
    QWidget::paintEvent(event);
}

void frmMixer::chkMaster_Click()
{
    m_eqMaster->setMute(!m_chkMaster->isChecked());
}

void frmMixer::udWAVol_DownClick()
{
    m_link.WinampVolumeDown();
}

void frmMixer::udWAVol_UpClick()
{
    m_link.WinampVolumeUp();
}

void frmMixer::chkEnableSAL_Click()
{
    if (m_chkEnableSAL->isChecked())
        m_tmrSALMonitor->start();
    else
        m_tmrSALMonitor->stop();
    m_sldSAL->setEnabled(m_tmrSALMonitor->isActive());
    followMeter();
}

void frmMixer::vuMeter_PeakValue(int Value)
{
    m_lastPeak = Value;
}

void frmMixer::tmrSALMonitor_Timer()
{
    const bool playing = m_hooks.playPressed && m_hooks.playPressed();
    const int steps = evaluateSal(m_sal, playing, m_lastPeak, m_sldSAL->value());
    for (int i = 0; i < -steps; ++i)
        m_link.WinampLevelDown();
    for (int i = 0; i < steps; ++i)
        m_link.WinampLevelUp();
}

void frmMixer::vuMeter_SilenceDetected()
{
    const int length = m_link.WinampGetLength();
    if (length == 0)
        return;
    const int position = m_link.WinampGetPosition();
    if (skipOnSilence(position, length) && m_hooks.pressNext)
        m_hooks.pressNext();
}
