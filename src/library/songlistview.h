#pragma once

#include <QStackedWidget>

class QAbstractItemView;
class QFrame;
class QItemSelectionModel;
class QListView;
class QTableView;
class SongListModel;

// View modes of the song list, numbered as the View menu numbers them.
enum SongViewMode : int
{
    lvwIcon = 0,      // large icons
    lvwSmallIcon = 1, // small icons
    lvwList = 2,      // list
    lvwReport = 3,    // details
};

// The song list lvSongs: one model shown by a details view and an icon/list
// view that share one selection. It turns mouse drags into row moves (with the
// insertion line picInsLine) and file drops into requests; the song list
// editor does the work.
class SongListView : public QStackedWidget
{
    Q_OBJECT

public:
    explicit SongListView(SongListModel *model, QWidget *parent = nullptr);

    QTableView *detailsView() const { return m_details; }
    QListView *iconView() const { return m_icons; }
    QAbstractItemView *currentView() const;
    QItemSelectionModel *selectionModel() const;

    int viewMode() const { return m_mode; }
    void setViewMode(int mode);

    // 0 no drag, 1 left button pressed in the list, 2 moved with it held.
    int SongDragState = 0;
    int dropTarget() const { return m_dropTarget; }
    bool insertionLineVisible() const;

signals:
    // The user dragged the selection onto `dropTarget` (-1: no row).
    void moveRequested(int dropTarget);
    void filesDropped(const QStringList &paths, int dropRow, bool ctrl);
    void contextMenuRequested(const QPoint &globalPos);
    void songDoubleClicked(int row);
    void columnClicked(int column);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool viewportEvent(QAbstractItemView *view, QEvent *event);
    // The row a drop at `pos` lands after: the row half a row above the point.
    int targetAt(QAbstractItemView *view, const QPoint &pos) const;
    void showDragFeedback(QAbstractItemView *view, const QPoint &pos);
    void hideInsertionLine();

    QTableView *m_details;
    QListView *m_icons;
    QFrame *m_picInsLine;
    int m_mode = lvwReport;
    int m_dropTarget = -1;
    int m_pressedRow = -1;
    bool m_deferredSelect = false;
};
