#pragma once

#include <QAbstractTableModel>

#include <vector>

// One stored play list in the library.
struct PlayListEntry
{
    QString name;     // the file name without ".sdf"
    QString shortcut; // the folder of a shortcut play list, else empty
    QString tag;      // "*" while the play list has changes not in its .sdf
    // The stored file's extension as the folder spells it (".sdf", ".SDF"):
    // every read and write uses the file's real name.
    QString extension = QStringLiteral(".sdf");
};

// The library list lvPlayLists: columns "Title" (the name) and "Shortcut".
class PlayListLibraryModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        chTitle = 0,
        chShortcut,
    };

    explicit PlayListLibraryModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // The name can be edited in place; the edit is handed to the rename
    // command, never written into the model directly.
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    int count() const { return static_cast<int>(m_entries.size()); }
    const PlayListEntry &entry(int row) const { return m_entries[static_cast<size_t>(row)]; }

    // Returns the new entry's row.
    int addEntry(PlayListEntry entry);
    void removeEntry(int row);
    void setName(int row, const QString &name);
    void setShortcut(int row, const QString &folder);
    void setTag(int row, const QString &tag);
    void setExtension(int row, const QString &extension);

    // The first entry other than `except` whose name is the file system's same
    // name, or -1.
    int findByName(const QString &name, int except = -1) const;
    // True when the two names are one file name for the file system.
    static bool sameName(const QString &a, const QString &b);

private:
    void changed(int row, int column);

    std::vector<PlayListEntry> m_entries;
};
