#include "frmpreferences.h"

#include "banner/bannersettings.h"
#include "banner/colorvalue.h"
#include "core/settingsstore.h"
#include "core/settingvalues.h"
#include "core/twips.h"
#include "loudnesspage.h"
#include "mixer/mixersettings.h"
#include "mixer/silenceskip.h"
#include "playback/playersettings.h"
#include "playerpath.h"
#include "tagging/parsingoptions.h"
#include "tagging/wizardsettings.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <array>

namespace {

constexpr int kWidthTwips = 5175;
constexpr int kHeightTwips = 4275;
// Pixels around and between the groups of controls.
constexpr int kMargin = 6;
constexpr int kSilenceOptionCount = 7;
constexpr std::array<const char *, kSilenceOptionCount> kSilenceOptions{
    "OFF", "0.5 sec", "1 sec", "1.5 sec", "2 sec", "3 sec", "5 sec"};

QLabel *label(QWidget *parent, const char *text)
{
    return new QLabel(QString::fromUtf8(text), parent);
}

// The family the platform shows for `name`: itself when installed, else the
// one font matching falls back to.
QString familyInUse(const QString &name)
{
    if (QFontDatabase::families().contains(name, Qt::CaseInsensitive))
        return name;
    return QFontInfo(QFont(name)).family();
}

} // namespace

frmPreferences::frmPreferences(SettingsStore &settings, UserDialogs &dialogs,
                               const QString &playerName, Hooks hooks, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_dialogs(dialogs)
    , m_playerName(playerName)
    , m_hooks(std::move(hooks))
{
    setObjectName(QStringLiteral("frmPreferences"));
    setWindowTitle(QStringLiteral("Preferences"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));

    // Tight margins: the dialog keeps its designed size, and the longest
    // page (File Parsing) needs every line of it.
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    outer->setSpacing(kMargin);
    m_tsPages = new QTabWidget(this);
    m_tsPages->setObjectName(QStringLiteral("tsPages"));
    outer->addWidget(m_tsPages, 1);

    QWidget *general = addPage("picGeneral", "tsGeneral", "General");
    auto *generalGrid = new QGridLayout(general);
    generalGrid->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    auto *pathLabel = new QLabel(QStringLiteral("%1 Location").arg(m_playerName), general);
    generalGrid->addWidget(pathLabel, 0, 0, 1, 2);
    m_txtWAPath = new QLineEdit(general);
    m_txtWAPath->setObjectName(QStringLiteral("txtWAPath"));
    m_txtWAPath->setAccessibleName(pathLabel->text());
    generalGrid->addWidget(m_txtWAPath, 1, 0);
    auto *cmdBrowse = new QPushButton(QStringLiteral("&Browse"), general);
    cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    generalGrid->addWidget(cmdBrowse, 1, 1);
    generalGrid->setRowStretch(2, 1);

    QWidget *mixer = addPage("picMixer", "tsMixer", "Mixer");
    auto *mixerBox = new QVBoxLayout(mixer);
    mixerBox->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    mixerBox->addWidget(label(mixer, "Silence Detection"));
    m_cmbSilenceOptions = new QComboBox(mixer);
    m_cmbSilenceOptions->setObjectName(QStringLiteral("cmbSilenceOptions"));
    m_cmbSilenceOptions->setAccessibleName(QStringLiteral("Silence Detection"));
    m_cmbSilenceOptions->view()->setAccessibleName(QStringLiteral("Silence Detection"));
    for (const char *item : kSilenceOptions)
        m_cmbSilenceOptions->addItem(QString::fromLatin1(item));
    mixerBox->addWidget(m_cmbSilenceOptions);
    mixerBox->addStretch(1);

    QWidget *banner = addPage("picBanner", "tsBanner", "Banner");
    auto *bannerGrid = new QGridLayout(banner);
    bannerGrid->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    m_lblFont = new QLabel(QStringLiteral("Times New Roman"), banner);
    m_lblFont->setObjectName(QStringLiteral("lblFont"));
    bannerGrid->addWidget(m_lblFont, 0, 0);
    auto *cmdSelect = new QPushButton(QStringLiteral("&Select"), banner);
    cmdSelect->setObjectName(QStringLiteral("cmdSelect"));
    bannerGrid->addWidget(cmdSelect, 0, 1);
    bannerGrid->addWidget(label(banner, "Font Color:"), 1, 0);
    m_cmdFontColor = new QPushButton(banner);
    m_cmdFontColor->setObjectName(QStringLiteral("cmdFontColor"));
    m_cmdFontColor->setAccessibleName(QStringLiteral("Font Color"));
    bannerGrid->addWidget(m_cmdFontColor, 1, 1);
    bannerGrid->addWidget(label(banner, "Back Color:"), 2, 0);
    m_cmdBackColor = new QPushButton(banner);
    m_cmdBackColor->setObjectName(QStringLiteral("cmdBackColor"));
    m_cmdBackColor->setAccessibleName(QStringLiteral("Back Color"));
    bannerGrid->addWidget(m_cmdBackColor, 2, 1);
    bannerGrid->setRowStretch(3, 1);
    bannerGrid->setColumnStretch(0, 1);

    QWidget *parse = addPage("picParse", "tsParse", "File Parsing");
    auto *parseBox = new QVBoxLayout(parse);
    parseBox->setContentsMargins(kMargin, kMargin / 2, kMargin, kMargin / 2);
    m_parsing = new ParsingOptions(parse, ParsingOptions::Arrangement::SideBySide);
    m_parsing->setObjectName(QStringLiteral("parsingOptions"));
    parseBox->addWidget(m_parsing);

    QWidget *loudness = addPage("picLoudness", "tsLoudness", "Loudness");
    auto *loudnessBox = new QVBoxLayout(loudness);
    loudnessBox->setContentsMargins(0, 0, 0, 0);
    m_loudness = new LoudnessPage(m_playerName != QLatin1String("Winamp"), m_playerName, loudness);
    loudnessBox->addWidget(m_loudness);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto *cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    auto *cmdCancel = new QPushButton(QStringLiteral("Cance&l"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    outer->addLayout(buttons);

    connect(m_tsPages->tabBar(), &QTabBar::tabBarClicked, this,
            [this](int index) { tsPages_Click(m_tsPages->tabBar()->tabData(index).toString()); });
    connect(cmdBrowse, &QPushButton::clicked, this, [this] { cmdBrowse_Click(); });
    connect(cmdSelect, &QPushButton::clicked, this, [this] { cmdSelect_Click(); });
    connect(m_cmdFontColor, &QPushButton::clicked, this, [this] { cmdFontColor_Click(); });
    connect(m_cmdBackColor, &QPushButton::clicked, this, [this] { cmdBackColor_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    Form_Load();
}

QWidget *frmPreferences::addPage(const char *name, const char *key, const char *caption)
{
    auto *page = new QWidget(m_tsPages);
    page->setObjectName(QLatin1String(name));
    const int index = m_tsPages->addTab(page, QString::fromUtf8(caption));
    m_tsPages->tabBar()->setTabData(index, QString::fromLatin1(key));
    return page;
}

void frmPreferences::Form_Load()
{
    // At least the designed size; larger only where the platform's fonts
    // need more room than the design gave them.
    const QScreen *screen = this->screen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    const QSize designed(twipsToPixels(kWidthTwips, dpi), twipsToPixels(kHeightTwips, dpi));
    resize(designed.expandedTo(minimumSizeHint()));
    centreOnScreen();

    m_txtWAPath->setText(m_settings.value(PlayerSettings::kWinamp));
    const int option = static_cast<int>(
        settingNumber(m_settings.value(MixerSettings::kSilenceDetection)).value_or(0));
    m_cmbSilenceOptions->setCurrentIndex(option >= 0 && option < kSilenceOptionCount ? option : 0);

    const BannerAppearance appearance = BannerAppearance::read(m_settings);
    m_font.name = appearance.fontName;
    m_font.pointSize = appearance.fontSize;
    m_font.bold = appearance.bold;
    m_font.italic = appearance.italic;
    m_font.strikeOut = appearance.strike;
    m_font.underline = appearance.underline;
    m_font.color = colorValue(appearance.fontColor);
    m_backColor = colorValue(appearance.backColor);
    paintSwatch(m_cmdFontColor, m_font.color);
    paintSwatch(m_cmdBackColor, m_backColor);
    ShowFontDescription();

    m_tsPages->setCurrentIndex(0);
    m_parsing->load(WizardSettings::read(m_settings));
    m_loudness->load(LoudnessSettings::read(m_settings));
}

void frmPreferences::centreOnScreen()
{
    if (const QScreen *screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void frmPreferences::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The window's frame is known only now; centred again with it.
    centreOnScreen();
}

QString frmPreferences::fontDescription(const QString &name, double pointSize)
{
    return QStringLiteral("%1, %2pt").arg(name, QString::number(pointSize));
}

void frmPreferences::ShowFontDescription()
{
    // A font that is not installed shows the one the banner really gets.
    m_lblFont->setText(fontDescription(familyInUse(m_font.name), m_font.pointSize));
}

void frmPreferences::paintSwatch(QPushButton *swatch, quint32 color)
{
    swatch->setStyleSheet(
        QStringLiteral("background-color: %1;").arg(colorFromValue(color).name()));
    swatch->setProperty("colorValue", color);
}

void frmPreferences::tsPages_Click(const QString &key)
{
    for (int i = 0; i < m_tsPages->count(); ++i) {
        if (m_tsPages->tabBar()->tabData(i).toString() == key) {
            m_tsPages->setCurrentIndex(i);
            return;
        }
    }
}

void frmPreferences::cmdBrowse_Click()
{
    const bool winamp = m_playerName == QLatin1String("Winamp");
    const QString filter = winamp ? QStringLiteral("Winamp Application|winamp.exe")
                                  : QStringLiteral("%1 Application|%1").arg(m_playerName);
    const QStringList chosen = m_dialogs.openFileNames(
        QStringLiteral("Select the %1 application").arg(m_playerName), filter);
    if (!chosen.isEmpty())
        m_txtWAPath->setText(chosen.first());
}

void frmPreferences::cmdSelect_Click()
{
    FontChoice current = m_font;
    current.color = m_cmdFontColor->property("colorValue").toUInt();
    const std::optional<FontChoice> chosen = m_dialogs.chooseFont(current);
    if (!chosen)
        return;
    m_font = *chosen;
    paintSwatch(m_cmdFontColor, m_font.color);
    ShowFontDescription();
}

void frmPreferences::cmdFontColor_Click()
{
    if (const std::optional<quint32> chosen = m_dialogs.chooseColor(m_font.color)) {
        m_font.color = *chosen;
        paintSwatch(m_cmdFontColor, m_font.color);
    }
}

void frmPreferences::cmdBackColor_Click()
{
    if (const std::optional<quint32> chosen = m_dialogs.chooseColor(m_backColor)) {
        m_backColor = *chosen;
        paintSwatch(m_cmdBackColor, m_backColor);
    }
}

void frmPreferences::cmdOK_Click()
{
    // A player that cannot be started would leave VORN without a player at
    // the next link: refuse it before anything is written.
    const QString path = m_txtWAPath->text();
    if (const std::optional<QString> problem = playerPathProblem(path)) {
        m_dialogs.messageBox(QStringLiteral("Preferences"),
                             *problem + QStringLiteral(" The previous player path is kept."),
                             DialogButtons::Ok, DialogIcon::Warning);
        // What was typed stays, selected, to be corrected or typed over.
        m_tsPages->setCurrentIndex(0);
        m_txtWAPath->setFocus();
        m_txtWAPath->selectAll();
        return;
    }

    m_settings.save(PlayerSettings::kWinamp, path);
    const int option = m_cmbSilenceOptions->currentIndex();
    m_settings.save(MixerSettings::kSilenceDetection, QString::number(option));
    if (m_hooks.setSilenceDetect)
        m_hooks.setSilenceDetect(silenceDetectMs(option));

    BannerAppearance appearance;
    appearance.bold = m_font.bold;
    appearance.italic = m_font.italic;
    appearance.fontName = m_font.name;
    appearance.fontSize = m_font.pointSize;
    appearance.strike = m_font.strikeOut;
    appearance.underline = m_font.underline;
    appearance.fontColor = colorFromValue(m_font.color);
    appearance.backColor = colorFromValue(m_backColor);
    appearance.save(m_settings);

    m_parsing->choices().save(m_settings);
    LoudnessSettings::write(m_settings, m_loudness->options());
    accept();
}

void frmPreferences::cmdCancel_Click()
{
    reject();
}
