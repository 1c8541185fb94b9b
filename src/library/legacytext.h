#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

// Text from play list files of any origin: UTF-8 when it is valid UTF-8, else
// Windows-1252, the code page lists written on Windows use. One decoder can
// be reused for many pieces of text.
class Utf8OrWindows1252Decoder
{
public:
    QString decode(QByteArrayView bytes);

private:
    QStringDecoder m_utf8{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless};
    QStringDecoder m_windows1252{"windows-1252", QStringDecoder::Flag::Stateless};
};
