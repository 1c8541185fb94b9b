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

// The text with a place to break the line in every run of more than a few
// characters without a space: a message box wraps its text at word
// boundaries only, and would be cut off (or reach past the screen) by a play
// list name or a path without spaces. The places are zero-width spaces, so
// the text reads as it was.
QString breakableText(const QString &text)
{
    constexpr int kLongestRun = 24;
    QString out;
    out.reserve(text.size() + text.size() / kLongestRun);
    int run = 0;
    for (const QChar c : text) {
        if (c.isSpace()) {
            run = 0;
        } else if (run >= kLongestRun && !c.isLowSurrogate()) {
            out += QChar(0x200B);
            run = 0;
        }
        if (!c.isSpace())
            ++run;
        out += c;
    }
    return out;
}

QFont fontOf(const FontChoice &choice)
{
    QFont font(choice.name);
    font.setPointSizeF(choice.pointSize);
    font.setBold(choice.bold);
    font.setItalic(choice.italic);
    font.setStrikeOut(choice.strikeOut);
    font.setUnderline(choice.underline);
    return font;
}

FontChoice choiceOf(const QFont &font, const FontChoice &colourFrom)
{
    FontChoice choice = colourFrom;
    choice.name = font.family();
    choice.pointSize = font.pointSizeF();
    choice.bold = font.bold();
    choice.italic = font.italic();
    choice.strikeOut = font.strikeOut();
    choice.underline = font.underline();
    return choice;
}

} // namespace

FontChoice keptUnlessChanged(const FontChoice &stored, const FontChoice &shown,
                             const FontChoice &chosen)
{
    FontChoice result = stored;
    auto take = [](auto &into, const auto &wasShown, const auto &isChosen) {
        if (isChosen != wasShown)
            into = isChosen;
    };
    take(result.name, shown.name, chosen.name);
    take(result.pointSize, shown.pointSize, chosen.pointSize);
    take(result.bold, shown.bold, chosen.bold);
    take(result.italic, shown.italic, chosen.italic);
    take(result.strikeOut, shown.strikeOut, chosen.strikeOut);
    take(result.underline, shown.underline, chosen.underline);
    take(result.color, shown.color, chosen.color);
    return result;
}

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
    QMessageBox box(messageIcon(icon), title, breakableText(text), standardButtons(buttons),
                    m_parent);
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
    QFontDialog dialog(m_parent);
    dialog.setObjectName(QStringLiteral("dlgFont"));
    dialog.setCurrentFont(fontOf(current));
    // What the dialog shows of the stored font: a family that is not
    // installed shows as another, a style the family lacks as its nearest.
    const FontChoice shown = choiceOf(dialog.currentFont(), current);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    // Qt's font dialog has no colour; the colour stays as it was.
    return keptUnlessChanged(current, shown, choiceOf(dialog.selectedFont(), current));
}

std::optional<quint32> QtUserDialogs::chooseColor(quint32 current)
{
    const QColor chosen = QColorDialog::getColor(colorFromValue(current), m_parent);
    if (!chosen.isValid())
        return std::nullopt;
    return colorValue(chosen);
}
