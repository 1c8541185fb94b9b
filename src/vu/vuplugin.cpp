#include "vuplugin.h"

#include "ucvu.h"

#ifdef Q_OS_WIN
#include "winmmpeaksource.h"
using OutputPeakSource = WinMmPeakSource;
#else
#include "pulsepeaksource.h"
using OutputPeakSource = PulsePeakSource;
#endif

QWidget *VuControlFactory::createControl(const QString &className, QWidget *parent)
{
    if (className != QLatin1String("VU.ucVU"))
        return nullptr;
    return new ucVU(std::make_unique<OutputPeakSource>(), {}, parent);
}
