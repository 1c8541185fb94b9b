#pragma once

#include <QString>

// Writes single values into an INI file and leaves everything else in the file
// as it was: other sections and keys, comments, blank lines, their order and
// the file's line ends. Section and key names match without regard to case,
// as Windows matches them; the first matching section and key are the ones
// written. A missing key is added at the end of its section, a missing
// section at the end of the file, a missing file is created.
class IniWriter
{
public:
    IniWriter() = default;
    explicit IniWriter(const QString &path);

    void setPath(const QString &path);
    QString path() const { return m_path; }

    // Sets `key` in `section` to `value`. False, with the file untouched, when
    // the file cannot be read or written, or when a name or the value would
    // break the file's lines (line breaks, a key with '=', empty names).
    bool writeValue(const QString &section, const QString &key, const QString &value);

private:
    QString m_path;
};
