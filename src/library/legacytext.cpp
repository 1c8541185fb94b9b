#include "legacytext.h"

namespace {

bool isAscii(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

QString Utf8OrWindows1252Decoder::decode(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return {};
    // Most fields are plain ASCII: that text needs no checking.
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    m_utf8.resetState();
    QString text = m_utf8.decode(bytes);
    if (!m_utf8.hasError())
        return text;
    if (!m_windows1252)
        m_windows1252.emplace("windows-1252", QStringDecoder::Flag::Stateless);
    if (!m_windows1252->isValid())
        return QString::fromLatin1(bytes);
    m_windows1252->resetState();
    return m_windows1252->decode(bytes);
}
