#include "core/duration.h"

#include <QString>

// Any length text reads as some number of seconds without overflow or other
// undefined behaviour (the sanitizers stop the run), and that number is
// written as a length text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const qint64 seconds = ParseDuration(text);
    (void)FormatDuration(seconds);
    return 0;
}
