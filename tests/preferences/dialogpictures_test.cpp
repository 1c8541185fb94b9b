#include "core/settingsstore.h"
#include "core/twips.h"
#include "preferences/frmpreferences.h"
#include "shell/frmnag.h"
#include "shell/mainactions.h"
#include "support/frmmainfixture.h"
#include "support/scripteddialogs.h"
#include "tagging/frmaddwizard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

// Every dialog the user sees is checked for controls cut off by their window
// or by each other. With VORN_SHOT_DIR set, each is also saved as a picture
// there, to be looked at by eye (scripts/screenshot does this).

namespace {

bool isControl(const QWidget *w)
{
    return qobject_cast<const QLabel *>(w) || qobject_cast<const QAbstractButton *>(w) ||
           qobject_cast<const QLineEdit *>(w) || qobject_cast<const QComboBox *>(w) ||
           qobject_cast<const QListWidget *>(w);
}

// The visible controls of `window`, in window coordinates.
std::vector<std::pair<const QWidget *, QRect>> controls(const QWidget &window)
{
    std::vector<std::pair<const QWidget *, QRect>> found;
    for (const QWidget *w : window.findChildren<QWidget *>()) {
        // Buttons inside a tab bar or toolbar are drawn by their owner.
        if (!w->isVisibleTo(&window) || !isControl(w) || w->parent()->inherits("QTabBar"))
            continue;
        found.emplace_back(w, QRect(w->mapTo(&window, QPoint(0, 0)), w->size()));
    }
    return found;
}

void expectNothingClipped(const QWidget &window, const std::string &what)
{
    const auto shown = controls(window);
    ASSERT_FALSE(shown.empty()) << what;
    for (const auto &[w, rect] : shown) {
        const std::string name =
            what + "/" + w->objectName().toStdString() + " " + w->metaObject()->className();
        EXPECT_TRUE(window.rect().contains(rect)) << name;
        const bool sized =
            qobject_cast<const QLabel *>(w) || qobject_cast<const QAbstractButton *>(w);
        if (sized) {
            const QSize needed = w->minimumSizeHint();
            EXPECT_GE(rect.width(), needed.width()) << name;
            EXPECT_GE(rect.height(), needed.height()) << name;
        }
        for (const auto &[other, otherRect] : shown) {
            const bool siblings = other != w && other->parentWidget() == w->parentWidget();
            if (siblings) {
                EXPECT_FALSE(rect.intersects(otherRect))
                    << name << " overlaps " << other->objectName().toStdString();
            }
        }
    }
}

void savePicture(QWidget &window, const QString &name)
{
    const QString folder = qEnvironmentVariable("VORN_SHOT_DIR");
    if (!folder.isEmpty()) {
        EXPECT_TRUE(window.grab().save(folder + QLatin1Char('/') + name));
    }
}

} // namespace

TEST(DialogPictures, PreferencesPagesShowEveryControlWhole)
{
    QTemporaryDir dir;
    SettingsStore settings(dir.filePath(QStringLiteral("VORN.ini")));
    ScriptedDialogs dialogs;
    frmPreferences dialog(settings, dialogs, QStringLiteral("mpv"), {});
    dialog.show();
    // 5175 x 4275 twips at the default font: nothing needs more room.
    const double dpi = dialog.screen()->logicalDotsPerInch();
    const QSize designed(twipsToPixels(5175, dpi), twipsToPixels(4275, dpi));
    EXPECT_EQ(dialog.size(), designed);
    EXPECT_EQ(designed, QSize(345, 285)) << "at " << dpi << " dpi";
    auto *pages = dialog.findChild<QTabWidget *>(QStringLiteral("tsPages"));
    for (int i = 0; i < pages->count(); ++i) {
        // Chosen as the user does, by a click on the tab.
        QTabBar *bar = pages->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
        QCoreApplication::processEvents();
        QWidget *current = pages->currentWidget();
        ASSERT_EQ(pages->currentIndex(), i);
        const QString page = current->objectName();
        expectNothingClipped(dialog, page.toStdString());
        // Every control of the page lies wholly inside the part of the page
        // that shows.
        QRect shown = current->rect();
        for (const QWidget *a = current->parentWidget(); a; a = a->parentWidget())
            shown &= QRect(current->mapFrom(a, QPoint(0, 0)), a->size());
        EXPECT_EQ(shown, current->rect()) << page.toStdString();
        for (const QWidget *w : current->findChildren<QWidget *>()) {
            if (!w->isVisibleTo(current))
                continue;
            const QRect rect(w->mapTo(current, QPoint(0, 0)), w->size());
            EXPECT_TRUE(shown.contains(rect))
                << page.toStdString() << "/" << w->objectName().toStdString() << " at " << rect.x()
                << "," << rect.y() << " " << rect.width() << "x" << rect.height() << " outside "
                << shown.width() << "x" << shown.height();
        }
        savePicture(dialog, QStringLiteral("shot-preferences-%1.png").arg(page));
    }
}

TEST(DialogPictures, SplashShowsItsLabelsWhole)
{
    frmNag splash(frmNag::AutoClose::Off);
    splash.show();
    QCoreApplication::processEvents();
    expectNothingClipped(splash, "frmNag");
    savePicture(splash, QStringLiteral("shot-splash.png"));
}

using AddWizardPicture = frmMainFixture;

TEST_F(AddWizardPicture, AddWizardShowsEveryControlWhole)
{
    auto window = start();
    bool seen = false;
    QTimer::singleShot(0, window.get(), [&seen] {
        auto *wizard = qobject_cast<frmAddWizard *>(QApplication::activeModalWidget());
        if (!wizard)
            return;
        seen = true;
        QCoreApplication::processEvents();
        expectNothingClipped(*wizard, "frmAddWizard");
        savePicture(*wizard, QStringLiteral("shot-addwizard.png"));
        wizard->reject();
    });
    window->mainActions().tbbAddWizard->trigger();
    EXPECT_TRUE(seen);
}
