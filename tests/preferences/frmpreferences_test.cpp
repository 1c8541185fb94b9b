#include "banner/bannersettings.h"
#include "banner/bannerstrip.h"
#include "core/settingsstore.h"
#include "loudness/loudnesssettings.h"
#include "mixer/frmmixer.h"
#include "mixer/mixersettings.h"
#include "playback/playeractions.h"
#include "playback/playersettings.h"
#include "preferences/frmpreferences.h"
#include "preferences/playerpath.h"
#include "support/frmmainfixture.h"
#include "support/scripteddialogs.h"
#include "tagging/fieldorder.h"
#include "tagging/parsingoptions.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class frmPreferencesTest : public ::testing::Test
{
protected:
    std::unique_ptr<frmPreferences> open()
    {
        frmPreferences::Hooks hooks;
        hooks.setSilenceDetect = [this](int ms) { silenceTimes.push_back(ms); };
        auto dialog = std::make_unique<frmPreferences>(settings, dialogs, QStringLiteral("mpv"),
                                                       std::move(hooks));
        dialog->show();
        return dialog;
    }
    template <typename T>
    static T *child(QWidget &dialog, const char *name)
    {
        T *found = dialog.findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static void click(QWidget &dialog, const char *button)
    {
        QTest::mouseClick(child<QPushButton>(dialog, button), Qt::LeftButton);
    }
    QByteArray iniBytes()
    {
        settings.sync();
        QFile file(ini);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // An executable program file in the temporary folder.
    QString program(const char *name)
    {
        const QString path = dir.filePath(QLatin1String(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
        file.close();
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
        return path;
    }

    QTemporaryDir dir;
    QString ini = dir.filePath(QStringLiteral("VORN.ini"));
    SettingsStore settings{ini};
    ScriptedDialogs dialogs;
    std::vector<int> silenceTimes;
};

} // namespace

TEST_F(frmPreferencesTest, EmptyStoreShowsTheDefaultsOnTheGeneralPage)
{
    auto dialog = open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Preferences"));
    auto *pages = child<QTabWidget>(*dialog, "tsPages");
    ASSERT_EQ(pages->count(), 5);
    EXPECT_EQ(pages->currentWidget()->objectName(), QStringLiteral("picGeneral"));
    EXPECT_EQ(child<QLineEdit>(*dialog, "txtWAPath")->text(), QString());
    EXPECT_EQ(pages->currentWidget()->findChild<QLabel *>()->text(),
              QStringLiteral("mpv Location"));
    EXPECT_EQ(child<QComboBox>(*dialog, "cmbSilenceOptions")->currentText(), QStringLiteral("OFF"));
    EXPECT_EQ(child<QComboBox>(*dialog, "cmbSilenceOptions")->count(), 7);
    EXPECT_TRUE(dialog->bannerFont().bold);
    EXPECT_EQ(dialog->bannerFont().name, QStringLiteral("Tahoma"));
    EXPECT_EQ(dialog->bannerFont().color, 65535u);
    EXPECT_EQ(dialog->backColor(), 0u);
    // The description names the font the banner really gets.
    EXPECT_EQ(child<QLabel>(*dialog, "lblFont")->text(),
              QFontInfo(QFont(QStringLiteral("Tahoma"))).family() + QStringLiteral(", 12pt"));
    EXPECT_EQ(frmPreferences::fontDescription(QStringLiteral("Tahoma"), 12),
              QStringLiteral("Tahoma, 12pt"));
    EXPECT_EQ(frmPreferences::fontDescription(QStringLiteral("Arial"), 14.25),
              QStringLiteral("Arial, 14.25pt"));
    auto *parsing = child<ParsingOptions>(*dialog, "parsingOptions");
    EXPECT_EQ(parsing->engine(), kTagEngine);
    EXPECT_TRUE(parsing->opDefault(0)->isChecked());
    for (int list = 0; list < 2; ++list) {
        EXPECT_EQ(writeFieldOrder(parsing->fieldOrder(list)), QLatin1String(kDefaultFieldOrder));
        // The tag engine leaves both lists to the other engines.
        EXPECT_FALSE(parsing->lstFields(list)->isEnabled());
    }
    const QRect screen = dialog->screen()->availableGeometry();
    EXPECT_LE(std::abs(dialog->frameGeometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(dialog->frameGeometry().center().y() - screen.center().y()), 1);
    const double dpi = dialog->screen()->logicalDotsPerInch();
    EXPECT_GE(dialog->width(), qRound(5175 * dpi / 1440) - 1);
    EXPECT_GE(dialog->height(), qRound(4275 * dpi / 1440) - 1);
}

TEST_F(frmPreferencesTest, ClickingTheTabsShowsExactlyTheChosenPage)
{
    auto dialog = open();
    auto *pages = child<QTabWidget>(*dialog, "tsPages");
    QTabBar *bar = pages->tabBar();
    const std::vector<std::pair<int, const char *>> order{
        {3, "picParse"}, {1, "picMixer"}, {4, "picLoudness"}, {2, "picBanner"}, {0, "picGeneral"},
        {2, "picBanner"}};
    for (const auto &[tab, page] : order) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
        EXPECT_EQ(pages->currentWidget()->objectName(), QLatin1String(page));
        EXPECT_TRUE(pages->currentWidget()->isVisible());
    }
    dialog->tsPages_Click(QStringLiteral("tsNoSuchTab"));
    EXPECT_EQ(pages->currentWidget()->objectName(), QStringLiteral("picBanner"));
}

TEST_F(frmPreferencesTest, OkWritesEveryKeyAndGivesTheMeterTheSilenceTime)
{
    const QString player = program("myplayer");
    auto dialog = open();
    dialogs.fileAnswers.push_back({player});
    click(*dialog, "cmdBrowse");
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.fileDialogs[0].title, QStringLiteral("Select the mpv application"));
    EXPECT_EQ(child<QLineEdit>(*dialog, "txtWAPath")->text(), player);

    child<QComboBox>(*dialog, "cmbSilenceOptions")->setCurrentIndex(5); // "3 sec"

    // Bold differs from italic and strike-out from underline: each key must
    // take its own attribute.
    FontChoice font{QStringLiteral("Courier"), 14.5, true, false, false, true, 255};
    dialogs.fontAnswers.push_back(font);
    click(*dialog, "cmdSelect");
    ASSERT_EQ(dialogs.fontDialogs.size(), 1u);
    EXPECT_EQ(dialogs.fontDialogs[0].color, 65535u); // started at the swatch's colour
    EXPECT_TRUE(child<QLabel>(*dialog, "lblFont")->text().endsWith(QStringLiteral(", 14.5pt")));

    dialogs.colorAnswers.push_back(16711680u); // blue
    click(*dialog, "cmdBackColor");
    EXPECT_EQ(dialogs.colorDialogs.back(), 0u);

    click(*dialog, "cmdOK");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(silenceTimes, std::vector<int>{3000});
    EXPECT_TRUE(dialogs.messages.empty());

    const QByteArray expected = "[OpenWizard]\n"
                                "DTFields=\"0Title,0Artist,0Album,0Genre,\"\n"
                                "Default=0\n"
                                "Engine=0\n"
                                "FNFields=\"0Title,0Artist,0Album,0Genre,\"\n"
                                "\n"
                                "[Preferences]\n"
                                "Banner_BackColor=16711680\n"
                                "Banner_FontBold=1\n"
                                "Banner_FontColor=255\n"
                                "Banner_FontItalic=0\n"
                                "Banner_FontName=Courier\n"
                                "Banner_FontSize=14.5\n"
                                "Banner_FontStrike=0\n"
                                "Banner_FontUnderline=1\n"
                                "Loudness_Even=1\n"
                                "Loudness_Target=-18\n"
                                "Loudness_UseGainTags=1\n"
                                "SilenceDetection=5\n"
                                "Winamp=" +
                                player.toUtf8() + "\n";
    EXPECT_EQ(iniBytes(), expected);
}

// The Loudness page as the user works it: its choices are stored by OK
// only, and read back on the next opening; with Winamp it says that the
// player cannot follow them.
TEST_F(frmPreferencesTest, LoudnessPageIsStoredByOkOnlyAndNamesAPlayerWithoutSongGain)
{
    const QByteArray before = iniBytes();
    for (const char *leave : {"cmdCancel", "cmdOK"}) {
        auto dialog = open();
        auto *pages = child<QTabWidget>(*dialog, "tsPages");
        QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {}, pages->tabBar()->tabRect(4).center());
        ASSERT_EQ(pages->currentWidget()->objectName(), QStringLiteral("picLoudness"));
        auto *even = child<QCheckBox>(*dialog, "chkEvenLoudness");
        auto *target = child<QSpinBox>(*dialog, "udLoudnessTarget");
        auto *tags = child<QCheckBox>(*dialog, "chkUseGainTags");
        EXPECT_TRUE(even->isChecked());
        EXPECT_EQ(target->value(), -18);
        EXPECT_TRUE(tags->isChecked());
        EXPECT_EQ(dialog->findChild<QLabel *>(QStringLiteral("lblLoudnessPlayer")), nullptr);

        // Down to the lowest target and past it: it stays at -23.
        target->setFocus();
        for (int i = 0; i < 7; ++i)
            QTest::keyClick(target, Qt::Key_Down);
        EXPECT_EQ(target->value(), -23);
        QTest::mouseClick(tags, Qt::LeftButton, {}, QPoint(5, tags->height() / 2));
        QTest::mouseClick(even, Qt::LeftButton, {}, QPoint(5, even->height() / 2));
        EXPECT_FALSE(target->isEnabled());
        click(*dialog, leave);
        EXPECT_FALSE(dialog->isVisible());
        if (QLatin1String(leave) == QLatin1String("cmdCancel"))
            EXPECT_EQ(iniBytes(), before);
    }
    EXPECT_EQ(settings.value(LoudnessSettings::kEvenLoudness), QStringLiteral("0"));
    EXPECT_EQ(settings.value(LoudnessSettings::kTarget), QStringLiteral("-23"));
    EXPECT_EQ(settings.value(LoudnessSettings::kUseGainTags), QStringLiteral("0"));
    const LoudnessSettings::Options stored = LoudnessSettings::read(settings);
    EXPECT_FALSE(stored.even);
    EXPECT_EQ(stored.targetLufs, -23);

    frmPreferences winamp(settings, dialogs, QStringLiteral("Winamp"), {});
    const auto *note = winamp.findChild<QLabel *>(QStringLiteral("lblLoudnessPlayer"));
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->text().startsWith(QStringLiteral("Winamp cannot give each song its own gain")));
    EXPECT_FALSE(winamp.findChild<QCheckBox *>(QStringLiteral("chkEvenLoudness"))->isChecked());
}

TEST_F(frmPreferencesTest, BrowseNamesThePlayerInUse)
{
    for (const char *name : {"mpv", "Winamp"}) {
        const QString player = QLatin1String(name);
        frmPreferences dialog(settings, dialogs, player, {});
        dialog.show();
        EXPECT_EQ(dialog.findChild<QTabWidget *>()->currentWidget()->findChild<QLabel *>()->text(),
                  player + QStringLiteral(" Location"));
        dialogs.fileAnswers.push_back({});
        click(dialog, "cmdBrowse");
        ASSERT_FALSE(dialogs.fileDialogs.empty());
        EXPECT_EQ(dialogs.fileDialogs.back().title,
                  QStringLiteral("Select the %1 application").arg(player));
        EXPECT_EQ(dialogs.fileDialogs.back().text,
                  player == QLatin1String("Winamp")
                      ? QStringLiteral("Winamp Application|winamp.exe")
                      : QStringLiteral("mpv Application|mpv"));
    }
}

TEST_F(frmPreferencesTest, CancelledSubDialogsAndCancelChangeNothing)
{
    settings.save(MixerSettings::kSilenceDetection, QStringLiteral("2"));
    const QByteArray before = iniBytes();
    for (const char *leave : {"cmdCancel", "Escape", "close"}) {
        auto dialog = open();
        dialogs.fontAnswers.push_back(std::nullopt);
        click(*dialog, "cmdSelect");
        dialogs.colorAnswers.push_back(std::nullopt);
        click(*dialog, "cmdFontColor");
        EXPECT_EQ(dialog->bannerFont().color, 65535u);
        dialogs.fileAnswers.push_back({});
        click(*dialog, "cmdBrowse");
        EXPECT_EQ(child<QLineEdit>(*dialog, "txtWAPath")->text(), QString());

        child<QLineEdit>(*dialog, "txtWAPath")->setText(QStringLiteral("/bin/sh"));
        child<QComboBox>(*dialog, "cmbSilenceOptions")->setCurrentIndex(6);
        dialogs.colorAnswers.push_back(255u);
        click(*dialog, "cmdBackColor");
        if (QLatin1String(leave) == QLatin1String("Escape"))
            QTest::keyClick(dialog.get(), Qt::Key_Escape);
        else if (QLatin1String(leave) == QLatin1String("close"))
            dialog->close();
        else
            click(*dialog, leave);
        EXPECT_FALSE(dialog->isVisible()) << leave;
        EXPECT_EQ(dialog->result(), QDialog::Rejected) << leave;
        EXPECT_EQ(iniBytes(), before) << leave;
    }
    EXPECT_TRUE(silenceTimes.empty());
}

TEST_F(frmPreferencesTest, PlayerPathThatCannotRunIsRefusedAndKeptSelectedInTheField)
{
    const QString good = program("goodplayer");
    settings.save(PlayerSettings::kWinamp, good);
    QFile plain(dir.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QByteArray before = iniBytes();

    for (const QString &bad : {dir.filePath(QStringLiteral("missing/player")), plain.fileName(),
                               dir.path(), QStringLiteral("no-such-player-vorn")}) {
        auto dialog = open();
        child<QLineEdit>(*dialog, "txtWAPath")->setText(bad);
        child<QComboBox>(*dialog, "cmbSilenceOptions")->setCurrentIndex(3);
        click(*dialog, "cmdOK");
        ASSERT_EQ(dialogs.messages.size(), 1u) << bad.toStdString();
        EXPECT_TRUE(dialogs.messages[0].text.contains(bad))
            << dialogs.messages[0].text.toStdString();
        dialogs.messages.clear();
        EXPECT_TRUE(dialog->isVisible());
        // What was typed stays, all of it selected, to be corrected.
        auto *typed = child<QLineEdit>(*dialog, "txtWAPath");
        EXPECT_EQ(typed->text(), bad);
        EXPECT_EQ(typed->selectedText(), bad);
        EXPECT_EQ(iniBytes(), before);
        EXPECT_TRUE(silenceTimes.empty());
    }
    EXPECT_FALSE(playerPathProblem(QString()));
    EXPECT_FALSE(playerPathProblem(good));
    EXPECT_FALSE(playerPathProblem(QStringLiteral("sh")));
}

TEST_F(frmPreferencesTest, StoredValuesAreShownAndAMissingFontShowsTheFallback)
{
    settings.save(PlayerSettings::kWinamp, QStringLiteral("/usr/bin/mpv"));
    settings.save(MixerSettings::kSilenceDetection, QStringLiteral("6"));
    settings.save(BannerSettings::kFontName, QStringLiteral("No Such Font Vorn"));
    settings.save(BannerSettings::kFontSize, QStringLiteral("9"));
    settings.save(BannerSettings::kFontBold, QStringLiteral("0"));
    settings.save(BannerSettings::kBackColor, QStringLiteral("255"));
    auto dialog = open();
    EXPECT_EQ(child<QLineEdit>(*dialog, "txtWAPath")->text(), QStringLiteral("/usr/bin/mpv"));
    EXPECT_EQ(child<QComboBox>(*dialog, "cmbSilenceOptions")->currentText(),
              QStringLiteral("5 sec"));
    EXPECT_FALSE(dialog->bannerFont().bold);
    EXPECT_EQ(dialog->backColor(), 255u);
    const QString shown = child<QLabel>(*dialog, "lblFont")->text();
    EXPECT_FALSE(shown.contains(QStringLiteral("No Such Font Vorn")));
    EXPECT_EQ(shown, QFontInfo(QFont(QStringLiteral("No Such Font Vorn"))).family() +
                         QStringLiteral(", 9pt"));
}

using PreferencesRoute = frmMainFixture;

TEST_F(PreferencesRoute, PrefButtonOpensThePreferencesAndOkReachesTheMixerAtOnce)
{
    auto window = start();
    bool appeared = false;
    QTimer::singleShot(0, window.get(), [&appeared] {
        auto *dialog = qobject_cast<frmPreferences *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        appeared = true;
        dialog->findChild<QComboBox *>(QStringLiteral("cmbSilenceOptions"))->setCurrentIndex(5);
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")),
                          Qt::LeftButton);
    });
    window->playerActions().tbPreferences->trigger();
    EXPECT_TRUE(appeared);
    ASSERT_NE(window->mixer().vuMeter(), nullptr);
    EXPECT_EQ(window->mixer().vuMeter()->property("SilenceDetect").toInt(), 3000);
    EXPECT_FALSE(window->mixer().isVisible());
    EXPECT_EQ(settings->value(MixerSettings::kSilenceDetection), QStringLiteral("5"));
}

TEST_F(PreferencesRoute, AfterCancelTheBannerFollowsTheStoreAndAMissingPlayerIsLinked)
{
    auto player = std::make_unique<FakePlayerLink>();
    player->present = false;
    player->startSucceeds = false;
    link = player.get();
    auto window = std::make_unique<frmMain>(dir.path(), *settings, dialogs, std::move(player));
    window->show();
    window->tmrInit_Timer();
    ASSERT_FALSE(window->PlayerLinked());
    const std::size_t messages = dialogs.messages.size();

    QTimer::singleShot(0, window.get(), [this] {
        auto *dialog = qobject_cast<frmPreferences *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        // Changed behind the dialog's back: the window re-reads the store.
        settings->save(BannerSettings::kFontName, QStringLiteral("Courier"));
        link->present = true;
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    window->playerActions().tbPreferences->trigger();
    EXPECT_EQ(window->banner().lblBanner(0)->font().family(), QStringLiteral("Courier"));
    EXPECT_TRUE(window->PlayerLinked());
    EXPECT_EQ(dialogs.messages.size(), messages);
    EXPECT_EQ(settings->value(MixerSettings::kSilenceDetection), QStringLiteral("0"));
}
