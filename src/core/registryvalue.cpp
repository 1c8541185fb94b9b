#include "registryvalue.h"

QByteArray registryStringData(const QByteArray &data, qsizetype reportedSize)
{
    QByteArray text = data.left(qBound<qsizetype>(0, reportedSize, data.size()));
    if (!text.isEmpty() && text.back() == '\0')
        text.chop(1);
    return text;
}

#ifdef Q_OS_WIN
RegistryValue ReadRegistryValue(HKEY root, const QString &subKey, const QString &valueName)
{
    HKEY key = nullptr;
    const QByteArray path = subKey.toLocal8Bit();
    if (RegOpenKeyExA(root, path.constData(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::monostate{};

    const QByteArray name = valueName.toLocal8Bit();
    const char *namePtr = valueName.isEmpty() ? nullptr : name.constData();
    RegistryValue result = std::monostate{};
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, namePtr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        if (type == REG_SZ) {
            QByteArray buffer(static_cast<qsizetype>(size), '\0');
            DWORD read = size;
            if (RegQueryValueExA(key, namePtr, nullptr, nullptr,
                                 reinterpret_cast<LPBYTE>(buffer.data()), &read) == ERROR_SUCCESS)
                result = QString::fromLocal8Bit(registryStringData(buffer, read));
        } else {
            quint32 number = 0;
            DWORD read = sizeof number;
            if (RegQueryValueExA(key, namePtr, nullptr, nullptr, reinterpret_cast<LPBYTE>(&number),
                                 &read) == ERROR_SUCCESS)
                result = number;
        }
    }
    RegCloseKey(key);
    return result;
}
#endif
