#include "library/frmmisc.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Shows the prompt modally, acts on it once it is up, and returns PromptText.
QString runPrompt(const QString &start, const std::function<void(frmMisc &)> &act)
{
    frmMisc prompt;
    prompt.setWindowTitle(QStringLiteral("Save As"));
    prompt.setMessage(QStringLiteral("Select a name for the Play List"));
    prompt.setText(start);
    QTimer::singleShot(0, &prompt, [&] { act(prompt); });
    // Bounded: should the action not close the dialog, close it after 5 s.
    QTimer::singleShot(5000, &prompt, [&] { prompt.done(QDialog::Rejected); });
    prompt.exec();
    return frmMisc::PromptText;
}

} // namespace

TEST(frmMisc, OkReturnsTheTextExactlyAsTyped)
{
    const QString result = runPrompt(QString(), [](frmMisc &prompt) {
        prompt.findChild<QLineEdit *>(QStringLiteral("txtText"))
            ->setText(QStringLiteral("  Rock  "));
        prompt.findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
    });
    EXPECT_EQ(result, QStringLiteral("  Rock  "));
}

TEST(frmMisc, CancelOkOnEmptyAndClosingByTheFrameAllGiveAnEmptyText)
{
    frmMisc::PromptText = QStringLiteral("left over");
    EXPECT_TRUE(runPrompt(QStringLiteral("Pop"), [](frmMisc &prompt) {
                    prompt.findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click();
                }).isEmpty());

    frmMisc::PromptText = QStringLiteral("left over");
    EXPECT_TRUE(runPrompt(QString(), [](frmMisc &prompt) {
                    prompt.findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
                }).isEmpty());

    frmMisc::PromptText = QStringLiteral("left over");
    EXPECT_TRUE(
        runPrompt(QStringLiteral("Pop"), [](frmMisc &prompt) { prompt.close(); }).isEmpty());
}

TEST(frmMisc, StartsWithTheCallersTextAndCentresOnTheScreen)
{
    QString shown;
    QPoint centre;
    QPoint screenCentre;
    runPrompt(QStringLiteral("Jazz"), [&](frmMisc &prompt) {
        shown = prompt.findChild<QLineEdit *>(QStringLiteral("txtText"))->text();
        centre = prompt.geometry().center();
        screenCentre = prompt.screen()->geometry().center();
        prompt.findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
    });
    EXPECT_EQ(shown, QStringLiteral("Jazz"));
    EXPECT_LE((centre - screenCentre).manhattanLength(), 4);
    EXPECT_EQ(frmMisc::PromptText, QStringLiteral("Jazz"));
}
