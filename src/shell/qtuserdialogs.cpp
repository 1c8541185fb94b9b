#include "qtuserdialogs.h"

#include "banner/colorvalue.h"
#include "library/frmmisc.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>

namespace {

QMessageBox::StandardButtons standardButtons(DialogButtons buttons)
{
    switch (buttons) {
    case DialogButtons::Ok:
        return QMessageBox::Ok;
    case DialogButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case DialogButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case DialogButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon messageIcon(DialogIcon icon)
{
    switch (icon) {
    case DialogIcon::None:
        return QMessageBox::NoIcon;
    case DialogIcon::Information:
        return QMessageBox::Information;
    case DialogIcon::Warning:
        return QMessageBox::Warning;
    case DialogIcon::Critical:
        return QMessageBox::Critical;
    case DialogIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

DialogAnswer answerOf(int button, DialogButtons buttons)
{
    switch (button) {
    case QMessageBox::Ok:
        return DialogAnswer::Ok;
    case QMessageBox::Yes:
        return DialogAnswer::Yes;
    case QMessageBox::No:
        return DialogAnswer::No;
    case QMessageBox::Cancel:
        return DialogAnswer::Cancel;
    default:
        break;
    }
    switch (buttons) {
    case DialogButtons::Ok:
        return DialogAnswer::Ok;
    case DialogButtons::YesNo:
        return DialogAnswer::No;
    case DialogButtons::OkCancel:
    case DialogButtons::YesNoCancel:
        return DialogAnswer::Cancel;
    }
    return DialogAnswer::Cancel;
}

} // namespace

QtUserDialogs::QtUserDialogs(QWidget *parent)
    : m_parent(parent)
{}

void QtUserDialogs::setParent(QWidget *parent)
{
    m_parent = parent;
}

DialogAnswer QtUserDialogs::messageBox(const QString &title, const QString &text,
                                       DialogButtons buttons, DialogIcon icon)
{
    QMessageBox box(messageIcon(icon), title, text, standardButtons(buttons), m_parent);
    return answerOf(box.exec(), buttons);
}

QString QtUserDialogs::promptText(const QString &title, const QString &message, const QString &text)
{
    frmMisc prompt(m_parent);
    prompt.setWindowTitle(title);
    prompt.setMessage(message);
    prompt.setText(text);
    prompt.exec();
    return frmMisc::PromptText;
}

QStringList QtUserDialogs::openFileNames(const QString &title, const QString &filter)
{
    QFileDialog dialog(m_parent, title);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setOption(QFileDialog::ReadOnly);
    dialog.setNameFilters(qtNameFilters(filter));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString QtUserDialogs::browseFolder(const QString &prompt)
{
    return QFileDialog::getExistingDirectory(m_parent, prompt, QString(),
                                             QFileDialog::ShowDirsOnly);
}

std::optional<FontChoice> QtUserDialogs::chooseFont(const FontChoice &current)
{
    QFont font(current.name);
    font.setPointSizeF(current.pointSize);
    font.setBold(current.bold);
    font.setItalic(current.italic);
    font.setStrikeOut(current.strikeOut);
    font.setUnderline(current.underline);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, m_parent);
    if (!ok)
        return std::nullopt;
    // Qt's font dialog has no colour; the colour stays as it was.
    FontChoice choice = current;
    choice.name = chosen.family();
    choice.pointSize = chosen.pointSizeF();
    choice.bold = chosen.bold();
    choice.italic = chosen.italic();
    choice.strikeOut = chosen.strikeOut();
    choice.underline = chosen.underline();
    return choice;
}

std::optional<quint32> QtUserDialogs::chooseColor(quint32 current)
{
    const QColor chosen = QColorDialog::getColor(colorFromValue(current), m_parent);
    if (!chosen.isValid())
        return std::nullopt;
    return colorValue(chosen);
}
