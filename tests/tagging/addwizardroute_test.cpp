#include "library/playlistfile.h"
#include "library/playlistlibrarymodel.h"
#include "library/songlistmodel.h"
#include "playback/playeractions.h"
#include "shell/mainactions.h"
#include "support/frmmainfixture.h"
#include "support/taggedfiles.h"
#include "tagging/frmaddwizard.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <optional>
#include <utility>

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

// Tags with a 20 MB title and a 1 MB title of NULs, added through the Add
// Wizard of the shown window: the window goes on at once, a title is kept to
// its first 1,024 characters, a title of NULs is no title (the file name
// stands in) and the new list's working copy holds the songs.
TEST_F(AddWizardRoute, HugeTagTextsAreCutAndTheWindowGoesOn)
{
    const QString media = path(QStringLiteral("media"));
    ASSERT_TRUE(QDir().mkpath(media));
    ASSERT_TRUE(writeTaggedMp3(media + QStringLiteral("/Huge.mp3"),
                               {QString(20 * 1024 * 1024, QLatin1Char('T')), "Band", ""}));
    ASSERT_TRUE(writeTaggedMp3(media + QStringLiteral("/Nul.mp3"),
                               {QString(1024 * 1024, QChar(u'\0')), "Band", ""}));
    auto window = start();
    const QString before = QDir::currentPath();
    QDir::setCurrent(media); // where the wizard's folder list starts

    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(0, window.get(), [] {
        auto *wizard = qobject_cast<frmAddWizard *>(QApplication::activeModalWidget());
        ASSERT_NE(wizard, nullptr);
        QTest::keyClick(wizard->findChild<QListWidget *>(QStringLiteral("flstFiles")), Qt::Key_A,
                        Qt::ControlModifier);
        QTest::mouseClick(wizard->findChild<QPushButton *>(QStringLiteral("cmdOpen")),
                          Qt::LeftButton);
    });
    window->mainActions().tbbAddWizard->trigger();
    window->repaint();
    const qint64 took = clock.elapsed();
    QDir::setCurrent(before);

    // Reading the 20 MB tag takes a moment; laying its title out took minutes.
    EXPECT_LT(took, 20000);
    ASSERT_EQ(window->songs().rowCount(), 2);
    EXPECT_EQ(window->songs().row(0).title(), QString(1024, QLatin1Char('T')));
    EXPECT_EQ(window->songs().row(1).title(), QStringLiteral("Nul"));
    EXPECT_EQ(window->songs().row(1).field(chArtist), QStringLiteral("Band"));
    ASSERT_EQ(window->library().count(), 1);
    const QByteArray kept =
        readBytes(path(window->library().entry(0).name + QStringLiteral(".tmp")));
    EXPECT_EQ(kept, PlayListFile::serialize(window->songs().rows()));
}

TEST_F(AddWizardRoute, WhileMusicPlaysTheWizardAddsOnlyToThePlayingList)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), threeSongs);
    auto window = start();
    window->playerActions().tbPlay->trigger();
    ASSERT_EQ(link->played, QStringList{QStringLiteral("/m/1.mp3")});

    // Opens the wizard with the real button, clicks "Create New Play List"
    // and Open; the check box's state after the click.
    const auto clickNewAndOpen = [&window] {
        std::optional<std::pair<bool, bool>> enabledChecked;
        QTimer::singleShot(0, window.get(), [&enabledChecked] {
            auto *wizard = qobject_cast<frmAddWizard *>(QApplication::activeModalWidget());
            if (!wizard)
                return;
            auto *chkNew = wizard->findChild<QCheckBox *>(QStringLiteral("chkNew"));
            QTest::mouseClick(chkNew, Qt::LeftButton, {}, QPoint(8, chkNew->height() / 2));
            enabledChecked = {chkNew->isEnabled(), chkNew->isChecked()};
            QTest::mouseClick(wizard->findChild<QPushButton *>(QStringLiteral("cmdOpen")),
                              Qt::LeftButton);
        });
        window->mainActions().tbbAddWizard->trigger();
        return enabledChecked;
    };
    // Greyed while music plays.
    EXPECT_EQ(clickNewAndOpen(), std::make_optional(std::pair{false, false}));
    EXPECT_EQ(window->library().count(), 1);
    EXPECT_EQ(window->library().entry(0).name, QStringLiteral("Rock"));
    window->playerActions().tbNext->trigger();
    EXPECT_EQ(link->played.back(), QStringLiteral("/m/2.mp3"));

    // Stopped, a new list may be made again.
    window->playerActions().tbStop->trigger();
    EXPECT_EQ(clickNewAndOpen(), std::make_optional(std::pair{true, true}));
    EXPECT_EQ(window->library().count(), 2);
}
