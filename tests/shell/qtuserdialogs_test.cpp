// The real Qt dialogs behind the user-dialog seam, answered by clicks.
#include "banner/bannersettings.h"
#include "core/settingsstore.h"
#include "preferences/frmpreferences.h"
#include "shell/qtuserdialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs `answer` on the next modal dialog, once it is up.
void whenModal(const std::function<void(QWidget &)> &answer)
{
    QTimer::singleShot(0, qApp, [answer] {
        if (QWidget *modal = QApplication::activeModalWidget())
            answer(*modal);
    });
}

void clickOk(QWidget &dialog)
{
    auto *box = dialog.findChild<QDialogButtonBox *>();
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

} // namespace

TEST(QtFontDialog, OkWithoutAChangeKeepsEveryStoredAttribute)
{
    const QString installed = QFontDatabase::families().value(0);
    ASSERT_FALSE(installed.isEmpty());
    // Bold and italic differ, and strike-out and underline, in both cases.
    const std::vector<FontChoice> stored = {
        {QStringLiteral("No Such Font Vorn"), 13.5, true, false, true, false, 255},
        {installed, 11, false, true, false, true, 0},
        {installed, 20, true, true, true, true, 65535},
    };
    QtUserDialogs dialogs;
    for (const FontChoice &font : stored) {
        whenModal([](QWidget &dialog) { clickOk(dialog); });
        const std::optional<FontChoice> chosen = dialogs.chooseFont(font);
        ASSERT_TRUE(chosen) << font.name.toStdString();
        EXPECT_EQ(*chosen, font) << font.name.toStdString();
    }

    // A change of one attribute changes that one alone.
    whenModal([](QWidget &dialog) {
        auto &fonts = static_cast<QFontDialog &>(dialog);
        QFont bigger = fonts.currentFont();
        bigger.setPointSizeF(30);
        fonts.setCurrentFont(bigger);
        clickOk(dialog);
    });
    FontChoice expected = stored[0];
    expected.pointSize = 30;
    EXPECT_EQ(dialogs.chooseFont(stored[0]), expected);
}

TEST(QtFontDialog, PreferencesSelectAndOkKeepTheStoredFontKeys)
{
    QTemporaryDir dir;
    SettingsStore settings(dir.filePath(QStringLiteral("VORN.ini")));
    settings.save(BannerSettings::kFontName, QStringLiteral("No Such Font Vorn"));
    settings.save(BannerSettings::kFontSize, QStringLiteral("15"));
    settings.save(BannerSettings::kFontBold, QStringLiteral("1"));
    settings.save(BannerSettings::kFontItalic, QStringLiteral("0"));
    settings.save(BannerSettings::kFontStrike, QStringLiteral("0"));
    settings.save(BannerSettings::kFontUnderline, QStringLiteral("1"));
    QtUserDialogs dialogs;
    frmPreferences preferences(settings, dialogs, QStringLiteral("mpv"), {});
    preferences.show();
    whenModal([](QWidget &dialog) { clickOk(dialog); });
    QTest::mouseClick(preferences.findChild<QPushButton *>(QStringLiteral("cmdSelect")),
                      Qt::LeftButton);
    QTest::mouseClick(preferences.findChild<QPushButton *>(QStringLiteral("cmdOK")),
                      Qt::LeftButton);
    EXPECT_EQ(preferences.result(), QDialog::Accepted);
    EXPECT_EQ(settings.value(BannerSettings::kFontName), QStringLiteral("No Such Font Vorn"));
    EXPECT_EQ(settings.value(BannerSettings::kFontSize), QStringLiteral("15"));
    EXPECT_EQ(settings.value(BannerSettings::kFontBold), QStringLiteral("1"));
    EXPECT_EQ(settings.value(BannerSettings::kFontItalic), QStringLiteral("0"));
    EXPECT_EQ(settings.value(BannerSettings::kFontStrike), QStringLiteral("0"));
    EXPECT_EQ(settings.value(BannerSettings::kFontUnderline), QStringLiteral("1"));
}

TEST(QtMessageBox, EveryTextShowsWholeAndInsideTheScreen)
{
    const QString words = QStringLiteral(
        "The long evening play list for the corner cafe on the main street, Fridays and "
        "Saturdays only, with the songs the owner likes best at closing time");
    const QStringList texts = {
        QStringLiteral("Do you want to save changes for the 'Untitled"),
        QStringLiteral("Do you want to save changes for the '") + words,
        QStringLiteral("Do you want to save changes for the '") + QString(160, QLatin1Char('X')),
    };
    QtUserDialogs dialogs;
    int shot = 0;
    for (const QString &text : texts) {
        QString shown;
        bool fits = false;
        bool onScreen = false;
        whenModal([&](QWidget &box) {
            auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
            if (!label)
                return;
            // Places to break a long word are zero-width: the text reads the same.
            shown = label->text().remove(QChar(0x200B));
            const QRect inBox(label->mapTo(&box, QPoint(0, 0)), label->size());
            fits = box.rect().contains(inBox) &&
                   label->heightForWidth(label->width()) <= label->height() &&
                   label->minimumSizeHint().width() <= label->width();
            onScreen = box.screen()->availableGeometry().contains(box.frameGeometry());
            const QString folder = qEnvironmentVariable("VORN_SHOT_DIR");
            if (!folder.isEmpty())
                box.grab().save(folder + QStringLiteral("/shot-question-%1.png").arg(++shot));
            QTest::keyClick(&box, Qt::Key_Escape);
        });
        EXPECT_EQ(dialogs.messageBox(QStringLiteral("VORN"), text, DialogButtons::YesNoCancel,
                                     DialogIcon::Question),
                  DialogAnswer::Cancel);
        EXPECT_EQ(shown, text);
        EXPECT_TRUE(fits) << text.toStdString();
        EXPECT_TRUE(onScreen) << text.toStdString();
    }
}
