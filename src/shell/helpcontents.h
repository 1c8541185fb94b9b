#pragma once

#include <QString>

class HelpBrowser;
class UserDialogs;

// The help index page in the program's Help folder: beside the program, or
// where the installed layout puts it.
QString helpIndexPath(const QString &programFolder);

// Help > Contents: opens the help index in the user's browser; when no
// browser can be started, says so. A missing page is the browser's to report.
void mnuHelpContents_Click(HelpBrowser &browser, UserDialogs &dialogs,
                           const QString &programFolder);

// The version as the about window shows it: the first three numbers of a
// dotted version, each without leading zeros ("1.00.0107" shows "1.0.107").
// Missing numbers read as 0.
QString versionCaption(const QString &version);
