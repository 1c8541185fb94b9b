#include "playertoolbar.h"

#include "core/twips.h"
#include "library/accessiblenames.h"
#include "playeractions.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

namespace {

// The time display picTime over the placeholder tbTimePlace, in twips.
constexpr int kTimePlaceWidth = 2000;
constexpr int kTimeDisplayLeft = 70;
constexpr int kTimeDisplayWidth = 1860;
constexpr int kTimeDisplayHeight = 540;

void setThemeIcon(QAction *action, const char *name, const char *fallback = "go-next")
{
    action->setIcon(
        QIcon::fromTheme(QLatin1String(name), QIcon::fromTheme(QLatin1String(fallback))));
}

void addDropDown(QToolBar *bar, QAction *button, QAction *item)
{
    auto *menu = new QMenu(bar);
    menu->addAction(item);
    button->setMenu(menu);
    bar->addAction(button);
    if (auto *tool = qobject_cast<QToolButton *>(bar->widgetForAction(button)))
        tool->setPopupMode(QToolButton::MenuButtonPopup);
}

} // namespace

PlayerToolBar::PlayerToolBar(const PlayerActions &actions, QWidget *parent)
    : QToolBar(parent)
    , m_tbTimePlace(new QWidget(this))
    , m_lblTime(new QLabel(QStringLiteral("00:00:00"), m_tbTimePlace))
    , m_lblSign(new QLabel(QStringLiteral("-"), m_tbTimePlace))
    , m_pbTime(new QProgressBar(m_tbTimePlace))
{
    setObjectName(QStringLiteral("tbPlayer"));
    setMovable(false);
    // Drawn over the lower part of the library list: nothing of the list may
    // show through between the buttons.
    setAutoFillBackground(true);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    // Compact buttons, so that the time display fits beside them at the
    // window's default width.
    setIconSize(QSize(16, 16));
    // A button with a drop-down keeps room for its arrow beside the caption,
    // so that "Stop" and "Next" are never cut short.
    setStyleSheet(QStringLiteral("QToolBar { spacing: 0px; } QToolBar::separator { width: 2px; } "
                                 "QToolButton { padding: 1px 0px; margin: 0px; } "
                                 "QToolButton[popupMode=\"1\"] { padding-right: 6px; } "
                                 "QToolButton::menu-button { width: 6px; }"));

    setThemeIcon(actions.tbPrev, "media-skip-backward");
    setThemeIcon(actions.tbPlay, "media-playback-start");
    setThemeIcon(actions.tbPause, "media-playback-pause");
    setThemeIcon(actions.tbStop, "media-playback-stop");
    setThemeIcon(actions.tbNext, "media-skip-forward");
    setThemeIcon(actions.tbContinue, "media-playlist-consecutive");
    setThemeIcon(actions.tbRandom, "media-playlist-shuffle");
    setThemeIcon(actions.tbRepeat, "media-playlist-repeat");
    setThemeIcon(actions.tbMixer, "audio-volume-high");
    setThemeIcon(actions.tbPreferences, "preferences-system");

    addAction(actions.tbPrev);
    addAction(actions.tbPlay);
    addAction(actions.tbPause);
    addDropDown(this, actions.tbStop, actions.tbbFadeOut);
    addDropDown(this, actions.tbNext, actions.tbbFadeOutNext);
    addSeparator();
    addAction(actions.tbContinue);
    addAction(actions.tbRandom);
    addAction(actions.tbRepeat);
    addAction(actions.tbMixer);
    addSeparator();

    // The time display: white time and grey sign in a bold terminal font on
    // black, with the progress under them.
    m_tbTimePlace->setObjectName(QStringLiteral("tbTimePlace"));
    auto *picTime = new QFrame(m_tbTimePlace);
    picTime->setObjectName(QStringLiteral("picTime"));
    picTime->setStyleSheet(QStringLiteral("#picTime { background-color: #000000; }"));

    QFont terminal(QStringLiteral("Terminal"));
    terminal.setStyleHint(QFont::TypeWriter);
    terminal.setBold(true);
    terminal.setPointSizeF(13.5);
    m_lblTime->setObjectName(QStringLiteral("lblTime"));
    m_lblTime->setFont(terminal);
    m_lblTime->setStyleSheet(QStringLiteral("color: #ffffff;"));
    m_lblSign->setObjectName(QStringLiteral("lblSign"));
    m_lblSign->setFont(terminal);
    m_lblSign->setStyleSheet(QStringLiteral("color: #808080;"));
    m_pbTime->setObjectName(QStringLiteral("pbTime"));
    m_pbTime->setRange(0, 100);
    m_pbTime->setValue(0);
    m_pbTime->setTextVisible(false);
    m_pbTime->setMaximumHeight(8);

    auto *digits = new QHBoxLayout;
    digits->setContentsMargins(0, 0, 0, 0);
    digits->addWidget(m_lblSign);
    digits->addWidget(m_lblTime, 1);
    auto *timeLayout = new QVBoxLayout(picTime);
    timeLayout->setContentsMargins(3, 2, 3, 3);
    timeLayout->setSpacing(2);
    timeLayout->addLayout(digits);
    timeLayout->addWidget(m_pbTime);

    // The time display keeps its design size and sits 70 twips into its
    // placeholder, which keeps its design width: neither grows with the bar.
    const double dpi = logicalDpiX();
    const QSize timeSize(twipsToPixels(kTimeDisplayWidth, dpi),
                         twipsToPixels(kTimeDisplayHeight, dpi));
    picTime->setFixedSize(timeSize);
    picTime->move(twipsToPixels(kTimeDisplayLeft, dpi), 1);
    m_tbTimePlace->setFixedSize(twipsToPixels(kTimePlaceWidth, dpi), timeSize.height() + 2);
    addWidget(m_tbTimePlace);
    addSeparator();
    addAction(actions.tbPreferences);

    // The captions are short and may be switched off: the buttons are read
    // out in plain words.
    nameOverflowButton(this);
    const std::pair<QAction *, const char *> spoken[] = {
        {actions.tbPrev, "Previous"}, {actions.tbPlay, "Play"},
        {actions.tbPause, "Pause"},   {actions.tbStop, "Stop"},
        {actions.tbNext, "Next"},     {actions.tbContinue, "Continue"},
        {actions.tbRandom, "Random"}, {actions.tbRepeat, "Repeat"},
        {actions.tbMixer, "Mixer"},   {actions.tbPreferences, "Preferences"}};
    for (const auto &[action, name] : spoken)
        nameToolButton(this, action, QLatin1String(name));
    picTime->setAccessibleName(QStringLiteral("Time"));
    m_pbTime->setAccessibleName(QStringLiteral("Song progress"));
}

void PlayerToolBar::setTimeText(const QString &text)
{
    m_lblTime->setText(text);
}

void PlayerToolBar::setProgress(int percent)
{
    m_pbTime->setValue(qBound(0, percent, 100));
}
