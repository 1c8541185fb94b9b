// The main window opens where it was closed, to the pixel, start after
// start; what is stored is what the window had.
#include "core/twips.h"
#include "playback/playertoolbar.h"
#include "support/frmmainfixture.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

namespace {

class StoredGeometry : public frmMainFixture
{
protected:
    // Starts as the program does: the start-up timer fires while the splash
    // is up, before the window shows. Returns the window's area once shown.
    QRect startAndClose()
    {
        auto window = makeWindow();
        window->tmrInit_Timer();
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QCoreApplication::processEvents();
        const QRect shown = window->geometry();
        EXPECT_TRUE(closeWindow(*window));
        reopenSettings();
        return shown;
    }
    QStringList stored()
    {
        QStringList values;
        for (const char *key : {"MainX", "MainY", "MainW", "MainH"})
            values << settings->GetSetting("Preferences", key, {});
        return values;
    }
};

TEST_F(StoredGeometry, ThreeStartsGiveTheSamePlaceAndSizeWithEveryViewOption)
{
    struct Case
    {
        const char *textLabels;
        const char *banner;
    };
    for (const Case &view : {Case{"1", "1"}, Case{"0", "1"}, Case{"1", "0"}, Case{"0", "0"}}) {
        settings->SaveSetting("Preferences", "TextLabels", QLatin1String(view.textLabels));
        settings->SaveSetting("Preferences", "ShowBanner", QLatin1String(view.banner));
        for (const char *key : {"MainX", "MainY", "MainW", "MainH"})
            settings->SaveSetting("Preferences", key, QString());
        const std::string name = std::string("labels ") + view.textLabels + " banner " + view.banner;

        // A first start: 8500 x 5500 twips where the controls fit in them.
        const QRect first = startAndClose();
        const QStringList firstStored = stored();
        const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInch();
        EXPECT_EQ(firstStored[2], QString::number(pixelsToTwips(first.width(), dpi))) << name;
        for (int round = 2; round <= 3; ++round) {
            EXPECT_EQ(startAndClose(), first) << name << " round " << round;
            EXPECT_EQ(stored(), firstStored) << name << " round " << round;
        }
    }
    settings->SaveSetting("Preferences", "TextLabels", QStringLiteral("1"));
    settings->SaveSetting("Preferences", "ShowBanner", QStringLiteral("1"));
    auto window = makeWindow();
    window->tmrInit_Timer();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QCoreApplication::processEvents();
    // 8500 x 5500 twips, or as wide as the player toolbar needs where that
    // is more.
    EXPECT_EQ(window->size(),
              QSize(std::max(567, window->playerToolBar().sizeHint().width()), 367));
    EXPECT_TRUE(closeWindow(*window));
}

TEST_F(StoredGeometry, HandWrittenValuesStayAsWrittenWhenNothingMoved)
{
    // 2000 twips is 133.3 pixels: stored back from the pixel it would be 1995.
    // The width is more than the controls need.
    const QStringList written = {"1510", "2000", "9910", "6010"};
    const char *keys[] = {"MainX", "MainY", "MainW", "MainH"};
    for (int i = 0; i < 4; ++i)
        settings->SaveSetting("Preferences", keys[i], written[i]);
    const QRect first = startAndClose();
    EXPECT_EQ(first, QRect(101, 133, 661, 401));
    EXPECT_EQ(stored(), written);
    EXPECT_EQ(startAndClose(), first);
    EXPECT_EQ(stored(), written);
}

} // namespace
