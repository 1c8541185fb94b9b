#pragma once

#include <QString>
#include <QStringList>

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
};

// "Description|*.a;*.b|All Files (*.*)|*.*" as Qt's name filters
// ("Description (*.a *.b)", "All Files (*.*) (*.*)" shortened to its text).
QStringList qtNameFilters(const QString &filter);
