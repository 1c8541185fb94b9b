#pragma once

#include <QStringList>

class QWidget;

// Loads the VU control library at run time and makes its control by class
// name. The program shares no header with the library: it reaches the control
// only through the meta-object system.
namespace VuHost {

// Where the library is looked for: beside the program (the build tree), then
// the installed library folder.
QStringList defaultFolders();

// The control "VU.ucVU" from the first library found in `folders`, with
// `parent`; null when no library there could be loaded or made the control.
// `why` receives the reason then; `loadedFrom` the library's path on success.
QWidget *createVuMeter(const QStringList &folders, QWidget *parent, QString *why = nullptr,
                       QString *loadedFrom = nullptr);

} // namespace VuHost
