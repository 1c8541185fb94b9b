#include "songlistmodel.h"

#include "core/duration.h"
#include "core/textlimit.h"

#include <algorithm>
#include <array>
#include <string>

SongListModel::SongListModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

int SongListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int SongListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kSongColumnCount;
}

QModelIndex SongListModel::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || row < 0 || column < 0 || column >= kSongColumnCount ||
        static_cast<size_t>(row) >= m_rows.size())
        return {};
    return createIndex(row, column);
}

Qt::ItemFlags SongListModel::flags(const QModelIndex &index) const
{
    if (index.model() != this || index.row() < 0 || index.column() < 0 ||
        index.column() >= kSongColumnCount || static_cast<size_t>(index.row()) >= m_rows.size())
        return {};
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

QVariant SongListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= kSongColumnCount)
        return {};
    const SongRow &song = row(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        // A cell shows the start of a huge field, never the whole: decoding
        // and laying out megabytes would hold the window for seconds.
        return elidedUtf8(song.fieldUtf8(static_cast<SongColumn>(index.column())),
                          kLongestFieldText);
    case Qt::DecorationRole:
        if (index.column() == chTitle)
            return iconOf(song);
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == chLen)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant SongListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kSongColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return songColumnCaption(static_cast<SongColumn>(section));
    if (role == Qt::TextAlignmentRole && section == chLen)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

qint64 SongListModel::playSeconds(const SongRow &row)
{
    return playSecondsOfLength(row.fieldUtf8(chLen));
}

void SongListModel::clear()
{
    setRows({});
}

void SongListModel::setRows(std::vector<SongRow> rows, std::optional<qint64> playSeconds)
{
    beginResetModel();
    m_rows = std::move(rows);
    if (playSeconds) {
        m_playSeconds = *playSeconds;
    } else {
        m_playSeconds = 0;
        for (const SongRow &row : m_rows)
            m_playSeconds += SongListModel::playSeconds(row);
    }
    ++m_revision;
    endResetModel();
}

void SongListModel::appendRow(SongRow row)
{
    const int at = rowCount();
    beginInsertRows({}, at, at);
    m_playSeconds += playSeconds(row);
    m_rows.push_back(std::move(row));
    ++m_revision;
    endInsertRows();
}

void SongListModel::appendRows(std::vector<SongRow> rows)
{
    if (rows.empty())
        return;
    const int at = rowCount();
    beginInsertRows({}, at, at + static_cast<int>(rows.size()) - 1);
    for (const SongRow &row : rows)
        m_playSeconds += playSeconds(row);
    m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()),
                  std::make_move_iterator(rows.end()));
    ++m_revision;
    endInsertRows();
}

void SongListModel::setRow(int index, SongRow row)
{
    SongRow &old = m_rows[static_cast<size_t>(index)];
    m_playSeconds += playSeconds(row) - playSeconds(old);
    old = std::move(row);
    ++m_revision;
    emit dataChanged(this->index(index, 0), this->index(index, kSongColumnCount - 1));
}

void SongListModel::reorder(const std::vector<int> &order)
{
    if (order.size() != m_rows.size())
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);

    std::vector<int> newPosition(order.size());
    std::vector<SongRow> reordered;
    reordered.reserve(m_rows.size());
    for (size_t i = 0; i < order.size(); ++i) {
        newPosition[static_cast<size_t>(order[i])] = static_cast<int>(i);
        reordered.push_back(std::move(m_rows[static_cast<size_t>(order[i])]));
    }
    m_rows = std::move(reordered);
    ++m_revision;

    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &old : before)
        after << index(newPosition[static_cast<size_t>(old.row())], old.column());
    changePersistentIndexList(before, after);
    if (m_currentSong > 0 && m_currentSong <= static_cast<int>(newPosition.size()))
        m_currentSong = newPosition[static_cast<size_t>(m_currentSong - 1)] + 1;

    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void SongListModel::removeRowsAt(std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [this](int row) { return row < 0 || row >= rowCount(); }),
               rows.end());
    if (rows.empty())
        return;
    for (int row : rows)
        m_playSeconds -= playSeconds(m_rows[static_cast<size_t>(row)]);

    if (m_currentSong > 0) {
        const auto removedAbove = std::lower_bound(rows.begin(), rows.end(), m_currentSong - 1);
        const bool currentRemoved =
            removedAbove != rows.end() && *removedAbove == m_currentSong - 1;
        if (!currentRemoved)
            m_currentSong -= static_cast<int>(removedAbove - rows.begin());
    }

    // Contiguous runs are removed from the bottom up; a scattered selection of
    // many rows is compacted in one pass instead.
    std::vector<std::pair<int, int>> runs;
    for (int row : rows) {
        if (!runs.empty() && runs.back().second + 1 == row)
            runs.back().second = row;
        else
            runs.emplace_back(row, row);
    }
    if (runs.size() <= 64) {
        for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
            beginRemoveRows({}, run->first, run->second);
            m_rows.erase(m_rows.begin() + run->first, m_rows.begin() + run->second + 1);
            ++m_revision;
            endRemoveRows();
        }
        return;
    }
    beginResetModel();
    std::vector<SongRow> kept;
    kept.reserve(m_rows.size() - rows.size());
    size_t next = 0;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (next < rows.size() && static_cast<size_t>(rows[next]) == i) {
            ++next;
            continue;
        }
        kept.push_back(std::move(m_rows[i]));
    }
    m_rows = std::move(kept);
    ++m_revision;
    endResetModel();
}

void SongListModel::sort(int column, Qt::SortOrder order)
{
    if (column >= 0 && column < kSongColumnCount)
        reorder(sortedOrder(column, order));
}

std::vector<int> SongListModel::sortedOrder(int column, Qt::SortOrder order) const
{
    std::vector<int> positions(m_rows.size());
    for (size_t i = 0; i < positions.size(); ++i)
        positions[i] = static_cast<int>(i);
    // Rows keep their text encoded: each key is made once, not per comparison.
    // Most texts are ASCII, which compares without case as its lowered bytes
    // do; the others compare as Qt compares text without case. Both give the
    // same answer for two ASCII texts, so the order is one order.
    struct Key
    {
        std::string lowered; // the lowered bytes of an ASCII text
        QString text;        // any other text, decoded
        bool ascii = true;
    };
    std::vector<Key> keys(m_rows.size());
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const QByteArray bytes = m_rows[i].fieldUtf8(static_cast<SongColumn>(column));
        Key &key = keys[i];
        key.lowered.resize(static_cast<size_t>(bytes.size()));
        for (qsizetype j = 0; key.ascii && j < bytes.size(); ++j) {
            const auto c = static_cast<unsigned char>(bytes[j]);
            key.ascii = c < 0x80;
            key.lowered[static_cast<size_t>(j)] =
                static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
        }
        if (!key.ascii) {
            key.lowered.clear();
            key.text = m_rows[i].field(static_cast<SongColumn>(column));
        }
    }
    const auto compare = [](const Key &a, const Key &b) {
        if (a.ascii && b.ascii)
            return a.lowered.compare(b.lowered);
        const QString left = a.ascii ? QString::fromLatin1(a.lowered) : a.text;
        const QString right = b.ascii ? QString::fromLatin1(b.lowered) : b.text;
        return left.compare(right, Qt::CaseInsensitive);
    };
    std::stable_sort(positions.begin(), positions.end(), [&](int a, int b) {
        const int c = compare(keys[static_cast<size_t>(a)], keys[static_cast<size_t>(b)]);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    return positions;
}

void SongListModel::setImageSource(ImageSource source)
{
    m_images = std::move(source);
    m_iconCache.clear();
}

QIcon SongListModel::iconOf(const SongRow &row) const
{
    if (!m_images)
        return {};
    const quint64 key = (static_cast<quint64>(static_cast<quint32>(row.icon)) << 32) |
                        static_cast<quint32>(row.smallIcon);
    const auto cached = m_iconCache.constFind(key);
    if (cached != m_iconCache.cend())
        return *cached;
    QIcon icon;
    const QPixmap large = m_images(row.icon, true);
    const QPixmap small = m_images(row.smallIcon, false);
    if (!large.isNull())
        icon.addPixmap(large);
    if (!small.isNull())
        icon.addPixmap(small);
    m_iconCache.insert(key, icon);
    return icon;
}

void SongListModel::setTag(int index, const QString &tag)
{
    m_rows[static_cast<size_t>(index)].setTag(tag);
}

void SongListModel::clearTags()
{
    for (SongRow &row : m_rows)
        row.setTag({});
}

void SongListModel::setIcons(int index, int icon, int smallIcon)
{
    SongRow &row = m_rows[static_cast<size_t>(index)];
    row.icon = static_cast<quint16>(icon);
    row.smallIcon = static_cast<quint16>(smallIcon);
    const QModelIndex at = this->index(index, chTitle);
    emit dataChanged(at, at, {Qt::DecorationRole});
}
