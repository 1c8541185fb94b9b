#include "shell/frmnag.h"
#include "shell/helpbrowser.h"
#include "shell/helpcontents.h"
#include "shell/mainactions.h"
#include "support/frmmainfixture.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <vector>

namespace {

class ScriptedBrowser final : public HelpBrowser
{
public:
    bool starts = true;
    std::vector<QUrl> opened;
    bool openUrl(const QUrl &url) override
    {
        opened.push_back(url);
        return starts;
    }
};

int pixels(int twips)
{
    return qRound(twips * QGuiApplication::primaryScreen()->logicalDotsPerInch() / 1440.0);
}

} // namespace

TEST(VersionCaption, DropsLeadingZerosAndKeepsThreeNumbers)
{
    EXPECT_EQ(versionCaption(QStringLiteral("1.00.0107")), QStringLiteral("1.0.107"));
    EXPECT_EQ(versionCaption(QStringLiteral("0.1.0")), QStringLiteral("0.1.0"));
    EXPECT_EQ(versionCaption(QStringLiteral("2.3.4.5")), QStringLiteral("2.3.4"));
    EXPECT_EQ(versionCaption(QStringLiteral("3")), QStringLiteral("3.0.0"));
}

TEST(HelpContents, OpensTheIndexOrSaysThereIsNoBrowser)
{
    ScriptedDialogs dialogs;
    ScriptedBrowser browser;
    mnuHelpContents_Click(browser, dialogs, QStringLiteral("/opt/vorn"));
    ASSERT_EQ(browser.opened.size(), 1u);
    EXPECT_EQ(browser.opened[0], QUrl::fromLocalFile(QStringLiteral("/opt/vorn/Help/index.html")));
    EXPECT_TRUE(dialogs.messages.empty());

    browser.starts = false;
    mnuHelpContents_Click(browser, dialogs, QStringLiteral("/opt/vorn"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("VORN was unable to locate your default browser!"));
    EXPECT_EQ(dialogs.messages[0].icon, DialogIcon::Critical);
    EXPECT_EQ(dialogs.messages[0].buttons, DialogButtons::Ok);
}

TEST(HelpContents, PagesAreInstalledBesideTheProgram)
{
    const QString folder = QFileInfo(QStringLiteral(VORN_PROGRAM)).absolutePath();
    for (const char *page :
         {"index.html", "playlists.html", "playmodes.html", "mixer.html", "preferences.html"}) {
        QFile file(folder + QStringLiteral("/Help/") + QLatin1String(page));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << page;
        EXPECT_TRUE(file.readAll().contains("<html")) << page;
    }
    QFile index(helpIndexPath(folder));
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    const QByteArray text = index.readAll();
    for (const char *link : {"playlists.html", "playmodes.html", "mixer.html", "preferences.html"})
        EXPECT_TRUE(text.contains(link)) << link;
}

TEST(frmNagTest, SplashIsCentredShowsTheVersionAndClosesOnItsTimer)
{
    frmNag splash(frmNag::AutoClose::On);
    EXPECT_EQ(splash.size(), QSize(pixels(7500), pixels(4500)));
    EXPECT_EQ(splash.lblVersion()->text(), versionCaption(QStringLiteral(VORN_TEST_VERSION)));
    EXPECT_FALSE(splash.lblUserName()->text().isEmpty());
    EXPECT_TRUE(splash.tmrAutoClose()->isActive());
    EXPECT_EQ(splash.tmrAutoClose()->interval(), 3000);
    splash.show();
    const QRect screen = splash.screen()->geometry();
    EXPECT_LE(std::abs(splash.geometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(splash.geometry().center().y() - screen.center().y()), 1);

    // A click on a label leaves it up; the timer's tick closes it.
    QTest::mouseClick(splash.lblVersion(), Qt::LeftButton);
    EXPECT_TRUE(splash.isVisible());
    splash.tmrAutoClose_Timer();
    EXPECT_FALSE(splash.isVisible());
    EXPECT_EQ(splash.result(), QDialog::Accepted);
}

TEST(frmNagTest, AboutWindowStaysUntilClicked)
{
    frmNag about(frmNag::AutoClose::Off);
    EXPECT_FALSE(about.tmrAutoClose()->isActive());
    about.show();
    QTest::mouseClick(&about, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(about.isVisible());
}

using HelpMenu = frmMainFixture;

TEST_F(HelpMenu, AboutShowsTheWindowModallyWithoutAutoClose)
{
    auto window = start();
    bool sawModal = false;
    bool timerOff = false;
    QTimer::singleShot(0, window.get(), [&] {
        auto *about = qobject_cast<frmNag *>(QApplication::activeModalWidget());
        if (!about)
            return;
        sawModal = true;
        timerOff = !about->tmrAutoClose()->isActive();
        QTest::mouseClick(about, Qt::LeftButton, {}, QPoint(5, 5));
    });
    window->mainActions().mnuHelpAbout->trigger();
    EXPECT_TRUE(sawModal);
    EXPECT_TRUE(timerOff);
}

TEST_F(HelpMenu, ContentsOpensTheProgramsHelpIndex)
{
    auto window = start();
    ScriptedBrowser browser;
    browser.starts = false;
    window->setHelpBrowser(&browser);
    window->mainActions().mnuHelpContents->trigger();
    ASSERT_EQ(browser.opened.size(), 1u);
    EXPECT_EQ(browser.opened[0],
              QUrl::fromLocalFile(helpIndexPath(QCoreApplication::applicationDirPath())));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("VORN was unable to locate your default browser!"));
}

TEST_F(HelpMenu, ProgramStartsWithTheSplashWhichClosesByItself)
{
    bool sawSplash = false;
    bool autoClose = false;
    QObject guard; // the check never outlives this test
    QTimer::singleShot(0, &guard, [&] {
        auto *splash = qobject_cast<frmNag *>(QApplication::activeModalWidget());
        if (!splash)
            return;
        sawSplash = true;
        autoClose = splash->tmrAutoClose()->isActive();
        splash->tmrAutoClose_Timer();
    });
    auto player = std::make_unique<FakePlayerLink>();
    frmMain window(dir.path(), *settings, dialogs, std::move(player), frmMain::StartUp::WithSplash);
    EXPECT_TRUE(sawSplash);
    EXPECT_TRUE(autoClose);
}
