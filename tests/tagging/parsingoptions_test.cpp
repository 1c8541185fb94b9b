#include "core/settingsstore.h"
#include "tagging/parsingoptions.h"

#include <QAction>
#include <QFile>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

QStringList shown(const QListWidget *list)
{
    QStringList entries;
    for (int row = 0; row < list->count(); ++row) {
        const QListWidgetItem *item = list->item(row);
        entries.append((item->checkState() == Qt::Checked ? "1" : "0") + item->text());
    }
    return entries;
}

QAction *button(const ParsingOptions &options, int index, const char *key)
{
    return options.tbMoveFields(index)->findChild<QAction *>(QLatin1String(key));
}

void click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(8, widget->height() / 2));
}

} // namespace

TEST(ParsingOptionsWidget, EnablingFollowsTheChosenEngine)
{
    ParsingOptions options;
    options.show();
    const auto enabled = [&] {
        return std::vector<bool>{
            options.lstFields(0)->isEnabled(), options.tbMoveFields(0)->isEnabled(),
            options.lstFields(1)->isEnabled(), options.tbMoveFields(1)->isEnabled()};
    };
    EXPECT_EQ(options.engine(), 0);
    EXPECT_EQ(enabled(), (std::vector<bool>{false, false, false, false}));
    click(options.opEngine(1));
    EXPECT_EQ(options.engine(), 1);
    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, false, false}));
    click(options.opEngine(2));
    EXPECT_EQ(options.engine(), 2);
    EXPECT_EQ(enabled(), (std::vector<bool>{false, false, true, true}));
    click(options.opEngine(0));
    EXPECT_EQ(enabled(), (std::vector<bool>{false, false, false, false}));

    EXPECT_EQ(options.opEngine(0)->text(), QStringLiteral("Use ID3 Tag"));
    EXPECT_EQ(options.opEngine(1)->text(), QStringLiteral("Parse File Name"));
    EXPECT_EQ(options.opEngine(2)->text(), QStringLiteral("Parse Directory Tree"));
    EXPECT_EQ(options.opDefault(0)->text(), QStringLiteral("Use this method when"));
    EXPECT_EQ(options.opDefault(1)->text(), QStringLiteral("Always ask"));
    EXPECT_EQ(options.opDefault(2)->text(), QStringLiteral("Don't parse"));
    EXPECT_EQ(button(options, 0, "tbUp")->toolTip(), QStringLiteral("Move Up"));
    EXPECT_EQ(button(options, 1, "tbDown")->toolTip(), QStringLiteral("Move Down"));
}

TEST(ParsingOptionsWidget, MoveButtonsCarryCheckMarksWithNames)
{
    ParsingOptions options;
    options.show();
    click(options.opEngine(1));
    QListWidget *list = options.lstFields(0);
    // Tick Artist by clicking its check box, then make it current.
    const QRect artist = list->visualItemRect(list->item(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      QPoint(artist.left() + 10, artist.center().y()));
    EXPECT_EQ(shown(list), (QStringList{"0Title", "1Artist", "0Album", "0Genre"}));
    list->setCurrentRow(1);

    button(options, 0, "tbUp")->trigger();
    EXPECT_EQ(shown(list), (QStringList{"1Artist", "0Title", "0Album", "0Genre"}));
    EXPECT_EQ(list->currentRow(), 0);
    button(options, 0, "tbUp")->trigger(); // already first
    EXPECT_EQ(shown(list), (QStringList{"1Artist", "0Title", "0Album", "0Genre"}));

    for (int i = 0; i < 5; ++i)
        button(options, 0, "tbDown")->trigger();
    EXPECT_EQ(shown(list), (QStringList{"0Title", "0Album", "0Genre", "1Artist"}));
    EXPECT_EQ(list->currentRow(), 3);
    // The other list is untouched.
    EXPECT_EQ(shown(options.lstFields(1)), (QStringList{"0Title", "0Artist", "0Album", "0Genre"}));

    // No current item: nothing moves.
    options.setFieldOrder(1, readFieldOrder(QStringLiteral("1Genre,0Title,")));
    options.lstFields(1)->setCurrentRow(-1);
    options.tbMoveFields_ButtonClick(1, QStringLiteral("tbDown"));
    options.tbMoveFields_ButtonClick(1, QStringLiteral("tbUp"));
    EXPECT_EQ(shown(options.lstFields(1)), (QStringList{"1Genre", "0Title"}));
}

TEST(ParsingOptionsWidget, OneDialogsStoredChoicesAreReadBackByAnother)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("VORN.ini");
    {
        SettingsStore settings(ini);
        ParsingOptions editor;
        editor.show();
        click(editor.opEngine(1));
        click(editor.opDefault(2));
        editor.setFieldOrder(0, readFieldOrder(QStringLiteral("1Artist,1Title,0Album,0Genre,")));
        editor.setFieldOrder(1, readFieldOrder(QStringLiteral("0Genre,1Album,0Title,0Artist,")));
        editor.choices().save(settings);
    }
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray stored = file.readAll();
    EXPECT_TRUE(stored.contains("[OpenWizard]\n")) << stored.constData();
    for (const char *line :
         {"Engine=1\n", "Default=2\n", "FNFields=\"1Artist,1Title,0Album,0Genre,\"\n",
          "DTFields=\"0Genre,1Album,0Title,0Artist,\"\n"})
        EXPECT_TRUE(stored.contains(line)) << line << " in " << stored.constData();

    SettingsStore settings(ini);
    ParsingOptions reader;
    reader.load(WizardSettings::read(settings));
    EXPECT_EQ(reader.engine(), 1);
    EXPECT_TRUE(reader.opDefault(2)->isChecked());
    EXPECT_EQ(shown(reader.lstFields(0)), (QStringList{"1Artist", "1Title", "0Album", "0Genre"}));
    EXPECT_EQ(shown(reader.lstFields(1)), (QStringList{"0Genre", "1Album", "0Title", "0Artist"}));
    EXPECT_TRUE(reader.lstFields(0)->isEnabled());
    EXPECT_FALSE(reader.lstFields(1)->isEnabled());
}

TEST(WizardSettingsStore, MissingAndDamagedValuesReadAsDefaults)
{
    QTemporaryDir dir;
    SettingsStore settings(dir.filePath("VORN.ini"));
    EXPECT_EQ(WizardSettings::read(settings), WizardSettings());
    EXPECT_EQ(writeFieldOrder(WizardSettings().fileNameFields),
              QStringLiteral("0Title,0Artist,0Album,0Genre,"));
    settings.SaveSetting("OpenWizard", "Engine", "9");
    settings.SaveSetting("OpenWizard", "Default", "x");
    const WizardSettings read = WizardSettings::read(settings);
    EXPECT_EQ(read.engine, 0);
    EXPECT_EQ(read.defaultRule, 0);
}
