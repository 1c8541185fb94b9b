#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

// The answer a user gave to a message box.
enum class DialogAnswer
{
    Ok,
    Yes,
    No,
    Cancel,
};

// Which buttons a message box offers.
enum class DialogButtons
{
    Ok,
    OkCancel,
    YesNo,
    YesNoCancel,
};

enum class DialogIcon
{
    None,
    Information,
    Warning,
    Critical,
    Question,
};

// A font as the font dialog edits it; the colour is a stored colour value
// (red in the lowest byte, then green, then blue).
struct FontChoice
{
    QString name;
    double pointSize = 12.0;
    bool bold = false;
    bool italic = false;
    bool strikeOut = false;
    bool underline = false;
    quint32 color = 0;

    bool operator==(const FontChoice &) const = default;
};

// Every question or notice that VORN puts to the user goes through this seam,
// so that tests can answer for the user and see what was asked.
class UserDialogs
{
public:
    virtual ~UserDialogs() = default;

    // A modal message box. Closing it without a button counts as Cancel where
    // Cancel is offered, else as the last button.
    virtual DialogAnswer messageBox(const QString &title, const QString &text,
                                    DialogButtons buttons, DialogIcon icon) = 0;

    // The text prompt: returns what the user confirmed, or an empty text when
    // the prompt was cancelled or closed.
    virtual QString promptText(const QString &title, const QString &message,
                               const QString &text) = 0;

    // The open-file dialog with several files allowed, each required to exist.
    // `filter` is written as "Description|*.a;*.b|Description|*.*". Returns
    // the full paths in the dialog's order; empty when cancelled.
    virtual QStringList openFileNames(const QString &title, const QString &filter) = 0;

    // The folder browser: returns the chosen folder's full path, or an empty
    // text when the user cancelled.
    virtual QString browseFolder(const QString &prompt) = 0;

    // The font dialog with the effects (strike-out, underline, colour),
    // offering installed fonts only. Nothing when the user cancelled.
    virtual std::optional<FontChoice> chooseFont(const FontChoice &current) = 0;

    // The colour dialog starting at `current` (a stored colour value).
    // Nothing when the user cancelled.
    virtual std::optional<quint32> chooseColor(quint32 current) = 0;
};

// "Description|*.a;*.b|All Files (*.*)|*.*" as Qt's name filters
// ("Description (*.a *.b)", "All Files (*.*) (*.*)" shortened to its text).
QStringList qtNameFilters(const QString &filter);
