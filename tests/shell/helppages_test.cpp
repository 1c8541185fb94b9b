// The help pages name only what the program shows: every word set in bold
// is the caption of a menu item, button, check box, tab or label of VORN.
#include "mixer/frmmixer.h"
#include "preferences/frmpreferences.h"
#include "support/frmmainfixture.h"
#include "tagging/frmaddwizard.h"
#include "tagging/libraryplaylisttarget.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTabWidget>
#include <QTextDocumentFragment>

namespace {

class HelpPages : public frmMainFixture
{
protected:
    static QString plain(QString caption)
    {
        caption.replace(QLatin1String("&&"), QLatin1String("\x01"));
        caption.remove(QLatin1Char('&'));
        caption.replace(QLatin1Char('\x01'), QLatin1Char('&'));
        return caption.trimmed();
    }
    static void collect(const QWidget &top, QSet<QString> &captions)
    {
        for (const QAction *action : top.findChildren<QAction *>())
            captions.insert(plain(action->text()));
        for (const QAbstractButton *button : top.findChildren<QAbstractButton *>())
            captions.insert(plain(button->text()));
        for (const QLabel *label : top.findChildren<QLabel *>())
            captions.insert(plain(label->text()));
        for (const QTabWidget *tabs : top.findChildren<QTabWidget *>())
            for (int i = 0; i < tabs->count(); ++i)
                captions.insert(plain(tabs->tabText(i)));
    }
};

TEST_F(HelpPages, EveryBoldNameIsACaptionTheProgramShows)
{
    auto window = start();
    QSet<QString> captions;
    collect(*window, captions);
    collect(window->mixer(), captions);
    frmPreferences preferences(*settings, dialogs, QStringLiteral("mpv"), {});
    collect(preferences, captions);
    LibraryPlayListTarget target(window->store(), window->commands(), window->songEditor());
    frmAddWizard wizard(*settings, dialogs, target, dir.path());
    collect(wizard, captions);

    const QDir help(QFileInfo(QStringLiteral(VORN_PROGRAM)).absolutePath() +
                    QStringLiteral("/Help"));
    const QStringList pages = help.entryList({QStringLiteral("*.html")}, QDir::Files);
    ASSERT_GE(pages.size(), 5);
    const QRegularExpression bold(QStringLiteral("<b>(.*?)</b>"));
    int named = 0;
    for (const QString &page : pages) {
        QFile file(help.filePath(page));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        for (const QRegularExpressionMatch &match : bold.globalMatch(html)) {
            const QString name = QTextDocumentFragment::fromHtml(match.captured(1)).toPlainText();
            // "Play List > New" names a menu and its item.
            for (const QString &part : name.split(QStringLiteral(" > "))) {
                EXPECT_TRUE(captions.contains(part)) << page.toStdString() << ": " << part.toStdString();
                ++named;
            }
        }
    }
    EXPECT_GT(named, 30);
}

} // namespace
