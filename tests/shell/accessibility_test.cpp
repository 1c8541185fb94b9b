// What assistive tools see: every control of the main window, the mixer and
// the preferences has a name in plain words, read through Qt's accessibility
// interfaces, and the in-place rename of a play list is reachable by keys.
#include "mixer/frmmixer.h"
#include "playback/playeractions.h"
#include "playback/playertoolbar.h"
#include "shell/mainactions.h"
#include "support/frmmainfixture.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <string>
#include <vector>

namespace {

bool needsName(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::List:
    case QAccessible::Table:
    case QAccessible::Tree:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::Dial:
    case QAccessible::ProgressBar:
    case QAccessible::PageTabList:
    case QAccessible::PageTab:
        return true;
    default:
        return false;
    }
}

QString describe(QAccessibleInterface *iface)
{
    QObject *object = iface->object();
    QString what = object ? QString::fromLatin1(object->metaObject()->className()) +
                                QLatin1Char(' ') + object->objectName()
                          : QStringLiteral("(no object)");
    if (object && object->parent())
        what += QStringLiteral(" in ") + object->parent()->objectName();
    return what + QStringLiteral(" role 0x") + QString::number(iface->role(), 16);
}

// Every control below `iface` that needs a name and has none. The rows and
// cells of item views carry their data and are not walked.
void collectUnnamed(QAccessibleInterface *iface, std::vector<std::string> &unnamed, int &checked,
                    int depth = 0)
{
    if (!iface || !iface->isValid() || depth > 40)
        return;
    const QAccessible::Role role = iface->role();
    if (needsName(role)) {
        ++checked;
        if (iface->text(QAccessible::Name).trimmed().isEmpty())
            unnamed.push_back(describe(iface).toStdString());
    }
    if (role == QAccessible::List || role == QAccessible::Table || role == QAccessible::Tree)
        return;
    for (int i = 0; i < iface->childCount(); ++i)
        collectUnnamed(iface->child(i), unnamed, checked, depth + 1);
}

std::string joined(const std::vector<std::string> &lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += "\n  " + line;
    return text;
}

QString nameOf(QObject *object)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(QAccessible::Name) : QString();
}

class Accessibility : public frmMainFixture
{
protected:
    void expectAllNamed(QWidget *top, int atLeast)
    {
        std::vector<std::string> unnamed;
        int checked = 0;
        collectUnnamed(QAccessible::queryAccessibleInterface(top), unnamed, checked);
        EXPECT_TRUE(unnamed.empty()) << "controls without a name:" << joined(unnamed);
        EXPECT_GE(checked, atLeast) << "the walk did not reach the controls";
    }
};

TEST_F(Accessibility, EveryControlOfTheMainWindowHasAName)
{
    ASSERT_TRUE(QFile(path(QStringLiteral("Rock.sdf"))).open(QIODevice::WriteOnly));
    auto window = start();
    expectAllNamed(window.get(), 20);

    // Without text labels the buttons keep their captions as names.
    window->mainActions().mnuViewTextLabels->trigger();
    ASSERT_FALSE(window->mainActions().mnuViewTextLabels->isChecked());
    expectAllNamed(window.get(), 20);
    EXPECT_EQ(nameOf(window->mainActions().buttonFor(window->mainActions().tbSavePlayList)),
              QStringLiteral("Save"));
    EXPECT_EQ(nameOf(window->playerToolBar().widgetForAction(window->playerActions().tbPlay)),
              QStringLiteral("Play"));

    // The named things that are no buttons.
    EXPECT_EQ(nameOf(window->findChild<QWidget *>(QStringLiteral("lvPlayLists"))),
              QStringLiteral("Play lists"));
    EXPECT_EQ(nameOf(window->findChild<QWidget *>(QStringLiteral("lvSongsDetails"))),
              QStringLiteral("Songs"));
    EXPECT_EQ(nameOf(window->findChild<QWidget *>(QStringLiteral("picTime"))),
              QStringLiteral("Time"));
    EXPECT_EQ(nameOf(window->findChild<QWidget *>(QStringLiteral("pbTime"))),
              QStringLiteral("Song progress"));
    EXPECT_EQ(nameOf(window->findChild<QWidget *>(QStringLiteral("picBanner"))),
              QStringLiteral("Player banner"));
    // The status panels read out what they show.
    EXPECT_EQ(nameOf(window->findChild<QWidget *>(QStringLiteral("pPlayLists"))),
              QStringLiteral("1 Play Lists"));
}

TEST_F(Accessibility, TheMixerAndThePreferencesNameTheirControls)
{
    auto window = start();
    frmMixer *mixer = &window->mixer();
    mixer->show();
    expectAllNamed(mixer, 4);
    mixer->hide();

    // The preferences dialog is modal: walked while it is up, then cancelled.
    bool walked = false;
    QTimer::singleShot(0, window.get(), [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        expectAllNamed(dialog, 8);
        walked = true;
        dialog->close();
    });
    window->showPreferences();
    EXPECT_TRUE(walked);
}

TEST_F(Accessibility, F2RenamesThePlayListInPlaceWithANamedEditor)
{
    ASSERT_TRUE(QFile(path(QStringLiteral("Rock.sdf"))).open(QIODevice::WriteOnly));
    auto window = start();
    auto *library = window->findChild<QTreeView *>(QStringLiteral("lvPlayLists"));
    ASSERT_NE(library, nullptr);
    window->activateWindow();
    library->setFocus();
    QTest::mouseClick(library->viewport(), Qt::LeftButton, {},
                      library->visualRect(library->model()->index(0, 0)).center());

    QTest::keyClick(library, Qt::Key_F2);
    QLineEdit *editor = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (editor = library->findChild<QLineEdit *>()) && editor->isVisible(); }, 5000))
        << "F2 opened no editor";
    EXPECT_EQ(editor->text(), QStringLiteral("Rock"));
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(editor);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::EditableText);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Play list name"));
    EXPECT_TRUE(iface->state().focusable);
    ASSERT_NE(iface->textInterface(), nullptr);
    EXPECT_EQ(iface->textInterface()->text(0, iface->textInterface()->characterCount()),
              QStringLiteral("Rock"));

    // Typed and confirmed by keys, the play list takes the new name.
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("Jazz"));
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return exists(QStringLiteral("Jazz.sdf")); }, 5000));
    EXPECT_FALSE(exists(QStringLiteral("Rock.sdf")));
}

} // namespace
