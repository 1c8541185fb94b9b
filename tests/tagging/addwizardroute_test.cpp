#include "library/playlistlibrarymodel.h"
#include "playback/playeractions.h"
#include "shell/mainactions.h"
#include "support/frmmainfixture.h"
#include "tagging/frmaddwizard.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

class AddWizardRoute : public frmMainFixture
{
protected:
    // Runs the Add Wizard item; `press` is the wizard button clicked once the
    // dialog is up. Returns whether the wizard appeared, modal.
    bool runWizard(frmMain &window, const char *press)
    {
        bool appeared = false;
        QTimer::singleShot(0, &window, [&appeared, press] {
            auto *wizard = qobject_cast<frmAddWizard *>(QApplication::activeModalWidget());
            if (!wizard)
                return;
            appeared = wizard->windowTitle() == QLatin1String("Add Wizard");
            QTest::mouseClick(wizard->findChild<QPushButton *>(QLatin1String(press)),
                              Qt::LeftButton);
        });
        window.mainActions().tbbAddWizard->trigger();
        return appeared;
    }
};

} // namespace

TEST_F(AddWizardRoute, ClosingTheWizardRefreshesTheStatusBar)
{
    auto window = start();
    const QString playLists = panel(*window, "pPlayLists");
    window->findChild<QLabel *>(QStringLiteral("pPlayLists"))->setText(QStringLiteral("stale"));
    EXPECT_TRUE(runWizard(*window, "cmdClose"));
    EXPECT_EQ(panel(*window, "pPlayLists"), playLists);
}

TEST_F(AddWizardRoute, OpenWithoutAPlayListAddsToANewOne)
{
    auto window = start();
    ASSERT_EQ(window->library().count(), 0);
    EXPECT_TRUE(runWizard(*window, "cmdOpen"));
    ASSERT_EQ(window->library().count(), 1);
    EXPECT_EQ(window->library().entry(0).tag, QStringLiteral("*"));
    EXPECT_EQ(panel(*window, "pPlayLists"), QStringLiteral("1 Play Lists"));
    // The status refresh wrote the new play list's working copy.
    EXPECT_TRUE(exists(window->library().entry(0).name + QStringLiteral(".tmp")));
}

TEST_F(AddWizardRoute, WhileMusicPlaysTheWizardAddsOnlyToThePlayingList)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), threeSongs);
    auto window = start();
    window->playerActions().tbPlay->trigger();
    ASSERT_EQ(link->played, QStringList{QStringLiteral("/m/1.mp3")});

    bool greyed = false;
    QTimer::singleShot(0, window.get(), [&greyed] {
        auto *wizard = qobject_cast<frmAddWizard *>(QApplication::activeModalWidget());
        if (!wizard)
            return;
        auto *chkNew = wizard->findChild<QCheckBox *>(QStringLiteral("chkNew"));
        QTest::mouseClick(chkNew, Qt::LeftButton, {}, QPoint(8, chkNew->height() / 2));
        greyed = !chkNew->isEnabled() && !chkNew->isChecked();
        QTest::mouseClick(wizard->findChild<QPushButton *>(QStringLiteral("cmdOpen")),
                          Qt::LeftButton);
    });
    window->mainActions().tbbAddWizard->trigger();
    EXPECT_TRUE(greyed);
    EXPECT_EQ(window->library().count(), 1);
    EXPECT_EQ(window->library().entry(0).name, QStringLiteral("Rock"));
    window->playerActions().tbNext->trigger();
    EXPECT_EQ(link->played.back(), QStringLiteral("/m/2.mp3"));

    // Stopped, a new list may be made again.
    window->playerActions().tbStop->trigger();
    bool offered = false;
    QTimer::singleShot(0, window.get(), [&offered] {
        auto *wizard = qobject_cast<frmAddWizard *>(QApplication::activeModalWidget());
        if (!wizard)
            return;
        auto *chkNew = wizard->findChild<QCheckBox *>(QStringLiteral("chkNew"));
        QTest::mouseClick(chkNew, Qt::LeftButton, {}, QPoint(8, chkNew->height() / 2));
        offered = chkNew->isEnabled() && chkNew->isChecked();
        QTest::mouseClick(wizard->findChild<QPushButton *>(QStringLiteral("cmdOpen")),
                          Qt::LeftButton);
    });
    window->mainActions().tbbAddWizard->trigger();
    EXPECT_TRUE(offered);
    EXPECT_EQ(window->library().count(), 2);
}
