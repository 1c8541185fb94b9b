#include "vuhost.h"

#include "core/resourcefolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>
#include <QWidget>

namespace VuHost {

QStringList defaultFolders()
{
    return ResourceFolders::libraryFolders(QCoreApplication::applicationDirPath());
}

QWidget *createVuMeter(const QStringList &folders, QWidget *parent, QString *why,
                       QString *loadedFrom)
{
    static const QStringList kNames{QStringLiteral("libvu.so"), QStringLiteral("vu.dll"),
                                    QStringLiteral("libvu.dylib")};
    QString reason = QStringLiteral("The VU meter library was not found.");
    for (const QString &folder : folders) {
        for (const QString &name : kNames) {
            const QString path = QDir(folder).filePath(name);
            if (!QFileInfo::exists(path))
                continue;
            // The loader stays loaded for the rest of the run: the control's
            // code lives in it.
            QPluginLoader loader(path);
            QObject *factory = loader.instance();
            if (!factory) {
                reason = loader.errorString();
                continue;
            }
            QWidget *control = nullptr;
            const bool called = QMetaObject::invokeMethod(
                factory, "createControl", Qt::DirectConnection, Q_RETURN_ARG(QWidget *, control),
                Q_ARG(QString, QStringLiteral("VU.ucVU")), Q_ARG(QWidget *, parent));
            if (called && control) {
                if (loadedFrom)
                    *loadedFrom = QFileInfo(path).absoluteFilePath();
                return control;
            }
            reason = QStringLiteral("The VU meter library does not make the control VU.ucVU.");
        }
    }
    if (why)
        *why = reason;
    return nullptr;
}

} // namespace VuHost
