// A note of the status bar and its panels never cover each other, however
// early the note comes.
#include "support/frmmainfixture.h"

#include <QLabel>
#include <QStatusBar>

namespace {

class StatusNote : public frmMainFixture
{
protected:
    // Where each visible text of the status bar is painted: the note from the
    // bar's left edge (as Qt's status bar paints it), every shown panel.
    static QList<QRect> shownTexts(QStatusBar &bar)
    {
        QList<QRect> texts;
        if (!bar.currentMessage().isEmpty())
            texts << QRect(0, 0, 6 + bar.fontMetrics().horizontalAdvance(bar.currentMessage()),
                           bar.height());
        for (QLabel *panel : bar.findChildren<QLabel *>()) {
            if (panel->isVisible() && !panel->text().isEmpty())
                texts << panel->geometry();
        }
        return texts;
    }
    static bool anyTwoMeet(const QList<QRect> &texts)
    {
        for (qsizetype i = 0; i < texts.size(); ++i)
            for (qsizetype j = i + 1; j < texts.size(); ++j)
                if (texts[i].intersects(texts[j]))
                    return true;
        return false;
    }
};

TEST_F(StatusNote, TheRecoveryNoteOfTheStartUpAndTheTroubleNotesLeaveNoPanelUnderThem)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), threeSongs);
    writeBytes(path(QStringLiteral("Rock.tmp")), threeSongs.left(threeSongs.indexOf('\n') + 1));
    auto window = makeWindow();
    // The start-up timer fires while the splash is up, before the window shows.
    window->tmrInit_Timer();
    window->show();
    QStatusBar &bar = *window->statusBar();
    ASSERT_FALSE(bar.currentMessage().isEmpty());
    EXPECT_FALSE(anyTwoMeet(shownTexts(bar)));

    bar.clearMessage();
    EXPECT_EQ(shownTexts(bar).size(), 3);
    EXPECT_FALSE(anyTwoMeet(shownTexts(bar)));

    bar.showMessage(QStringLiteral("mpv could not be started; trying again in 1 s"));
    EXPECT_FALSE(anyTwoMeet(shownTexts(bar)));
    bar.clearMessage();
    EXPECT_EQ(shownTexts(bar).size(), 3);
}

} // namespace
