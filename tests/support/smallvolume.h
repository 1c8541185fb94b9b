#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <algorithm>

#include <sys/mount.h>

// The two ways a play list folder cannot be written, with the reason VORN
// gives for each.
struct UnwritableKind
{
    const char *what;
    bool readOnly;
    const char *reason;
};
inline constexpr UnwritableKind kUnwritableKinds[] = {{"read-only", true, "it is read-only."},
                                                      {"full", false, "the disk is full."}};

// A real 64 KiB file system of the test's own (a tmpfs mounted on a folder),
// to be filled up or made read-only. Mounting needs the right to; a test
// skips when `mounted()` is false. Unmounted when it goes.
class SmallVolume
{
public:
    explicit SmallVolume(const QString &at)
        : m_path(at)
        , m_at(QFile::encodeName(at))
    {
        QDir().mkpath(at);
        m_mounted = ::mount("tmpfs", m_at.constData(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallVolume()
    {
        if (m_mounted)
            ::umount2(m_at.constData(), MNT_DETACH);
    }
    SmallVolume(const SmallVolume &) = delete;
    SmallVolume &operator=(const SmallVolume &) = delete;

    bool mounted() const { return m_mounted; }
    const QString &path() const { return m_path; }

    // Takes every byte left but `room` with the file "filler" (not a play
    // list file).
    void fill(qint64 room = 0) const
    {
        QFile filler(QDir(m_path).filePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::Append | QIODevice::Unbuffered))
            return;
        const QByteArray block(1024, 'f');
        while (filler.write(block) > 0) {
        }
        if (room > 0)
            filler.resize(std::max<qint64>(filler.size() - room, 0));
    }
    bool makeReadOnly() const
    {
        return ::mount("tmpfs", m_at.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k") == 0;
    }
    // Read-only or full, as `kind` says; false when it could not be made so.
    bool makeUnwritable(const UnwritableKind &kind) const
    {
        if (kind.readOnly)
            return makeReadOnly();
        fill();
        return true;
    }

private:
    QString m_path;
    QByteArray m_at;
    bool m_mounted = false;
};
