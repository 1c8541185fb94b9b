#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <optional>

// Text from play list files of any origin: UTF-8 when it is valid UTF-8, else
// Windows-1252, the code page lists written on Windows use. One decoder can
// be reused for many pieces of text.
class Utf8OrWindows1252Decoder
{
public:
    QString decode(QByteArrayView bytes);

private:
    QStringDecoder m_utf8{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless};
    // Made at the first text that is not UTF-8: opening it loads the system's
    // code page tables, about a megabyte that valid lists never need.
    std::optional<QStringDecoder> m_windows1252;
};
