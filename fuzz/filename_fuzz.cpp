#include "tagging/fieldparsing.h"

#include <cstdlib>

// Any file name and any choice of marked fields give either no fields or one
// "chKey=value" entry per field name at most, then the closing empty entry.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte marks the fields, the rest is the name.
    FieldOrder order = readFieldOrder(QString::fromLatin1(kDefaultFieldOrder));
    for (size_t i = 0; i < order.size(); ++i)
        order[i].marked = (data[0] >> i) & 1;
    const QString name = QString::fromUtf8(reinterpret_cast<const char *>(data + 1),
                                           static_cast<qsizetype>(size - 1));
    const QStringList entries = fileNameFieldEntries(name, order);
    if (static_cast<size_t>(entries.size()) > order.size() + 1)
        std::abort();
    for (qsizetype i = 0; i + 1 < entries.size(); ++i)
        if (!entries[i].startsWith(QLatin1String("ch")) || !entries[i].contains(QLatin1Char('=')))
            std::abort();
    (void)withoutExtension(name);
    return 0;
}
