#include "iniwriter.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>

#include <optional>
#include <vector>

namespace {

// One line of the file: its text without the line break, and where the next
// line starts (the end of the file for the last line).
struct Line
{
    qsizetype begin = 0;
    qsizetype end = 0;
    qsizetype next = 0;
};

std::vector<Line> splitLines(const QByteArray &text)
{
    std::vector<Line> lines;
    qsizetype begin = 0;
    while (begin < text.size()) {
        const qsizetype newline = text.indexOf('\n', begin);
        Line line;
        line.begin = begin;
        line.next = newline < 0 ? text.size() : newline + 1;
        line.end = newline < 0 ? text.size() : newline;
        if (line.end > line.begin && text.at(line.end - 1) == '\r')
            --line.end;
        lines.push_back(line);
        begin = line.next;
    }
    return lines;
}

QByteArray lineEnding(const QByteArray &text)
{
    const qsizetype newline = text.indexOf('\n');
    if (newline > 0 && text.at(newline - 1) == '\r')
        return QByteArrayLiteral("\r\n");
    if (newline >= 0)
        return QByteArrayLiteral("\n");
    return QByteArrayLiteral("\r\n");
}

bool sameName(const QByteArray &stored, const QString &wanted)
{
    return QString::fromLocal8Bit(stored).compare(wanted, Qt::CaseInsensitive) == 0;
}

std::optional<QByteArray> sectionName(const QByteArray &content)
{
    const QByteArray text = content.trimmed();
    if (!text.startsWith('['))
        return std::nullopt;
    const qsizetype close = text.indexOf(']');
    if (close < 0)
        return std::nullopt;
    return text.mid(1, close - 1).trimmed();
}

bool isComment(const QByteArray &content)
{
    const QByteArray text = content.trimmed();
    return text.startsWith(';') || text.startsWith('#');
}

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

bool validNames(const QString &section, const QString &key, const QString &value)
{
    if (section.trimmed().isEmpty() || hasLineBreak(section) || section.contains(QLatin1Char(']')))
        return false;
    if (key.trimmed().isEmpty() || key != key.trimmed() || hasLineBreak(key) ||
        key.contains(QLatin1Char('=')) || key.startsWith(QLatin1Char('[')) ||
        key.startsWith(QLatin1Char(';')) || key.startsWith(QLatin1Char('#')))
        return false;
    return !hasLineBreak(value);
}

QByteArray withValue(const QByteArray &text, const QString &section, const QString &key,
                     const QString &value)
{
    const QByteArray eol = lineEnding(text);
    const QByteArray encodedValue = value.toLocal8Bit();
    const std::vector<Line> lines = splitLines(text);

    bool inSection = false;
    std::optional<Line> lastFilledLine; // of the wanted section, its header included
    for (const Line &line : lines) {
        const QByteArray content = text.mid(line.begin, line.end - line.begin);
        if (const std::optional<QByteArray> name = sectionName(content)) {
            if (inSection)
                break;
            inSection = sameName(*name, section);
            if (inSection)
                lastFilledLine = line;
            continue;
        }
        if (!inSection)
            continue;
        if (!content.trimmed().isEmpty())
            lastFilledLine = line;
        if (isComment(content))
            continue;
        const qsizetype equals = content.indexOf('=');
        if (equals < 0 || !sameName(content.left(equals).trimmed(), key))
            continue;
        // Keep the key as written and the blanks after '='; replace the rest.
        qsizetype valueStart = equals + 1;
        while (valueStart < content.size() &&
               (content.at(valueStart) == ' ' || content.at(valueStart) == '\t'))
            ++valueStart;
        QByteArray result = text;
        result.replace(line.begin + valueStart, line.end - line.begin - valueStart, encodedValue);
        return result;
    }

    const QByteArray entry = key.toLocal8Bit() + '=' + encodedValue + eol;
    if (lastFilledLine) {
        QByteArray result = text;
        const bool lineHasBreak = lastFilledLine->next > lastFilledLine->end;
        result.insert(lastFilledLine->next, lineHasBreak ? entry : eol + entry);
        return result;
    }
    QByteArray result = text;
    if (!result.isEmpty() && !result.endsWith('\n') && !result.endsWith('\r'))
        result += eol;
    result += '[' + section.toLocal8Bit() + ']' + eol + entry;
    return result;
}

} // namespace

IniWriter::IniWriter(const QString &path)
    : m_path(path)
{}

void IniWriter::setPath(const QString &path)
{
    m_path = path;
}

bool IniWriter::writeValue(const QString &section, const QString &key, const QString &value)
{
    if (m_path.isEmpty() || !validNames(section, key, value))
        return false;

    QByteArray text;
    QFile existing(m_path);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly))
            return false;
        text = existing.readAll();
        existing.close();
    }

    const QByteArray updated = withValue(text, section, key, value);
    if (existing.exists() && updated == text)
        return true;

    QSaveFile file(m_path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(updated) != updated.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
