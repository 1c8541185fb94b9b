#include "qtuserdialogs.h"

#include "library/frmmisc.h"

#include <QFileDialog>
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
