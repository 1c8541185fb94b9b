#pragma once

#include <QObject>
#include <QString>

class QWidget;

// The library's root object, which the host finds through QPluginLoader:
// it makes the library's controls by their class names ("VU.ucVU"). The host
// calls it through the meta-object system only, so it shares no header with
// the library.
class VuControlFactory : public QObject
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.vorn.ControlLibrary/1" FILE "vu.json")

public:
    // A new control of that class, or null for a class the library does not
    // hold. The control reads the default output's peak meter.
    Q_INVOKABLE QWidget *createControl(const QString &className, QWidget *parent);
};
