#pragma once

class QAction;
class QString;
class QToolBar;

// Names that assistive tools read out for controls that show no text of
// their own.

// The button a tool bar shows when its buttons do not fit ("More buttons").
void nameOverflowButton(QToolBar *bar);

// The button of `action` on `bar`, whatever the button shows (an icon only,
// or a caption that the user may switch off).
void nameToolButton(QToolBar *bar, QAction *action, const QString &name);
