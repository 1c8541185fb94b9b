#pragma once

#include <QByteArray>
#include <QString>

#include <variant>

// A value read from the Windows registry: nothing, a text or a 32-bit number.
using RegistryValue = std::variant<std::monostate, QString, quint32>;

// The text of a string value as the registry reports it: the data up to the
// reported size, without one terminating NUL if the data ends with it (a value
// stored without a terminator is returned whole).
QByteArray registryStringData(const QByteArray &data, qsizetype reportedSize);

#ifdef Q_OS_WIN
#include <qt_windows.h>

// Reads one value; every failure gives nothing. An empty value name reads the
// key's default value. Strings come back as text, any other type as a 32-bit
// number when its data fits in 4 bytes.
RegistryValue ReadRegistryValue(HKEY root, const QString &subKey, const QString &valueName);
#endif
