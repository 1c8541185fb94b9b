#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The file operations of the play list store. The default is the real file
// system; a test replaces single operations to play a full or read-only disk.
// Every failure comes back with the system's reason, for the message the user
// sees.
class PlayListDisk
{
public:
    virtual ~PlayListDisk() = default;

    virtual bool exists(const QString &path) const;
    // The file's bytes, or nothing (with the reason in `error`).
    virtual std::optional<QByteArray> read(const QString &path, QString &error);
    // Replaces the file in one step: on any failure the old file stays whole.
    // Unless scratch writes are on, the bytes reach the disk before the file
    // is replaced, so that even a power cut leaves the old or the new file.
    virtual bool write(const QString &path, const QByteArray &bytes, QString &error);
    // The write of a scratch file on its own. It reads no state of this
    // object, so a worker thread may call it while the owner goes on.
    virtual bool writeScratch(const QString &path, const QByteArray &bytes, QString &error);

    // Scratch files (working copies, rebuilt from the stored files on every
    // start) are still replaced in one step but not forced to the disk: a
    // crash of the program leaves them whole, a power cut may not.
    void setScratchWrites(bool on) { m_scratch = on; }
    bool scratchWrites() const { return m_scratch; }

private:
    bool m_scratch = false;
};
